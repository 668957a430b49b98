#include "temp_rewrite.h"

#include "error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace hv {
namespace {

int sysOpen(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

RewriteSyscalls defaults() {
    return RewriteSyscalls{&sysOpen, &::write, &::fsync, &::close, &::rename};
}

std::string reason(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

// Removes the temporary file and throws, keeping errno of the failure that got us here.
[[noreturn]] void fail(const fs::path& target, const fs::path& temp, const std::string& what,
                       int error) {
    ::unlink(temp.c_str());
    throw GameFileError(target, reason(what + " (temporary file " + temp.string() + ")", error) +
                                    "; the file was left unchanged");
}

} // namespace

RewriteSyscalls& rewriteSyscalls() {
    static RewriteSyscalls calls = defaults();
    return calls;
}

void resetRewriteSyscalls() {
    rewriteSyscalls() = defaults();
}

void TempRewrite(const fs::path& target, const fs::path& tempName, std::string_view contents) {
    const RewriteSyscalls& sys = rewriteSyscalls();

    // Write beside the real file, so that the rename replaces it in one step even when the
    // game file is reached through a symbolic link.
    fs::path real = target;
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        real = fs::canonical(target, ec);
        if (ec)
            throw GameFileError(target,
                                "is a link to a file that cannot be reached: " + ec.message());
    }

    mode_t mode = 0644;
    uid_t owner = static_cast<uid_t>(-1);
    gid_t group = static_cast<gid_t>(-1);
    struct stat st {};
    if (::stat(real.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            throw GameFileError(target, "is not a regular file; nothing was written");
        mode = st.st_mode & 07777;
        owner = st.st_uid;
        group = st.st_gid;
    } else if (errno != ENOENT) {
        throw GameFileError(target, reason("cannot be examined", errno));
    }

    fs::path folder = real.parent_path();
    if (folder.empty())
        folder = ".";
    const fs::path temp = folder / tempName.filename();
    if (temp == real)
        throw GameFileError(target, "temporary file name equals the file's own name");

    // A leftover temporary file (or a link planted under its name) is removed, never
    // written through; O_EXCL then guarantees that we write a file of our own.
    if (::unlink(temp.c_str()) != 0 && errno != ENOENT)
        throw GameFileError(
            target, reason("old temporary file " + temp.string() + " cannot be removed", errno) +
                        "; the file was left unchanged");
    int fd = sys.open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        int error = errno;
        throw GameFileError(
            target, reason("temporary file " + temp.string() + " cannot be created", error) +
                        "; the file was left unchanged");
    }

    const char* data = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        ssize_t n = sys.write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int error = errno;
            sys.close(fd);
            fail(target, temp, "writing failed", error);
        }
        if (n == 0) {
            sys.close(fd);
            fail(target, temp, "writing failed", ENOSPC);
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }

    if (::fchmod(fd, mode) != 0) {
        int error = errno;
        sys.close(fd);
        fail(target, temp, "permissions cannot be set", error);
    }
    if (owner != static_cast<uid_t>(-1) && ::fchown(fd, owner, group) != 0) {
        // Only root may give a file away; keeping our own ownership is harmless.
    }
    if (sys.fsync(fd) != 0) {
        int error = errno;
        sys.close(fd);
        fail(target, temp, "flushing to disk failed", error);
    }
    if (sys.close(fd) != 0)
        fail(target, temp, "closing failed", errno);

    if (sys.rename(temp.c_str(), real.c_str()) != 0)
        fail(target, temp, "replacing the file failed", errno);

    // The new file is in place; make the rename itself durable. A failure here cannot be
    // undone and does not lose data, so it is not reported.
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace hv
