#pragma once

#include <filesystem>
#include <string_view>
#include <sys/types.h>

namespace hv {

// Replaces `target` with `contents` safely: the new bytes go to `tempName` in the target's
// own folder (any old file of that name is removed first, never written through), are
// synced, and then renamed over the target in one step. The target is never deleted first;
// on any failure the temporary file is removed, the target is untouched and a GameFileError
// names the file and the reason. A target that does not exist yet is created.
// `tempName` may be a bare name or a path; only its file name is used.
void TempRewrite(const std::filesystem::path& target, const std::filesystem::path& tempName,
                 std::string_view contents);

// System calls used by TempRewrite, replaceable so that tests can make each step fail.
struct RewriteSyscalls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void* buf, size_t count);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
};
RewriteSyscalls& rewriteSyscalls();
void resetRewriteSyscalls();

} // namespace hv
