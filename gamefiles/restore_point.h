#pragma once

// The restore area of a game folder: ".hv-restore/SLOT/ID/" holds a point's kept versions and
// its record ("point.txt"), which tells when, by which change and for which files it was made.

#include "file_state.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hv {

inline constexpr std::string_view kRestoreFolder = ".hv-restore";
inline constexpr std::size_t kRestorePointsKept = 50;

struct RestorePoint {
    unsigned long long id = 0;
    long long time = 0; // seconds since 1970 (UTC)
    std::string slot;
    // Its place among the points of every slot of the game folder, the newest highest: the
    // slot names file is changed by the changes of all four slots. 0 for a point of an earlier
    // version, which has none.
    unsigned long long order = 0;
    std::string description;
    // The replaced files, relative to the game folder with "/" between the components, in the
    // order the operation replaced them.
    std::vector<std::string> files;
    // Per file, what the change left in it (points made before this was recorded have none).
    std::vector<std::optional<FileState>> left;
    std::filesystem::path folder; // where the kept versions lie

    // The kept version of files[index].
    std::filesystem::path kept(std::size_t index) const;
};

// The points of a slot, newest first. A point whose record is missing or unreadable (a
// crash while it was being made) is left out.
std::vector<RestorePoint> listRestorePoints(const std::filesystem::path& gameFolder,
                                            std::string_view slot);
std::optional<RestorePoint> findRestorePoint(const std::filesystem::path& gameFolder,
                                             std::string_view slot, unsigned long long id);

// "2026-12-07 14:05:09" in local time.
std::string restoreTimeText(long long time);

// What a RestoreScope makes points with.

// ".hv-restore/SLOT" of the game folder.
std::filesystem::path restoreArea(const std::filesystem::path& gameFolder, std::string_view slot);
// The point folders of a slot's area, newest first.
std::vector<std::pair<unsigned long long, std::filesystem::path>>
restorePointFolders(const std::filesystem::path& area);
// Whether a point may name `path`: relative, "/" between the parts, none "." or "..".
bool isPlainRelative(std::string_view path);
// The name of the kept version of `relative`, the `number`-th file of its point.
std::string keptName(std::size_t number, std::string_view relative);
// Writes the point's record beside its kept versions; throws GameFileError.
void writeRestorePoint(const RestorePoint& point);
// The highest place any slot's points have taken (RestorePoint::order).
unsigned long long newestRestoreOrder(const std::filesystem::path& gameFolder);
// Puts the area's points beyond the newest kRestorePointsKept out of sight.
void dropOldRestorePoints(const std::filesystem::path& area);
// Removes what dropOldRestorePoints put out of sight.
void purgeDroppedRestorePoints(const std::filesystem::path& area);

} // namespace hv
