#include "roster_ops.h"

#include "gamefiles/error.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/temp_rewrite.h"
#include "gamefiles/text.h"

#include <utility>

namespace hv::roster {
namespace {

using Line = WrestlerRecord::Line;

void write(const RosterFile& roster, const std::vector<WrestlerRecord>& records) {
    TempRewrite(roster.file, roster.temp, serializeRecords(records));
}

bool named(const WrestlerRecord& record, std::string_view name) {
    return !record.isPlaceholder() && record.name() == name;
}

} // namespace

RosterFile::RosterFile(const std::string& gameFolder, std::string_view slot)
    : file(slotFilePath(gameFolder, slot, GameFile::Roster)),
      temp(slotTempPath(gameFolder, slot, GameFile::Roster)) {}

std::vector<WrestlerRecord> readRoster(const RosterFile& roster) {
    return readRecords<WrestlerRecord>(roster.file);
}

std::vector<std::string> rosterNames(const RosterFile& roster) {
    return listNames(readRoster(roster));
}

std::optional<WrestlerRecord> findWrestler(const RosterFile& roster, std::string_view name) {
    for (auto& record : readRoster(roster))
        if (named(record, name))
            return std::move(record);
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

    auto records = readRoster(roster);
    std::size_t changed = 0;
    for (auto& record : records) {
        if (!named(record, key))
            continue;
        WrestlerRecord updated = record;
        updated.lines = values;
        if (auto code = carderCode(values[Line::Carder]))
            updated.lines[Line::Carder] = numberLine(*code);
        else
            updated.lines[Line::Carder] = record.lines[Line::Carder];
        if (auto code = finisherTypeCode(values[Line::FinisherType]))
            updated.lines[Line::FinisherType] = std::string(*code);
        else
            updated.lines[Line::FinisherType] = record.lines[Line::FinisherType];
        record = std::move(updated);
        ++changed;
    }
    if (changed > 0)
        write(roster, records);
    return changed;
}

void addBlankWrestler(const RosterFile& roster) {
    auto records = readRoster(roster);
    records.push_back(blankWrestler());
    write(roster, records);
}

std::size_t deleteWrestler(const RosterFile& roster, std::string_view name) {
    auto records = readRoster(roster);
    const auto removed = std::erase_if(records, [&](const auto& r) { return named(r, name); });
    if (removed > 0)
        write(roster, records);
    return removed;
}

MoveResult moveWrestler(const RosterFile& roster, std::string_view name, Direction direction) {
    auto records = readRoster(roster);
    std::size_t p = 0; // 0-based position of the first record of that name
    while (p < records.size() && !named(records[p], name))
        ++p;
    if (p == records.size())
        return MoveResult::NotFound;
    // Up stops at the second place, not only at the first.
    if (direction == Direction::Up && p <= 1)
        return MoveResult::Refused;
    if (direction == Direction::Down && p + 1 == records.size())
        return MoveResult::Refused;
    const std::size_t other = direction == Direction::Up ? p - 1 : p + 1;
    std::swap(records[p].lines, records[other].lines);
    write(roster, records);
    return MoveResult::Moved;
}

std::optional<std::string> initialReorderSelection(const std::vector<WrestlerRecord>& records) {
    std::optional<std::string> selected;
    for (std::size_t i = 0; i < records.size() && i < 2; ++i)
        if (!records[i].isPlaceholder())
            selected = records[i].name();
    return selected;
}

bool isInjured(const WrestlerRecord& record, const std::filesystem::path& file) {
    return !record.isPlaceholder() && injuryWeeks(record, file) >= 1;
}

std::vector<Injury> injuredWrestlers(const RosterFile& roster) {
    std::vector<Injury> injured;
    for (const auto& record : readRoster(roster))
        if (isInjured(record, roster.file))
            injured.push_back({record.name(), record.lines[Line::Injury]});
    return injured;
}

std::size_t healAll(const RosterFile& roster) {
    auto records = readRoster(roster);
    std::size_t healed = 0;
    for (auto& record : records) {
        if (isInjured(record, roster.file)) {
            record.lines[Line::Injury] = numberLine(0);
            ++healed;
        }
    }
    if (healed > 0)
        write(roster, records);
    return healed;
}

} // namespace hv::roster
