#include "temp_rewrite.h"

#include "error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

// Writes pieces to a file descriptor, gathering small ones so that a rewrite made of many
// short new lines between long untouched runs still takes few system calls.
class PieceWriter {
public:
    PieceWriter(int fd, const RewriteSyscalls& sys) : fd_(fd), sys_(sys) {}

    // Each returns 0 or the errno of the failure.
    int put(std::string_view piece) {
        if (piece.size() >= kDirect) {
            if (int error = flush())
                return error;
            return writeAll(piece);
        }
        if (buffer_.size() + piece.size() > kBuffer)
            if (int error = flush())
                return error;
        buffer_.insert(buffer_.end(), piece.begin(), piece.end());
        return 0;
    }
    int flush() {
        const int error = writeAll({buffer_.data(), buffer_.size()});
        buffer_.clear();
        return error;
    }

private:
    // Small: fresh memory is dear to fault in, and big pieces bypass the buffer anyway.
    static constexpr std::size_t kBuffer = 1 << 16;
    static constexpr std::size_t kDirect = 1 << 14;

    int writeAll(std::string_view bytes) {
        const char* data = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const ssize_t n = sys_.write(fd_, data, left);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            if (n == 0)
                return ENOSPC;
            data += n;
            left -= static_cast<std::size_t>(n);
        }
        return 0;
    }

    int fd_;
    const RewriteSyscalls& sys_;
    std::vector<char> buffer_;
};

} // namespace

RewriteSyscalls& rewriteSyscalls() {
    static RewriteSyscalls calls = defaults();
    return calls;
}

void resetRewriteSyscalls() {
    rewriteSyscalls() = defaults();
}

PendingRewrite::PendingRewrite(const fs::path& target, const fs::path& tempName,
                               std::span<const std::string_view> pieces)
    : target_(target), real_(target) {
    const RewriteSyscalls& sys = rewriteSyscalls();

    // Write beside the real file, so that the rename replaces it in one step even when the
    // game file is reached through a symbolic link.
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        real_ = fs::canonical(target, ec);
        if (ec)
            throw GameFileError(target,
                                "is a link to a file that cannot be reached: " + ec.message());
    }

    mode_t mode = 0644;
    uid_t owner = static_cast<uid_t>(-1);
    gid_t group = static_cast<gid_t>(-1);
    struct stat st {};
    if (::stat(real_.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            throw GameFileError(target, "is not a regular file; nothing was written");
        mode = st.st_mode & 07777;
        owner = st.st_uid;
        group = st.st_gid;
    } else if (errno != ENOENT) {
        throw GameFileError(target, reason("cannot be examined", errno));
    }

    fs::path folder = real_.parent_path();
    if (folder.empty())
        folder = ".";
    temp_ = folder / tempName.filename();
    if (temp_ == real_)
        throw GameFileError(target, "temporary file name equals the file's own name");

    // A leftover temporary file (or a link planted under its name) is removed, never
    // written through; O_EXCL then guarantees that we write a file of our own.
    if (::unlink(temp_.c_str()) != 0 && errno != ENOENT)
        throw GameFileError(
            target, reason("old temporary file " + temp_.string() + " cannot be removed", errno) +
                        "; the file was left unchanged");
    int fd = sys.open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        int error = errno;
        throw GameFileError(
            target, reason("temporary file " + temp_.string() + " cannot be created", error) +
                        "; the file was left unchanged");
    }

    PieceWriter writer(fd, sys);
    int error = 0;
    for (std::string_view piece : pieces)
        if ((error = writer.put(piece)) != 0)
            break;
    if (error == 0)
        error = writer.flush();
    if (error != 0) {
        sys.close(fd);
        fail(target, temp_, "writing failed", error);
    }

    if (::fchmod(fd, mode) != 0) {
        error = errno;
        sys.close(fd);
        fail(target, temp_, "permissions cannot be set", error);
    }
    if (owner != static_cast<uid_t>(-1) && ::fchown(fd, owner, group) != 0) {
        // Only root may give a file away; keeping our own ownership is harmless.
    }
    if (sys.fsync(fd) != 0) {
        error = errno;
        sys.close(fd);
        fail(target, temp_, "flushing to disk failed", error);
    }
    if (sys.close(fd) != 0)
        fail(target, temp_, "closing failed", errno);
    pending_ = true;
}

PendingRewrite::~PendingRewrite() {
    if (pending_)
        ::unlink(temp_.c_str());
}

void PendingRewrite::commit() {
    if (!pending_)
        throw GameFileError(target_, "nothing to put in place");
    pending_ = false;
    if (rewriteSyscalls().rename(temp_.c_str(), real_.c_str()) != 0)
        fail(target_, temp_, "replacing the file failed", errno);

    // The new file is in place; make the rename itself durable. A failure here cannot be
    // undone and does not lose data, so it is not reported.
    fs::path folder = real_.parent_path();
    if (folder.empty())
        folder = ".";
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void TempRewrite(const fs::path& target, const fs::path& tempName,
                 std::span<const std::string_view> pieces) {
    PendingRewrite rewrite(target, tempName, pieces);
    rewrite.commit();
}

void TempRewrite(const fs::path& target, const fs::path& tempName, std::string_view contents) {
    TempRewrite(target, tempName, std::span<const std::string_view>(&contents, 1));
}

} // namespace hv
