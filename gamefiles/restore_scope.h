#pragma once

// The scope of one change: it holds the game folder's lock and makes the change's restore point
// of the versions its rewrites replace.

#include "game_folder_lock.h"
#include "restore_point.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#ifndef _WIN32
#include <thread>
#endif

namespace hv {

// A file's version from before an operation, kept in the operation's restore point.
struct KeptVersion {
    std::filesystem::path file;
    unsigned long long point = 0;
    std::string slot;
};

// Opened by an operation for its whole run, and handed to each PendingRewrite it makes (most
// simply through editRecordFile or editFiles, file_change.h). Every file such a rewrite
// replaces inside the scope's game folder is kept in the scope's point, which is complete on
// disk before that replace; a scope in which nothing is replaced leaves no point. When the
// operation fails, files it did not replace after all are dropped from the point again, so a
// failed operation leaves no point, or one of the files it did replace.
// The scope holds the game folder's lock for its whole life; an operation opens it before it
// reads the files it will change. A rewrite given no scope keeps nothing.
class RestoreScope {
public:
    RestoreScope(const std::filesystem::path& gameFolder, std::string_view slot,
                 std::string_view description);
    ~RestoreScope(); // drops the slot's oldest points beyond kRestorePointsKept
    RestoreScope(const RestoreScope&) = delete;
    RestoreScope& operator=(const RestoreScope&) = delete;

    // The point made so far, if any file was replaced.
    std::optional<unsigned long long> pointId() const;

    // Called by PendingRewrite::commit just before it replaces `real` (the file behind the
    // name `named`) with `written`. Throws GameFileError, with the file left in place, when
    // the old version cannot be kept. What the point holds grows so; the scope stays the one
    // of its game folder and slot, hence const.
    void keep(const std::filesystem::path& named, const std::filesystem::path& real,
              const std::optional<FileState>& written) const;
    // The version of `named` from before the operation, as the point keeps it, and the point's
    // id and slot; nothing when the file was not kept.
    std::optional<KeptVersion> keptVersion(const std::filesystem::path& named) const;

private:
    // How the point names a file of the game folder; nothing for a file outside it.
    std::optional<std::string> pointName(const std::filesystem::path& named) const;
    void dropUnreplaced();

    GameFolderLock lock_; // first in, last out: the point is complete before it goes
    int exceptions_ = 0;  // in flight when the scope opened: more at its end means it failed
    bool active_ = false;
    std::filesystem::path root_; // the game folder, absolute
    std::string slot_;
    std::string description_;
    mutable RestorePoint point_;
#ifndef _WIN32
    // Removes the points dropped by earlier changes while this one reads and writes: freeing
    // a large file takes the file system milliseconds that need not delay anybody.
    std::jthread purge_;
#endif
};

// How many scopes were opened in this thread so far: a change that opened one and replaced
// no file changed nothing.
std::size_t restoreScopesOpened();

// How a kept version is made; tests replace it to make every link fail and so reach the copy.
using RestoreLinker = void (*)(const std::filesystem::path& existing,
                               const std::filesystem::path& link, std::error_code& error);
RestoreLinker& restoreLinker();
void resetRestoreLinker();

} // namespace hv
