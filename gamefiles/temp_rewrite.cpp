#include "temp_rewrite.h"

#include "error.h"
#include "file_change.h"
#include "restore_scope.h"
#include "system_path.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace hv {
namespace {

#ifdef _WIN32

// The game may hold its file open for a moment (Windows refuses to replace an open file);
// a few attempts over about a second ride that out without hanging on a file kept open.
constexpr int kReplaceAttempts = 20;
constexpr unsigned long kReplacePause = 50; // milliseconds

RewriteSyscalls defaults() {
    return RewriteSyscalls{
        [](const wchar_t* path) -> void* {
            return ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
        },
        [](void* file, const void* buf, unsigned long count, unsigned long* written) -> int {
            return ::WriteFile(file, buf, count, written, nullptr);
        },
        [](void* file) -> int { return ::FlushFileBuffers(file); },
        [](void* file) -> int { return ::CloseHandle(file); },
        [](const wchar_t* from, const wchar_t* to) -> int {
            return ::MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        },
        [](unsigned long milliseconds) { ::Sleep(milliseconds); },
    };
}

int lastError() {
    return static_cast<int>(::GetLastError());
}

bool isMissing(int error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

std::string reason(const std::string& what, int error) {
    return what + ": " + std::system_category().message(error);
}

// 0, or the error of a file that exists and cannot be removed.
int removeFile(const fs::path& file) {
    if (::DeleteFileW(file.c_str()))
        return 0;
    const int error = lastError();
    return isMissing(error) ? 0 : error;
}

#else

int sysOpen(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

ssize_t sysCopyRange(int in, off_t* inOffset, int out, size_t count) {
    return ::copy_file_range(in, inOffset, out, nullptr, count, 0);
}

RewriteSyscalls defaults() {
    return RewriteSyscalls{&sysOpen, &::write, &::fsync, &::close, &::rename, &sysCopyRange};
}

int lastError() {
    return errno;
}

std::string reason(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

int removeFile(const fs::path& file) {
    return ::unlink(file.c_str()) == 0 || errno == ENOENT ? 0 : errno;
}

#endif

constexpr std::string_view kLeftUnchanged = "; the file was left unchanged";

// Removes the temporary file and throws, keeping the error of the failure that got us here.
[[noreturn]] void fail(const fs::path& target, const fs::path& temp, const std::string& what,
                       int error) {
    removeFile(temp);
    throw GameFileError(target, reason(what + " (temporary file " + pathBytes(temp) + ")", error) +
                                    std::string(kLeftUnchanged));
}

// Whether `pieces` make exactly the bytes of `source`, or without it of `file` as it is now
// (read only when its size matches).
bool holdsPieces(const fs::path& file, std::span<const std::string_view> pieces,
                 const FileBytes* source) {
    std::size_t total = 0;
    for (std::string_view piece : pieces)
        total += piece.size();
    std::string read;
    std::string_view old;
    if (source) {
        old = source->view();
    } else {
        std::error_code ec;
        if (!fs::is_regular_file(file, ec) || fs::file_size(file, ec) != total || ec)
            return false;
        try {
            read = readFileBytes(file);
        } catch (const GameFileError&) {
            return false;
        }
        old = read;
    }
    if (old.size() != total)
        return false;
    std::size_t at = 0;
    for (std::string_view piece : pieces) {
        if (!piece.empty() && piece.data() != old.data() + at &&
            std::memcmp(piece.data(), old.data() + at, piece.size()) != 0)
            return false;
        at += piece.size();
    }
    return true;
}

#ifdef _WIN32
using Handle = void*;
#else
using Handle = int;
#endif

// Writes pieces to an open file, gathering small ones so that a rewrite made of many short
// new lines between long untouched runs still takes few system calls.
class PieceWriter {
public:
    PieceWriter(Handle file, const RewriteSyscalls& sys, const FileBytes* source)
        : file_(file), sys_(sys), source_(source) {}

    // Each returns 0 or the system's error code of the failure.
    int put(std::string_view piece) {
        if (piece.size() >= kDirect) {
            if (int error = flush())
                return error;
#ifndef _WIN32
            if (source_ && source_->fd() >= 0 && source_->holds(piece))
                return copyAll(piece);
#endif
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
#ifdef _WIN32
            unsigned long n = 0;
            const auto chunk = static_cast<unsigned long>(std::min<std::size_t>(left, 1u << 30));
            if (!sys_.write(file_, data, chunk, &n))
                return lastError();
            if (n == 0)
                return ERROR_DISK_FULL;
#else
            const ssize_t n = sys_.write(file_, data, left);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            if (n == 0)
                return ENOSPC;
#endif
            data += n;
            left -= static_cast<std::size_t>(n);
        }
        return 0;
    }

#ifndef _WIN32
    // Copies a run of the source file inside the kernel, with no pass through our memory.
    // Where the system or the file systems cannot (an old kernel, two file systems, a file
    // system without it), the rest is written from the mapped bytes instead.
    int copyAll(std::string_view piece) {
        auto offset = static_cast<off_t>(piece.data() - source_->view().data());
        std::size_t done = 0;
        while (done < piece.size() && !noCopy_) {
            const ssize_t n = sys_.copyRange(source_->fd(), &offset, file_, piece.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n == 0 || errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP ||
                       errno == EINVAL || errno == EBADF || errno == EPERM) {
                // n == 0: the file ends early after all; the mapped bytes are what was read.
                noCopy_ = true;
            } else {
                return errno;
            }
        }
        return writeAll(piece.substr(done));
    }
    bool noCopy_ = false;
#endif

    Handle file_;
    const RewriteSyscalls& sys_;
    const FileBytes* source_;
    std::vector<char> buffer_;
};

#ifdef _WIN32

int syncFile(const RewriteSyscalls& sys, Handle file) {
    return sys.flush(file) ? 0 : lastError();
}
int closeFile(const RewriteSyscalls& sys, Handle file) {
    return sys.close(file) ? 0 : lastError();
}

// 0 or the error of the last attempt. Only a file held by another program is tried again.
int replaceFile(const fs::path& from, const fs::path& to) {
    const RewriteSyscalls& sys = rewriteSyscalls();
    for (int attempt = 1;; ++attempt) {
        if (sys.replace(from.c_str(), to.c_str()))
            return 0;
        const int error = lastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                          error == ERROR_LOCK_VIOLATION;
        if (!held || attempt == kReplaceAttempts)
            return error;
        sys.pause(kReplacePause);
    }
}

// MOVEFILE_WRITE_THROUGH has already made the replace durable.
void syncFolder(const fs::path&) {}

#else

int syncFile(const RewriteSyscalls& sys, Handle file) {
    return sys.fsync(file) == 0 ? 0 : errno;
}
int closeFile(const RewriteSyscalls& sys, Handle file) {
    return sys.close(file) == 0 ? 0 : errno;
}

int replaceFile(const fs::path& from, const fs::path& to) {
    return rewriteSyscalls().rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// Makes a rename durable. A failure here cannot be undone and does not lose data, so it is
// not reported.
void syncFolder(const fs::path& file) {
    fs::path folder = file.parent_path();
    if (folder.empty())
        folder = ".";
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

#endif

} // namespace

RewriteSyscalls& rewriteSyscalls() {
    static RewriteSyscalls calls = defaults();
    return calls;
}

void resetRewriteSyscalls() {
    rewriteSyscalls() = defaults();
}

PendingRewrite::PendingRewrite(const fs::path& target, const fs::path& tempName,
                               std::span<const std::string_view> pieces, const FileBytes* source)
    : PendingRewrite(nullptr, target, tempName, pieces, source) {}

PendingRewrite::PendingRewrite(const RestoreScope& scope, const fs::path& target,
                               const fs::path& tempName, std::span<const std::string_view> pieces,
                               const FileBytes* source)
    : PendingRewrite(&scope, target, tempName, pieces, source) {}

PendingRewrite::PendingRewrite(const RestoreScope* scope, const fs::path& target,
                               const fs::path& tempName, std::span<const std::string_view> pieces,
                               const FileBytes* source)
    : target_(target), real_(target), scope_(scope) {
    const RewriteSyscalls& sys = rewriteSyscalls();

#ifdef _WIN32
    // The game's folders hold plain files; a folder is no target.
    const DWORD attributes = ::GetFileAttributesW(real_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            refuseChange(target, "is not a regular file");
    } else if (const int error = lastError(); !isMissing(error)) {
        throw GameFileError(target, reason("cannot be examined", error));
    }
#else
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
            refuseChange(target, "is not a regular file");
        mode = st.st_mode & 07777;
        owner = st.st_uid;
        group = st.st_gid;
    } else if (errno != ENOENT) {
        throw GameFileError(target, reason("cannot be examined", errno));
    }
#endif

    fs::path folder = real_.parent_path();
    if (folder.empty())
        folder = ".";
    temp_ = folder / tempName.filename();
    if (temp_ == real_)
        throw GameFileError(target, "temporary file name equals the file's own name");
    if ((unchanged_ = holdsPieces(real_, pieces, source))) {
        removeFile(temp_); // what a killed change left; the file itself stays untouched
        return;
    }

    // A leftover temporary file (or a link planted under its name) is removed, never
    // written through; creating it exclusively then guarantees that we write a file of our own.
    if (const int error = removeFile(temp_))
        throw GameFileError(
            target, reason("old temporary file " + pathBytes(temp_) + " cannot be removed", error) +
                        "; the file was left unchanged");
#ifdef _WIN32
    const Handle fd = sys.create(temp_.c_str());
    if (fd == INVALID_HANDLE_VALUE) {
#else
    const Handle fd =
        sys.open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
#endif
        const int error = lastError();
        throw GameFileError(
            target, reason("temporary file " + pathBytes(temp_) + " cannot be created", error) +
                        "; the file was left unchanged");
    }

    // What the rewrite leaves in the file, for the restore point. On Linux it is hashed beside
    // the writing, whose copy and sync leave the processor idle; a throw joins it on the way out.
    StateHasher hasher;
    const auto hash = [&] {
        for (std::string_view piece : pieces)
            hasher.add(piece);
    };
#ifndef _WIN32
    std::optional<std::jthread> hashing;
    if (scope_)
        hashing.emplace(hash);
#else
    if (scope_)
        hash(), written_ = hasher.state();
#endif
    PieceWriter writer(fd, sys, source);
    int error = 0;
    for (std::string_view piece : pieces)
        if ((error = writer.put(piece)) != 0)
            break;
    if (error == 0)
        error = writer.flush();
    if (error != 0) {
        closeFile(sys, fd);
        fail(target, temp_, "writing failed", error);
    }

#ifndef _WIN32
    if (::fchmod(fd, mode) != 0) {
        error = errno;
        sys.close(fd);
        fail(target, temp_, "permissions cannot be set", error);
    }
    if (owner != static_cast<uid_t>(-1) && ::fchown(fd, owner, group) != 0) {
        // Only root may give a file away; keeping our own ownership is harmless.
    }
#endif
    if ((error = syncFile(sys, fd)) != 0) {
        closeFile(sys, fd);
        fail(target, temp_, "flushing to disk failed", error);
    }
    if ((error = closeFile(sys, fd)) != 0)
        fail(target, temp_, "closing failed", error);
#ifndef _WIN32
    if (hashing) {
        hashing->join();
        written_ = hasher.state();
    }
#endif
    pending_ = true;
}

namespace {

struct ReplacedLog {
    static constexpr std::size_t kKept = 256;
    std::size_t count = 0; // replaces ever made; the mark
    std::vector<fs::path> recent;
    std::vector<std::optional<FileState>> written; // beside `recent`
};

ReplacedLog& replacedLog() {
    static ReplacedLog log;
    return log;
}

void noteReplaced(const fs::path& file, const std::optional<FileState>& written) {
    ReplacedLog& log = replacedLog();
    if (log.recent.size() == ReplacedLog::kKept) {
        log.recent.erase(log.recent.begin());
        log.written.erase(log.written.begin());
    }
    log.recent.push_back(file);
    log.written.push_back(written);
    ++log.count;
}

} // namespace

std::size_t replacedMark() {
    return replacedLog().count;
}

std::vector<fs::path> replacedSince(std::size_t mark) {
    const ReplacedLog& log = replacedLog();
    const std::size_t wanted = std::min(log.count - std::min(mark, log.count), log.recent.size());
    return {log.recent.end() - static_cast<std::ptrdiff_t>(wanted), log.recent.end()};
}

std::optional<FileState> writtenSince(std::size_t mark, const fs::path& file) {
    const ReplacedLog& log = replacedLog();
    const std::size_t wanted = std::min(log.count - std::min(mark, log.count), log.recent.size());
    for (std::size_t k = log.recent.size(); k > log.recent.size() - wanted; --k) {
        std::error_code ec;
        if (fs::equivalent(log.recent[k - 1], file, ec))
            return log.written[k - 1];
    }
    return std::nullopt;
}

PendingRewrite::~PendingRewrite() {
    if (pending_)
        removeFile(temp_);
}

void PendingRewrite::commit() {
    if (unchanged_)
        return;
    if (!pending_)
        throw GameFileError(target_, "nothing to put in place");
    // The version about to be replaced goes to the restore point; a throw leaves it.
    if (scope_)
        scope_->keep(target_, real_, written_);
    pending_ = false;
    if (const int error = replaceFile(temp_, real_))
        fail(target_, temp_, "replacing the file failed", error);
    noteReplaced(target_, written_);
    syncFolder(real_);
}

void commitInOrder(std::span<PendingRewrite* const> rewrites) {
    for (std::size_t k = 0; k < rewrites.size(); ++k) {
        try {
            rewrites[k]->commit();
        } catch (const GameFileError& failed) {
            // Back to the state before the change, the last replaced first.
            std::vector<std::string> putBack, stuck;
            std::optional<KeptVersion> point;
            for (std::size_t j = k; j-- > 0;) {
                const PendingRewrite& done = *rewrites[j];
                if (done.unchanged_)
                    continue;
                const auto kept = done.scope_ ? done.scope_->keptVersion(done.target_)
                                              : std::optional<KeptVersion>();
                try {
                    if (!kept)
                        throw GameFileError(done.target_, "its version from before the change "
                                                          "was not kept");
                    TempRewrite(done.target_, done.temp_.filename(), readFileBytes(kept->file));
                    putBack.push_back(pathBytes(done.target_));
                } catch (const GameFileError& e) {
                    std::string why = e.problem();
                    if (why.ends_with(kLeftUnchanged))
                        why.resize(why.size() - kLeftUnchanged.size());
                    stuck.push_back(pathBytes(done.target_) +
                                    " holds the change and could not be put back (" + why + ")");
                    if (kept)
                        point = kept;
                }
            }
            std::string problem = failed.problem();
            auto join = [](const std::vector<std::string>& parts) {
                std::string text;
                for (const std::string& part : parts)
                    text += (text.empty() ? "" : " and ") + part;
                return text;
            };
            if (!putBack.empty())
                problem += "; " + join(putBack) + (putBack.size() == 1 ? " was" : " were") +
                           " put back as before";
            if (stuck.empty()) {
                if (!putBack.empty())
                    problem += ", so no file was changed";
            } else {
                problem += "; " + join(stuck);
                if (point)
                    problem += "; restore point " + std::to_string(point->point) + " of " +
                               point->slot + " puts back every file of the change";
            }
            throw GameFileError(failed.file(), problem, failed.line());
        }
    }
}

void TempRewrite(const fs::path& target, const fs::path& tempName,
                 std::span<const std::string_view> pieces, const FileBytes* source) {
    PendingRewrite rewrite(target, tempName, pieces, source);
    rewrite.commit();
}

void TempRewrite(const fs::path& target, const fs::path& tempName, std::string_view contents) {
    TempRewrite(target, tempName, std::span<const std::string_view>(&contents, 1));
}

void FileChange::write(const fs::path& target, const fs::path& tempName, std::string_view bytes) {
    writes_.push_back(std::make_unique<PendingRewrite>(
        scope_, target, tempName, std::span<const std::string_view>(&bytes, 1)));
}

void FileChange::commit() {
    std::vector<PendingRewrite*> order;
    for (auto& write : writes_)
        order.push_back(write.get());
    commitInOrder(order);
    writes_.clear();
}

} // namespace hv
