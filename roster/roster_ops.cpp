#include "roster_ops.h"

#include "gamefiles/error.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/temp_rewrite.h"
#include "gamefiles/text.h"

#include <cstring>
#include <utility>

namespace hv::roster {
namespace {

using Line = WrestlerRecord::Line;

// The roster file's bytes with the offset of each record. A roster can hold a hundred thousand
// wrestlers; indexing the bytes instead of making a string of every line keeps the windows
// quick. Lines end at LF, with a CR before it dropped, as everywhere else.
class RosterBytes {
public:
    explicit RosterBytes(const RosterFile& roster)
        : file_(roster.file), bytes_(readFileBytes(roster.file)) {
        std::size_t lines = 0;
        for (std::size_t pos = 0; pos < bytes_.size(); ++lines) {
            if (lines % WrestlerRecord::kLines == 0)
                starts_.push_back(pos);
            const void* lf = std::memchr(bytes_.data() + pos, '\n', bytes_.size() - pos);
            pos = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - bytes_.data()) + 1
                     : bytes_.size();
        }
        if (lines % WrestlerRecord::kLines != 0)
            parseRecords<WrestlerRecord>(bytes_, file_); // throws, naming the missing line
    }

    const std::filesystem::path& file() const { return file_; }
    std::size_t size() const { return starts_.size(); }
    std::size_t byteSize() const { return bytes_.size(); }

    std::string_view line(std::size_t record, Line which) const {
        LineReader reader(std::string_view(bytes_).substr(starts_[record]));
        for (std::size_t i = 0; i < which; ++i)
            reader.next();
        return reader.next();
    }
    std::string_view name(std::size_t record) const { return line(record, Line::Name); }
    bool isPlaceholder(std::size_t record) const { return name(record) == kPlaceholderName; }
    bool isNamed(std::size_t record, std::string_view key) const {
        const auto n = name(record);
        return n == key && n != kPlaceholderName;
    }

    WrestlerRecord record(std::size_t record) const {
        WrestlerRecord r;
        r.firstLine = record * WrestlerRecord::kLines + 1;
        LineReader reader(std::string_view(bytes_).substr(starts_[record]));
        for (auto& l : r.lines)
            l = reader.next();
        return r;
    }

    // Appends the record's lines as they are, each ended by CR LF.
    void copy(std::string& out, std::size_t record) const {
        LineReader reader(std::string_view(bytes_).substr(starts_[record]));
        for (std::size_t i = 0; i < WrestlerRecord::kLines; ++i)
            appendTextLine(out, reader.next());
    }

    long long weeksOut(std::size_t record) const {
        if (auto weeks = parseNumber(line(record, Line::Injury)))
            return *weeks;
        return injuryWeeks(this->record(record), file_); // blank is 0; other text throws
    }
    bool isInjured(std::size_t record) const {
        return !isPlaceholder(record) && weeksOut(record) >= 1;
    }

    // Copies every record into a new file image, letting `change` write some differently:
    // it returns false to have the record copied.
    template <class Change> std::string rewrite(Change change) const {
        std::string out;
        out.reserve(bytes_.size() + bytes_.size() / 8 + 256);
        for (std::size_t i = 0; i < size(); ++i)
            if (!change(out, i))
                copy(out, i);
        return out;
    }

private:
    std::filesystem::path file_;
    std::string bytes_;
    std::vector<std::size_t> starts_;
};

void write(const RosterFile& roster, const std::string& contents) {
    TempRewrite(roster.file, roster.temp, contents);
}

} // namespace

RosterFile::RosterFile(const std::string& gameFolder, std::string_view slot)
    : file(slotFilePath(gameFolder, slot, GameFile::Roster)),
      temp(slotTempPath(gameFolder, slot, GameFile::Roster)) {}

std::vector<WrestlerRecord> readRoster(const RosterFile& roster) {
    return readRecords<WrestlerRecord>(roster.file);
}

RosterListing listRoster(const RosterFile& roster) {
    const RosterBytes bytes(roster);
    RosterListing listing;
    listing.records = bytes.size();
    listing.names.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes.isPlaceholder(i))
            continue;
        listing.names.emplace_back(bytes.name(i));
        if (i < 2)
            listing.reorderSelection = listing.names.back();
    }
    return listing;
}

std::vector<std::string> rosterNames(const RosterFile& roster) {
    return listRoster(roster).names;
}

std::optional<WrestlerRecord> findWrestler(const RosterFile& roster, std::string_view name) {
    const RosterBytes bytes(roster);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes.isNamed(i, name))
            return bytes.record(i);
    return std::nullopt;
}

std::string_view boxLabel(WrestlerRecord::Line line) {
    static constexpr std::string_view kLabels[WrestlerRecord::kLines] = {
        "Name",
        "Draw",
        "Entertainment ",
        "Wages",
        "Value",
        "Discription",
        "Carder",
        "Alignment",
        "Contract Length",
        "Finsher",
        "Tag Team Name",
        "Injuried for ? weeks",
        "Morale",
        "Stable",
        "Manager",
        "Weapon of choice",
        "Type of Finsher",
        "Wrestling Style",
        "Years till retirement",
    };
    return kLabels[line];
}

