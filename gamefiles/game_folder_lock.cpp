#include "game_folder_lock.h"

#include "error.h"
#include "restore.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <system_error>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace hv {
namespace {

constexpr std::chrono::milliseconds kPoll{20};

std::string waitText(std::chrono::milliseconds wait) {
    if (wait.count() % 1000 == 0)
        return std::to_string(wait.count() / 1000) + " seconds";
    return std::to_string(wait.count()) + " milliseconds";
}

[[noreturn]] void cannotCreate(const fs::path& lock, std::string_view what,
                               const std::string& reason) {
    refuseChange(lock, "the lock that keeps two programs from changing " + std::string(what) +
                           " at once cannot be made: " + reason);
}

[[noreturn]] void heldElsewhere(const fs::path& lock, std::string_view what,
                                std::chrono::milliseconds wait) {
    throw GameFileError(lock, "another program (hv or the editor) is changing " +
                                  std::string(what) + " and has held this lock for " +
                                  waitText(wait) + std::string(kNothingWritten) +
                                  ". Try again when it has finished.");
}

#ifdef _WIN32

using Handle = HANDLE;

std::string reason(DWORD error) {
    return std::system_category().message(static_cast<int>(error));
}

Handle acquire(const fs::path& lock, std::string_view what, std::chrono::milliseconds wait) {
    const Handle file = ::CreateFileW(lock.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        cannotCreate(lock, what, reason(::GetLastError()));
    const auto start = Clock::now();
    for (;;) {
        OVERLAPPED at{};
        if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
            return file;
        const DWORD error = ::GetLastError();
        if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) {
            ::CloseHandle(file);
            cannotCreate(lock, what, reason(error));
        }
        if (Clock::now() - start >= wait) {
            ::CloseHandle(file);
            heldElsewhere(lock, what, wait);
        }
        std::this_thread::sleep_for(kPoll);
    }
}

void release(Handle file) {
    OVERLAPPED at{};
    ::UnlockFileEx(file, 0, 1, 0, &at);
    ::CloseHandle(file);
}

#else

using Handle = int;

Handle acquire(const fs::path& lock, std::string_view what, std::chrono::milliseconds wait) {
    // Read-only: a lock file another user made is still ours to lock.
    const Handle fd = ::open(lock.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        cannotCreate(lock, what, std::strerror(errno));
    const auto start = Clock::now();
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return fd;
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error != EWOULDBLOCK) {
            ::close(fd);
            cannotCreate(lock, what, std::strerror(error));
        }
        if (Clock::now() - start >= wait) {
            ::close(fd);
            heldElsewhere(lock, what, wait);
        }
        std::this_thread::sleep_for(kPoll);
    }
}

void release(Handle fd) {
    ::flock(fd, LOCK_UN);
    ::close(fd);
}

#endif

} // namespace

struct FileLock::Held {
    fs::path file;
    Handle handle;
    int count = 1;
    Held* next = nullptr;
};

namespace {
// The locks this thread holds, newest first; an operation runs on one thread from start to
// end. A plain pointer: nothing is left to destroy when a thread ends.
thread_local FileLock::Held* heldLocks = nullptr;
} // namespace

FileLock::FileLock(const fs::path& lockFile, std::string_view what) {
    std::error_code error;
    const fs::path file = fs::weakly_canonical(fs::absolute(lockFile, error), error);
    for (Held* h = heldLocks; h; h = h->next)
        if (h->file == file) {
            held_ = h;
            ++held_->count;
            return;
        }
    auto held = std::make_unique<Held>(Held{file, {}, 1, heldLocks});
    held->handle = acquire(lockFile, what, gameFolderLockWait());
    held_ = heldLocks = held.release();
}

FileLock::~FileLock() {
    if (!held_ || --held_->count > 0)
        return;
    release(held_->handle);
    for (Held** at = &heldLocks; *at; at = &(*at)->next)
        if (*at == held_) {
            *at = held_->next;
            break;
        }
    delete held_;
}

GameFolderLock::GameFolderLock(const fs::path& gameFolder) {
    std::error_code error;
    if (!fs::is_directory(gameFolder, error))
        return;
    const fs::path lock = gameFolderLockPath(gameFolder);
    fs::create_directory(lock.parent_path(), error);
    if (error)
        cannotCreate(lock, "the game folder", error.message());
    lock_.emplace(lock, "the game folder");
}

fs::path gameFolderLockPath(const fs::path& gameFolder) {
    return gameFolder / std::string(kRestoreFolder) / "lock";
}

std::chrono::milliseconds& gameFolderLockWait() {
    static std::chrono::milliseconds wait{10000};
    return wait;
}

} // namespace hv
