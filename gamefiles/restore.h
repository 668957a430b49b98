#pragma once

// Restore points: undo for the game folder. Every operation that changes game files opens a
// RestoreScope; each file the operation replaces is kept, just before the replace, under
// ".hv-restore/SLOT/ID/" in the game folder (which the game never reads) as a hard link to
// the old file, so keeping it copies no bytes. Where a link is impossible (another file
// system, FAT) the old file is copied. One point per operation, the newest 50 per slot.

#include "game_folder_lock.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#ifndef _WIN32
#include <thread>
#endif
#include <vector>

namespace hv {

inline constexpr std::string_view kRestoreFolder = ".hv-restore";
inline constexpr std::size_t kRestorePointsKept = 50;

// What a file held, told by its size and a 64-bit hash of its bytes: enough to notice that
// another program has written it since.
struct FileState {
    unsigned long long size = 0;
    std::uint64_t hash = 0;
    // The FNV-1a 64 hash that points of earlier versions recorded instead, where known.
    std::optional<std::uint64_t> fnv;
    // Compared by the FNV hash where both sides have one, else by the hash.
    bool operator==(const FileState& other) const;
};

// Hashes bytes given in pieces of any size; the state does not depend on where they are cut.
// Eight bytes a step, so that hashing what a rewrite writes costs little beside writing it;
// the byte-wise FNV-1a hash too only when asked, to compare with a state of an earlier version.
class StateHasher {
public:
    explicit StateHasher(bool fnv = false) {
        if (fnv)
            fnv_ = 0xcbf29ce484222325ULL;
    }
    void add(std::string_view bytes);
    FileState state() const;

private:
    void word(std::uint64_t w);
    unsigned long long size_ = 0;
    std::uint64_t hash_ = 0x9e3779b97f4a7c15ULL;
    std::uint64_t tail_ = 0; // the bytes of an unfinished word, the first lowest
    std::optional<std::uint64_t> fnv_;
};
// Whether `bytes` are what `state` records.
bool holdsState(std::string_view bytes, const FileState& state);
// Whether the file as it is now is what `state` records; false when it cannot be read.
bool fileHoldsState(const std::filesystem::path& file, const FileState& state);
// What the file holds now, with the FNV hash too when asked; none when it cannot be read.
std::optional<FileState> fileState(const std::filesystem::path& file, bool fnv = false);

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

// A file's version from before an operation, kept in the operation's restore point.
struct KeptVersion {
    std::filesystem::path file;
    unsigned long long point = 0;
    std::string slot;
};

// Opened by an operation for its whole run. Every file a PendingRewrite replaces while the
// scope is open, inside the scope's game folder, is kept in the scope's point, which is
// complete on disk before that replace; a scope in which nothing is replaced leaves no point.
// A scope opened while another is open adds nothing of its own: its files go to the outer one.
// When the operation fails, files it did not replace after all are dropped from the point
// again, so a failed operation leaves no point, or one of the files it did replace.
// The scope holds the game folder's lock for its whole life; an operation opens it before it
// reads the files it will change.
class RestoreScope {
public:
    RestoreScope(const std::filesystem::path& gameFolder, std::string_view slot,
                 std::string_view description);
    ~RestoreScope(); // drops the slot's oldest points beyond kRestorePointsKept
    RestoreScope(const RestoreScope&) = delete;
    RestoreScope& operator=(const RestoreScope&) = delete;

    // The point made so far, if any file was replaced.
    std::optional<unsigned long long> pointId() const;

private:
    friend void keepForRestore(const std::filesystem::path&, const std::filesystem::path&,
                               const std::optional<FileState>&);
    friend std::optional<KeptVersion> keptVersion(const std::filesystem::path&);
    // How the point names a file of the game folder; nothing for a file outside it.
    std::optional<std::string> pointName(const std::filesystem::path& named) const;
    void keep(const std::filesystem::path& named, const std::filesystem::path& real,
              const std::optional<FileState>& written);
    void writeManifest() const;
    void dropUnreplaced();

    GameFolderLock lock_; // first in, last out: the point is complete before it goes
    RestoreScope* outer_ = nullptr;
    int exceptions_ = 0; // in flight when the scope opened: more at its end means it failed
    bool active_ = false;
    std::filesystem::path root_; // the game folder, absolute
    std::string slot_;
    std::string description_;
    RestorePoint point_;
#ifndef _WIN32
    // Removes the points dropped by earlier changes while this one reads and writes: freeing
    // a large file takes the file system milliseconds that need not delay anybody.
    std::jthread purge_;
#endif
};

// Called by PendingRewrite::commit just before it replaces `real` (the file behind the name
// `named`) with `written`. Without an open scope it does nothing. Throws GameFileError, with
// the file left in place, when the old version cannot be kept.
void keepForRestore(const std::filesystem::path& named, const std::filesystem::path& real,
                    const std::optional<FileState>& written);
// Whether a scope is open, so that a rewrite need only hash what it writes then.
bool restoreScopeOpen();
// The version of `named` from before the operation, as the open scope's point keeps it, and
// that point's id and slot; nothing when no scope is open or the file was not kept.
std::optional<KeptVersion> keptVersion(const std::filesystem::path& named);
// How many scopes were opened in this thread so far: a change that opened one and replaced
// no file changed nothing.
std::size_t restoreScopesOpened();

// The points of a slot, newest first. A point whose record is missing or unreadable (a
// crash while it was being made) is left out.
std::vector<RestorePoint> listRestorePoints(const std::filesystem::path& gameFolder,
                                            std::string_view slot);
std::optional<RestorePoint> findRestorePoint(const std::filesystem::path& gameFolder,
                                             std::string_view slot, unsigned long long id);

// "2026-12-07 14:05:09" in local time.
std::string restoreTimeText(long long time);

// How a kept version is made; tests replace it to make every link fail and so reach the copy.
using RestoreLinker = void (*)(const std::filesystem::path& existing,
                               const std::filesystem::path& link, std::error_code& error);
RestoreLinker& restoreLinker();
void resetRestoreLinker();

} // namespace hv
