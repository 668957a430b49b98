#pragma once

// Restore points as the editor and `hv` offer them: the points of a slot and putting one back.
// Qt-free, shared by the restore window and `hv restore`.

#include "gamefiles/error.h"
#include "gamefiles/restore.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hv::restore {

// The slot's points, newest first.
std::vector<RestorePoint> listPoints(const std::string& gameFolder, std::string_view slot);

// What restoring a point undoes, read from the points on disk. A later change is undone whole
// or not at all: with the point go every later point that changed one of its files, or a file
// of another point that goes with it, so that each file ends as it was before the oldest of
// them that changed it. The slot names file belongs to every slot, so the later points of all
// four slots count, in the order they were made.
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
    // Eight hex digits telling the points undone and what every file to be put back holds now:
    // the same id, the same restore.
    std::string id;
};

// Throws OperationRefused for a point the slot does not have.
RestorePlan planRestore(const std::string& gameFolder, std::string_view slot,
                        unsigned long long id);

// A later point as a plan names it: its description, and its slot when not `slot`'s.
std::string pointLabel(const RestorePoint& point, std::string_view slot);

// A point's number as typed: digits only.
std::optional<unsigned long long> parsePointId(std::string_view text);

struct RestoreResult {
    unsigned long long point = 0;    // the restore's own point, which undoes it
    std::vector<RestorePoint> later; // the later changes undone as well, newest first
    std::vector<std::string> files;  // the files put back, relative to the game folder
};

// A restore not made because it is not the one agreed to: `plan` is what it would be now.
class PlanRefused : public OperationRefused {
public:
    PlanRefused(const std::string& message, RestorePlan now)
        : OperationRefused(message), plan(std::move(now)) {}
    RestorePlan plan;
};

// The description of the point a restore leaves: "Undo of Edit Axe", and for a restore of
// that point "Redo of Edit Axe".
std::string undoDescription(std::string_view description);

// Puts every file of point `id`, and of the later points that go with it (planRestore), back
// as it was before them. This is itself an operation with a restore point of its own (so it
// can be undone the same way). The plan is made again under the game folder's lock; every
// kept version is read and every new file written and synced before any file is replaced; a
// refusal or failure before that changes nothing.
// `agreedPlan` is the id of the plan the user saw and accepted: only that plan is carried out,
// over files changed since too. Without one, files changed since are not overwritten. Either
// refusal is a PlanRefused. Throws OperationRefused for a point the slot does not have;
// GameFileError for a kept version that cannot be read.
RestoreResult applyPoint(const std::string& gameFolder, std::string_view slot,
                         unsigned long long id, std::string_view agreedPlan = {});

} // namespace hv::restore
