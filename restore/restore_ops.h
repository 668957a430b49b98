#pragma once

// Restore points as the editor and `hv` offer them: the points of a slot and putting one back.
// Qt-free, shared by the restore window and `hv restore`.

#include "gamefiles/restore.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hv::restore {

// The slot's points, newest first.
std::vector<RestorePoint> listPoints(const std::string& gameFolder, std::string_view slot);

// What restoring a point undoes, read from the points on disk. A later change is undone whole
// or not at all: with the point go every later point that changed one of its files, or a file
// of another point that goes with it, so that each file ends as it was before the oldest of
// them that changed it.
struct RestorePlan {
    RestorePoint point;
    std::vector<RestorePoint> later; // the later points undone with it, newest first
    // Every file any of them changed, relative to the game folder, and the kept version each
    // gets back.
    std::vector<std::string> files;
    std::vector<std::filesystem::path> versions;
    // Files no longer as the newest of those points left them (written since by the game or
    // another program), as a player knows them: restoring throws those changes away.
    std::vector<std::string> changedSince;
};

// Throws OperationRefused for a point the slot does not have.
RestorePlan planRestore(const std::string& gameFolder, std::string_view slot,
                        unsigned long long id);

// A point's number as typed: digits only.
std::optional<unsigned long long> parsePointId(std::string_view text);

struct RestoreResult {
    unsigned long long point = 0;    // the restore's own point, which undoes it
    std::vector<RestorePoint> later; // the later changes undone as well, newest first
    std::vector<std::string> files;  // the files put back, relative to the game folder
};

// The description of the point a restore leaves: "Undo of Edit Axe", and for a restore of
// that point "Redo of Edit Axe".
std::string undoDescription(std::string_view description);

// Puts every file of point `id`, and of the later points that go with it (planRestore), back
// as it was before them. This is itself an operation with a restore point of its own (so it
// can be undone the same way). Every kept version is read and every new file written and
// synced before any file is replaced; a refusal or failure before that changes nothing.
// Throws OperationRefused for a point the slot does not have, and for files changed since
// (naming them) unless `overwriteChangedFiles`; GameFileError for a kept version that cannot
// be read.
RestoreResult applyPoint(const std::string& gameFolder, std::string_view slot,
                         unsigned long long id, bool overwriteChangedFiles = false);

} // namespace hv::restore
