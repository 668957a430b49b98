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

// The points newer than points[index] (the list newest first, as listPoints gives it) that
// changed one of its files: restoring points[index] undoes their changes to those files too.
std::vector<const RestorePoint*> laterChangesTo(const std::vector<RestorePoint>& points,
                                                std::size_t index);

// A point's number as typed: digits only.
std::optional<unsigned long long> parsePointId(std::string_view text);

// Puts every file of point `id` back as it was before that point's change. This is itself an
// operation with a restore point of its own (so it can be undone the same way), whose number
// is returned. Every kept version is read and every new file written and synced before any
// file is replaced; a refusal or failure before that changes nothing. Throws OperationRefused
// for a point the slot does not have and GameFileError for a kept version that cannot be read.
unsigned long long applyPoint(const std::string& gameFolder, std::string_view slot,
                              unsigned long long id);

} // namespace hv::restore
