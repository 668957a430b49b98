#include "roster_ops.h"

#include "gamefiles/error.h"
#include "gamefiles/file_change.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/managers.h"
#include "gamefiles/save_game.h"
#include "gamefiles/text.h"

#include <algorithm>

namespace hv::roster {
namespace {

using Line = WrestlerRecord::Line;

WrestlerFile readFile(const RosterFile& roster) {
    return WrestlerFile::read(roster.file);
}

// The file read as one string, so that its state comes from the very bytes read.
WrestlerFile readFile(const RosterFile& roster, FileState& read) {
    std::string bytes = readFileBytes(roster.file);
    StateHasher hasher;
    hasher.add(bytes);
    read = hasher.state();
    return WrestlerFile(std::move(bytes), roster.file);
}

// Weeks out as a number; a blank line is 0 and other text that is no number throws.
long long weeksOut(const WrestlerFile& file, std::size_t i) {
    if (auto weeks = parseNumber(file.line(i, Line::Injury)))
        return *weeks;
    return injuryWeeks(file.record(i), file.file());
}

bool isInjured(const WrestlerFile& file, std::size_t i) {
    return !file.isPlaceholder(i) && weeksOut(file, i) >= 1;
}

} // namespace

RosterListing listRoster(const RosterFile& roster) {
    const WrestlerFile file = readFile(roster);
    RosterListing listing;
    listing.records = file.size();
    listing.names.reserve(file.size());
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file.isPlaceholder(i))
            continue;
        listing.names.emplace_back(file.name(i));
        if (i < 2)
            listing.reorderSelection = listing.names.back();
    }
    return listing;
}

std::vector<std::string> rosterNames(const RosterFile& roster) {
    return readFile(roster).names();
}

std::vector<std::string> rosterNames(const RosterFile& roster, FileState& read) {
    return readFile(roster, read).names();
}

std::optional<WrestlerRecord> findWrestler(const RosterFile& roster, std::string_view name) {
    const WrestlerFile file = readFile(roster);
    if (auto i = file.findFirst(name))
        return file.record(*i);
    return std::nullopt;
}

std::vector<std::string> federationManagers(const std::string& gameFolder, std::string_view slot) {
    const auto federation = readFederationName(slotFilePath(gameFolder, slot, GameFile::SaveGame));
    if (auto file = managersFileFor(federation))
        return managerNames(slotFilePath(gameFolder, slot, *file));
    return {};
}

std::string_view boxLabel(WrestlerRecord::Line line) {
    return kWrestlerFields[line].caption;
}

WrestlerBoxes boxesFor(const WrestlerRecord& record) {
    WrestlerBoxes boxes;
    for (const Field& f : kWrestlerFields)
        boxes[f.line] = f.shown(record.lines[f.line]);
    return boxes;
}

void fillEmptyGroups(WrestlerBoxes& boxes) {
    for (const Field& f : kWrestlerFields)
        if (boxes[f.line].empty())
            boxes[f.line] = f.stored("");
}

namespace {

bool isNumberLine(Line line) {
    return kWrestlerFields[line].kind == FieldKind::Number;
}

} // namespace

std::optional<FieldEdit> boxEdit(WrestlerRecord::Line line, std::string_view stored,
                                 std::string_view typed) {
    const Field& field = kWrestlerFields[line];
    std::string value(typed);
    if (field.kind == FieldKind::Code) {
        auto code = field.code(typed);
        if (!code)
            return std::nullopt;
        value = std::move(*code);
    }
    return FieldEdit{line, std::string(stored), std::move(value)};
}

