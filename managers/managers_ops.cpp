#include "managers_ops.h"

#include "gamefiles/error.h"
#include "gamefiles/file_change.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/managers.h"
#include "gamefiles/save_game.h"
#include "gamefiles/text.h"

#include <array>

namespace hv::managers {
namespace {

// A record's name and code as the game's field reads give them.
std::string nameOf(const ManagersFile& file, std::size_t i) {
    return fieldReadFirst(file.line(i, ManagerRecord::Name));
}

ManagersFile readFile(const ManagersPlace& place) {
    return ManagersFile::read(place.required());
}

// A new name the game could not read back whole is refused.
void refuseName(const ManagersPlace& place, std::string_view name) {
    const Field& field = kManagerFields[ManagerRecord::Name];
    if (auto problem = field.refusal(name))
        refuseChange(place.required(),
                     "a " + std::string(field.checkName()) + " " + std::string(*problem));
    refuseLineBreak(place.required(), field.checkName(), name);
}

// Refused at once when the federation has no managers file.
RecordFilePlace managersFile(const ManagersPlace& place) {
    return {place.gameFolder, place.slot, place.required(), place.temp};
}

std::size_t mergeManagers(ManagersFile& file, std::string_view key,
                          std::span<const FieldEdit> edits);

} // namespace

ManagersPlace::ManagersPlace(const std::string& folder, std::string_view slotName)
    : gameFolder(folder), slot(slotName),
      federation(readFederationName(slotFilePath(folder, slotName, GameFile::SaveGame))) {
    if (auto which = managersFileFor(federation)) {
        file = slotFilePath(folder, slotName, *which);
        temp = slotTempPath(folder, slotName, *which);
    }
}

std::string ManagersPlace::noFileReason() const {
    return "The federation of " + slot + " is \"" + federation +
           "\": only WWF and WCW have managers, so there is nothing to list or change.";
}

const std::filesystem::path& ManagersPlace::required() const {
    if (!file)
        throw OperationRefused(noFileReason());
    return *file;
}

std::vector<std::string> listManagers(const ManagersPlace& place) {
    return managerNames(place.required());
}

std::vector<std::string> listManagers(const ManagersPlace& place, FileState& read) {
    std::string bytes = readFileBytes(place.required());
    StateHasher hasher;
    hasher.add(bytes);
    read = hasher.state();
    const ManagersFile file(std::move(bytes), place.required());
    std::vector<std::string> names;
    names.reserve(file.size());
    for (std::size_t i = 0; i < file.size(); ++i)
        names.push_back(nameOf(file, i));
    return names;
}

std::vector<Manager> readManagers(const ManagersPlace& place) {
    const ManagersFile file = readFile(place);
    std::vector<Manager> out;
    out.reserve(file.size());
    for (std::size_t i = 0; i < file.size(); ++i)
        out.push_back({nameOf(file, i), fieldReadFirst(file.line(i, ManagerRecord::Sex))});
    return out;
}

std::optional<Manager> findManager(const ManagersPlace& place, std::string_view name) {
    for (Manager& m : readManagers(place))
        if (m.name == name)
            return std::move(m);
    return std::nullopt;
}

void addManager(const ManagersPlace& place) {
    editRecordFile<ManagerRecord>(managersFile(place), "Add a manager", [](ManagersFile& file) {
        ManagerRecord record;
        record.lines = {"manager", "m"};
        file.append(record);
    });
}

std::size_t changeManagers(const ManagersPlace& place, std::string_view key,
                           std::optional<std::string_view> newName, std::string_view sex) {
    if (newName)
        refuseName(place, *newName);
    const Choice* code = kManagerFields[ManagerRecord::Sex].choice(sex);

    const std::string description = "Change manager " + std::string(key);
    return editRecordFile<ManagerRecord>(managersFile(place), description, [&](ManagersFile& file) {
        std::size_t changed = 0;
        for (std::size_t i = 0; i < file.size(); ++i) {
            if (nameOf(file, i) != key)
                continue;
            ManagerRecord record = file.record(i);
            if (newName)
                record.lines[ManagerRecord::Name] = *newName;
            if (code)
                record.lines[ManagerRecord::Sex] = code->code;
            file.replace(i, record);
            ++changed;
        }
        return changed;
    });
}

std::size_t changeManagers(const ManagersPlace& place, std::string_view key,
                           std::span<const FieldEdit> edits) {
    for (const FieldEdit& edit : edits)
        if (edit.line == kNameField && edit.value != edit.base)
            refuseName(place, edit.value);
    const std::string description = "Change manager " + std::string(key);
    return editRecordFile<ManagerRecord>(managersFile(place), description, [&](ManagersFile& file) {
        return mergeManagers(file, key, edits);
    });
}

namespace {

std::size_t mergeManagers(ManagersFile& file, std::string_view key,
                          std::span<const FieldEdit> edits) {
    std::vector<Conflict> conflicts;
    std::size_t matched = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (nameOf(file, i) != key)
            continue;
        ++matched;
        std::array<std::string, 2> now = {nameOf(file, i),
                                          fieldReadFirst(file.line(i, ManagerRecord::Sex))};
        bool changed = false;
        for (Conflict& c : mergeEdits(
                 now, edits, key,
                 [](std::size_t line) {
                     return std::pair{kManagerFields[line].caption, false};
                 },
                 &changed))
            conflicts.push_back(std::move(c));
        if (!changed || !conflicts.empty())
            continue;
        // Only a field the merge changed is written; the other keeps its line as stored.
        ManagerRecord record = file.record(i);
        for (std::size_t l = 0; l < now.size(); ++l)
            if (now[l] != (l == kNameField ? nameOf(file, i)
                                           : fieldReadFirst(file.line(i, ManagerRecord::Sex))))
                record.lines[l] = now[l];
        file.replace(i, record);
    }
    if (!conflicts.empty())
        throw ConflictError(std::move(conflicts));
    return matched;
}

} // namespace

std::size_t deleteManagers(const ManagersPlace& place, std::string_view name) {
    const std::string description = "Delete manager " + std::string(name);
    return editRecordFile<ManagerRecord>(managersFile(place), description, [&](ManagersFile& file) {
        std::size_t removed = 0;
        for (std::size_t i = 0; i < file.size(); ++i)
            if (nameOf(file, i) == name) {
                file.drop(i);
                ++removed;
            }
        return removed;
    });
}

} // namespace hv::managers
