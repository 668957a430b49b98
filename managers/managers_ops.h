#pragma once

// Operations on the managers file of a slot's big federation, shared by the managers window
// and `hv`. The game reads the file by field reads, so names are compared as it reads them;
// records the operation does not change are copied byte for byte.

#include "gamefiles/merge.h"
#include "gamefiles/restore.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hv::managers {

// The managers file of one slot: chosen afresh from the save game's federation ("WWF" or
// "WCW", exact) every time one is built, as each window event does.
struct ManagersPlace {
    ManagersPlace(const std::string& gameFolder, std::string_view slot);
    std::string gameFolder; // where the restore points of its changes go
    std::string slot;
    std::string federation;                    // line 2 of the save game, field-read
    std::optional<std::filesystem::path> file; // none: the federation has no managers file
    std::filesystem::path temp;

    // Why there is no file, for a window's note or `hv`'s message.
    std::string noFileReason() const;
    // The file; throws OperationRefused with noFileReason() when there is none.
    const std::filesystem::path& required() const;
};

struct Manager {
    std::string name;
    std::string code; // the sex code as the game reads it: "m", "f" or anything else
};

std::vector<std::string> listManagers(const ManagersPlace& place);
// As above; `read` gets what the file held, from the bytes the names came from.
std::vector<std::string> listManagers(const ManagersPlace& place, FileState& read);
// Every manager, in file order.
std::vector<Manager> readManagers(const ManagersPlace& place);
std::optional<Manager> findManager(const ManagersPlace& place, std::string_view name);

// Appends the record "manager", "m".
void addManager(const ManagersPlace& place);

// Every record named `key` gets `newName` (none: its name line stays as stored), and the code "m"
// or "f" when `sex` is "male" or "female" (any other text keeps the record's code). Returns how
// many records matched; nothing is written when none did. A new name the game could not read back
// whole (one holding a comma, a double quote or a line break) is refused.
std::size_t changeManagers(const ManagersPlace& place, std::string_view key,
                           std::optional<std::string_view> newName, std::string_view sex);

// The lines of a manager's edits: his name and his sex code, each as the game reads it.
enum ManagerField : std::size_t { kNameField = 0, kSexField = 1 };

// Merges the edits (base and value as the game reads the line: a name, a code "m" or "f")
// into every record named `key` as it is now, under the game folder's lock; a field nobody
// edited keeps what the file holds. Throws ConflictError, nothing written, for a field changed
// both here and in the file; a new name is refused as above. Returns how many records
// matched; nothing is written when none did or nothing changed.
std::size_t changeManagers(const ManagersPlace& place, std::string_view key,
                           std::span<const FieldEdit> edits);

// Removes every record named `name`; returns how many (nothing is written when none).
std::size_t deleteManagers(const ManagersPlace& place, std::string_view name);

} // namespace hv::managers