WrestlerBoxes boxesFor(const WrestlerRecord& record) {
    WrestlerBoxes boxes = record.lines;
    if (auto shown = carderName(record.lines[Line::Carder]); !shown.empty())
        boxes[Line::Carder] = shown;
    if (auto shown = finisherTypeName(record.lines[Line::FinisherType]); !shown.empty())
        boxes[Line::FinisherType] = shown;
    return boxes;
}

void fillEmptyGroups(WrestlerBoxes& boxes) {
    for (Line line : {Line::TagTeam, Line::Stable})
        if (boxes[line].empty())
            boxes[line] = "no";
}

std::string joinLines(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool inBreak = false;
    for (char c : text) {
        const bool isBreak = c == '\r' || c == '\n';
        if (isBreak && !inBreak)
            out.push_back(' ');
        else if (!isBreak)
            out.push_back(c);
        inBreak = isBreak;
    }
    return out;
}

std::size_t ApplyWrestler(const RosterFile& roster, std::string_view key,
                          const WrestlerBoxes& boxes) {
    WrestlerBoxes values = boxes;
    values[Line::Description] = joinLines(values[Line::Description]);
    for (std::size_t i = 0; i < values.size(); ++i)
        if (hasLineBreak(values[i]))
            throw OperationRefused("The value of \"" + std::string(boxLabel(static_cast<Line>(i))) +
                                   "\" holds a line break. Nothing was written.");
    if (values[Line::Name] == kPlaceholderName)
        throw OperationRefused("\"name\" marks the game's placeholder records and cannot be "
                               "a wrestler's name. Nothing was written.");

    const RosterBytes bytes(roster);
    std::size_t changed = 0;
    const std::string contents = bytes.rewrite([&](std::string& out, std::size_t i) {
        if (!bytes.isNamed(i, key))
            return false;
        for (std::size_t l = 0; l < values.size(); ++l) {
            const auto line = static_cast<Line>(l);
            if (line == Line::Carder) {
                const auto code = carderCode(values[l]);
                appendTextLine(out, code ? numberLine(*code) : std::string(bytes.line(i, line)));
            } else if (line == Line::FinisherType) {
                const auto code = finisherTypeCode(values[l]);
                appendTextLine(out, code ? *code : bytes.line(i, line));
            } else {
                appendTextLine(out, values[l]);
            }
        }
        ++changed;
        return true;
    });
    if (changed > 0)
        write(roster, contents);
    return changed;
}

void addBlankWrestler(const RosterFile& roster) {
    const RosterBytes bytes(roster);
    std::string contents = bytes.rewrite([](std::string&, std::size_t) { return false; });
    appendRecord(contents, blankWrestler());
    write(roster, contents);
}

std::size_t deleteWrestler(const RosterFile& roster, std::string_view name) {
    const RosterBytes bytes(roster);
    std::size_t removed = 0;
    const std::string contents = bytes.rewrite([&](std::string&, std::size_t i) {
        const bool drop = bytes.isNamed(i, name);
        removed += drop ? 1 : 0;
        return drop;
    });
    if (removed > 0)
        write(roster, contents);
    return removed;
}

MoveResult moveWrestler(const RosterFile& roster, std::string_view name, Direction direction) {
    const RosterBytes bytes(roster);
    std::size_t p = 0; // 0-based position of the first record of that name
    while (p < bytes.size() && !bytes.isNamed(p, name))
        ++p;
    if (p == bytes.size())
        return MoveResult::NotFound;
    // Up stops at the second place, not only at the first.
    if (direction == Direction::Up && p <= 1)
        return MoveResult::Refused;
    if (direction == Direction::Down && p + 1 == bytes.size())
        return MoveResult::Refused;
    const std::size_t first = direction == Direction::Up ? p - 1 : p;
    write(roster, bytes.rewrite([&](std::string& out, std::size_t i) {
        if (i == first || i == first + 1)
            bytes.copy(out, i == first ? first + 1 : first);
        return i == first || i == first + 1;
    }));
    return MoveResult::Moved;
}

std::vector<Injury> injuredWrestlers(const RosterFile& roster) {
    const RosterBytes bytes(roster);
    std::vector<Injury> injured;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes.isInjured(i))
            injured.push_back(
                {std::string(bytes.name(i)), std::string(bytes.line(i, Line::Injury))});
    return injured;
}

std::size_t healAll(const RosterFile& roster) {
    const RosterBytes bytes(roster);
    const std::string healedWeeks = numberLine(0);
    std::size_t healed = 0;
    const std::string contents = bytes.rewrite([&](std::string& out, std::size_t i) {
        if (!bytes.isInjured(i))
            return false;
        WrestlerRecord record = bytes.record(i);
        record.lines[Line::Injury] = healedWeeks;
        appendRecord(out, record);
        ++healed;
        return true;
    });
    if (healed > 0)
        write(roster, contents);
    return healed;
}

} // namespace hv::roster
