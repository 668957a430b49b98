#pragma once

// Keeps two programs (two hv runs, or hv and the editor) from changing one game folder at
// once, so that neither loses the other's change: every operation that reads game files to
// write them holds this lock from its first read to its last replace. It is an exclusive
// lock (flock on Linux, LockFileEx on Windows) on ".hv-restore/lock" in the game folder, a
// file the game never reads; the system drops it when its holder ends, even by a kill.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string_view>

namespace hv {

// An exclusive lock on one lock file (created when missing), held for the whole life of the
// object. Re-entrant within one thread: a lock taken while the same thread holds one on the
// same file only counts. When another program holds it for longer than gameFolderLockWait(),
// throws a GameFileError naming the lock file; `what` names what the lock keeps two programs
// from changing at once ("the game folder", "options.dat").
class FileLock {
public:
    FileLock(const std::filesystem::path& lockFile, std::string_view what);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    struct Held; // one lock this thread holds, and how often

private:
    Held* held_ = nullptr;
};

// The lock of a game folder, taken before anything was read or written. A game folder that
// does not exist is not locked (the operation then fails on its own).
class GameFolderLock {
public:
    explicit GameFolderLock(const std::filesystem::path& gameFolder);

private:
    std::optional<FileLock> lock_;
};

// The lock file of a game folder.
std::filesystem::path gameFolderLockPath(const std::filesystem::path& gameFolder);

// How long a writer waits for a lock: 10 seconds; tests shorten it.
std::chrono::milliseconds& gameFolderLockWait();

} // namespace hv
