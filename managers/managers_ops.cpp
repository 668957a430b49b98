#include "managers_ops.h"

#include "gamefiles/error.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/managers.h"
#include "gamefiles/restore.h"
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
        throw GameFileError(place.required(), "a " + std::string(field.checkName()) + " " +
                                                  std::string(*problem) + "; nothing was written");
    refuseLineBreak(place.required(), field.checkName(), name);
}

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

std::optional<Manager> findManager(const ManagersPlace& place, std::string_view name) {
    const ManagersFile file = readFile(place);
    for (std::size_t i = 0; i < file.size(); ++i)
        if (nameOf(file, i) == name)
            return Manager{nameOf(file, i), fieldReadFirst(file.line(i, ManagerRecord::Sex))};
    return std::nullopt;
}

void addManager(const ManagersPlace& place) {
    const RestoreScope point(place.gameFolder, place.slot, "Add a manager");
    ManagersFile file = readFile(place);
    ManagerRecord record;
    record.lines = {"manager", "m"};
    file.append(record);
    file.save(place.temp);
}

std::size_t changeManagers(const ManagersPlace& place, std::string_view key,
                           std::optional<std::string_view> newName, std::string_view sex) {
    if (newName)
        refuseName(place, *newName);
    const Choice* code = kManagerFields[ManagerRecord::Sex].choice(sex);

    const RestoreScope point(place.gameFolder, place.slot, "Change manager " + std::string(key));
    ManagersFile file = readFile(place);
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
    file.save(place.temp);
    return changed;
}

std::size_t changeManagers(const ManagersPlace& place, std::string_view key,
                           std::span<const FieldEdit> edits) {
    for (const FieldEdit& edit : edits)
        if (edit.line == kNameField && edit.value != edit.base)
            refuseName(place, edit.value);
    const RestoreScope point(place.gameFolder, place.slot, "Change manager " + std::string(key));
    ManagersFile file = readFile(place);
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
    file.save(place.temp);
    return matched;
}

std::size_t deleteManagers(const ManagersPlace& place, std::string_view name) {
    const RestoreScope point(place.gameFolder, place.slot, "Delete manager " + std::string(name));
    ManagersFile file = readFile(place);
    std::size_t removed = 0;
    for (std::size_t i = 0; i < file.size(); ++i)
        if (nameOf(file, i) == name) {
            file.drop(i);
            ++removed;
        }
    file.save(place.temp);
    return removed;
}

} // namespace hv::managers