namespace {

std::size_t mergeWrestler(WrestlerFile& file, const RosterFile& roster, std::string_view key,
                          std::span<const FieldEdit> edits) {
    const auto describe = [](std::size_t line) {
        return std::pair{boxLabel(static_cast<Line>(line)), isNumberLine(static_cast<Line>(line))};
    };
    std::vector<Conflict> conflicts;
    std::vector<std::pair<std::size_t, WrestlerRecord>> merged;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (!file.isNamed(i, key))
            continue;
        WrestlerRecord record = file.record(i);
        for (Conflict& c : mergeEdits(record.lines, edits, key, describe))
            conflicts.push_back(std::move(c));
        merged.emplace_back(i, std::move(record));
    }
    if (!conflicts.empty())
        throw ConflictError(std::move(conflicts));
    for (auto& [i, record] : merged) {
        fillEmptyGroups(record.lines);
        bool changed = false;
        for (const Field& f : kWrestlerFields) {
            std::string& value = record.lines[f.line];
            if (value == file.line(i, f.line))
                continue;
            changed = true;
            value = f.stored(value);
            const std::string what = "value of \"" + std::string(f.caption) + "\"";
            if (f.line == Line::Name)
                refuseLineBreak(roster.file, what, value); // the name's own refusal is below
            else
                f.refuse(roster.file, what, value);
        }
        const std::string& name = record.lines[Line::Name];
        if (name != file.name(i))
            if (auto problem = kWrestlerFields[Line::Name].refusal(name))
                refuseOperation("\"" + name + "\" " + std::string(*problem) + ".");
        if (changed)
            file.replace(i, record);
    }
    return merged.size();
}

} // namespace

std::size_t applyWrestler(const RosterFile& roster, std::string_view key,
                          std::span<const FieldEdit> edits) {
    return editRecordFile<WrestlerRecord>(
        roster, "Edit " + std::string(key),
        [&](WrestlerFile& file) { return mergeWrestler(file, roster, key, edits); });
}

namespace {

using FieldValues = std::vector<std::pair<WrestlerRecord::Line, std::string>>;

} // namespace

std::size_t setWrestlerFields(const RosterFile& roster, std::string_view key,
                              const FieldValues& fields, FieldName fieldName) {
    return setNamedFields<WrestlerRecord>(roster, key, kWrestlerFields, fields, fieldName);
}

void addBlankWrestler(const RosterFile& roster) {
    editRecordFile<WrestlerRecord>(roster, "Add a blank wrestler",
                                   [](WrestlerFile& file) { file.append(blankWrestler()); });
}

std::size_t deleteWrestler(const RosterFile& roster, std::string_view name) {
    const std::string description = "Delete " + std::string(name);
    return editRecordFile<WrestlerRecord>(roster, description, [&](WrestlerFile& file) {
        std::size_t removed = 0;
        for (std::size_t i = 0; i < file.size(); ++i) {
            if (file.isNamed(i, name)) {
                file.drop(i);
                ++removed;
            }
        }
        return removed;
    });
}

MoveResult moveWrestler(const RosterFile& roster, std::string_view name, Direction direction) {
    const std::string description =
        "Move " + std::string(name) + (direction == Direction::Up ? " up" : " down");
    return editRecordFile<WrestlerRecord>(roster, description, [&](WrestlerFile& file) {
        const auto p = file.findFirst(name);
        if (!p)
            return MoveResult::NotFound;
        // Up stops at the second place, not only at the first.
        if (direction == Direction::Up && *p <= 1)
            return MoveResult::Refused;
        if (direction == Direction::Down && *p + 1 == file.size())
            return MoveResult::Refused;
        file.swap(*p, direction == Direction::Up ? *p - 1 : *p + 1);
        return MoveResult::Moved;
    });
}

std::vector<Injury> injuredWrestlers(const RosterFile& roster) {
    const WrestlerFile file = readFile(roster);
    std::vector<Injury> injured;
    for (std::size_t i = 0; i < file.size(); ++i)
        if (isInjured(file, i))
            injured.push_back(
                {std::string(file.name(i)), std::string(file.line(i, Line::Injury)), i + 1});
    return injured;
}

std::size_t healAll(const RosterFile& roster) {
    const std::string_view description = "Heal every injured wrestler";
    return editRecordFile<WrestlerRecord>(roster, description, [](WrestlerFile& file) {
        const std::string healedWeeks = numberLine(0);
        std::size_t healed = 0;
        for (std::size_t i = 0; i < file.size(); ++i) {
            if (!isInjured(file, i))
                continue;
            file.replaceLine(i, Line::Injury, healedWeeks);
            ++healed;
        }
        return healed;
    });
}

} // namespace hv::roster
