#pragma once

#include "restore.h"
#include "text.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>
#ifndef _WIN32
#include <sys/types.h>
#endif

namespace hv {

// A new version of a game file, written completely to its temporary file in the target's own
// folder and synced, but not yet in place. `commit()` renames it over the target in one
// step; a rewrite that is never committed removes its temporary file. The target is never
// deleted first. This split lets an operation on two files write both temporary files before
// it replaces either. New bytes equal to the file's own make no rewrite at all: no temporary
// file, no replace, nothing kept for restoring; the file keeps its inode and its time.
class PendingRewrite {
public:
    // Any old file under the temporary name (or a link planted there) is removed, never
    // written through. On failure the temporary file is removed, the target is untouched
    // and a GameFileError names the file and the reason. `tempName` may be a bare name or a
    // path; only its file name is used. `pieces` are written one after another. Large pieces
    // that lie inside `source` (the file as read) are copied from its file inside the kernel
    // where the system can, and written from memory where it cannot. The new bytes are
    // compared with `source`, or without it with the target as it is now.
    PendingRewrite(const std::filesystem::path& target, const std::filesystem::path& tempName,
                   std::span<const std::string_view> pieces, const FileBytes* source = nullptr);
    // As above, the version it replaces kept in `scope`'s restore point; the scope outlives
    // the rewrite.
    PendingRewrite(const RestoreScope& scope, const std::filesystem::path& target,
                   const std::filesystem::path& tempName, std::span<const std::string_view> pieces,
                   const FileBytes* source = nullptr);
    ~PendingRewrite();
    PendingRewrite(const PendingRewrite&) = delete;
    PendingRewrite& operator=(const PendingRewrite&) = delete;

    // Puts the new file in place (a target that does not exist yet is created) and syncs
    // its folder. On failure the temporary file is removed and the target is untouched. On
    // Windows a target another program holds open is tried again for about a second.
    // Nothing at all when the new bytes are the file's own.
    void commit();
    // Whether the new bytes are the file's own, so that commit() leaves the file alone.
    bool unchanged() const { return unchanged_; }

private:
    friend void commitInOrder(std::span<PendingRewrite* const> rewrites);
    PendingRewrite(const RestoreScope* scope, const std::filesystem::path& target,
                   const std::filesystem::path& tempName, std::span<const std::string_view> pieces,
                   const FileBytes* source);
    std::filesystem::path target_; // as given, for messages
    std::filesystem::path real_;   // the file the rename replaces (a link's destination)
    std::filesystem::path temp_;
    const RestoreScope* scope_ = nullptr;
    std::optional<FileState> written_; // for the restore point, when there is a scope
    bool pending_ = false;
    bool unchanged_ = false;
};

// Puts several pending rewrites in place, in order, as one change. When one cannot be put in
// place, the files replaced before it are put back from the versions their scope's restore
// point kept, and the GameFileError names the failed file and says that nothing was changed; or,
// where a file could not be put back, which file holds the change and which restore point
// undoes it.
void commitInOrder(std::span<PendingRewrite* const> rewrites);

// Replaces `target` with `contents` safely: a PendingRewrite committed at once, keeping nothing
// for restoring (a game file's change goes through file_change.h).
void TempRewrite(const std::filesystem::path& target, const std::filesystem::path& tempName,
                 std::span<const std::string_view> pieces, const FileBytes* source = nullptr);
void TempRewrite(const std::filesystem::path& target, const std::filesystem::path& tempName,
                 std::string_view contents);

// The files this process's rewrites have replaced, so that a window can say what its change
// saved from the write itself rather than from time stamps, which some file systems keep too
// coarsely to tell two writes in one second apart. Take a mark before the change and ask for
// what was replaced since; only the most recent replaces are remembered.
std::size_t replacedMark();
std::vector<std::filesystem::path> replacedSince(std::size_t mark);
// What the last rewrite since `mark` that replaced `file` (the same file by any path) left in
// it, when that rewrite hashed what it wrote (one keeping a restore point does); else nothing.
std::optional<FileState> writtenSince(std::size_t mark, const std::filesystem::path& file);

// System calls used by the rewrite, replaceable so that tests can make each step fail.
#ifdef _WIN32
// The Win32 calls, spelled without <windows.h>: a handle is a void*, a DWORD an unsigned
// long, a BOOL an int; failures are told by GetLastError(), as from the real calls.
struct RewriteSyscalls {
    // CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)
    void* (*create)(const wchar_t* path);
    int (*write)(void* file, const void* buf, unsigned long count, unsigned long* written);
    int (*flush)(void* file); // FlushFileBuffers
    int (*close)(void* file); // CloseHandle
    // MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
    int (*replace)(const wchar_t* from, const wchar_t* to);
    void (*pause)(unsigned long milliseconds); // Sleep, between attempts to replace
};
#else
struct RewriteSyscalls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void* buf, size_t count);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
    // copy_file_range(in, inOffset, out, nullptr, count, 0); counted as a write
    ssize_t (*copyRange)(int in, off_t* inOffset, int out, size_t count);
};
#endif
RewriteSyscalls& rewriteSyscalls();
void resetRewriteSyscalls();

} // namespace hv
