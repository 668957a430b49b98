#include "testsupport/rewrite_steps.h"

#include "gamefiles/temp_rewrite.h"

#include <array>
#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#endif

namespace hv::test {
namespace {

struct State {
    std::array<int, 5> counts{};
    int failStep = -1;
    int failNth = 0;
    bool andAfter = false;
    bool fired = false;
    RewriteSyscalls real{}; // what a step that does not fail calls
};
State state;

// Counts one occurrence of `step`; true when this one is to fail.
bool failHere(RewriteStep step) {
    const int index = static_cast<int>(step);
    const int n = ++state.counts[static_cast<std::size_t>(index)];
    if (index != state.failStep ||
        (state.failNth != 0 && (state.andAfter ? n < state.failNth : n != state.failNth)))
        return false;
    state.fired = true;
    return true;
}

#ifdef _WIN32

// The Win32 calls report failure as FALSE (or an invalid handle) and GetLastError().
int failWith(DWORD error) {
    ::SetLastError(error);
    return FALSE;
}

void install() {
    RewriteSyscalls& sys = rewriteSyscalls();
    sys.create = [](const wchar_t* path) -> void* {
        if (!failHere(RewriteStep::Create))
            return state.real.create(path);
        failWith(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    };
    sys.write = [](void* file, const void* buf, unsigned long count, unsigned long* written) {
        return failHere(RewriteStep::Write) ? failWith(ERROR_DISK_FULL)
                                            : state.real.write(file, buf, count, written);
    };
    sys.flush = [](void* file) {
        return failHere(RewriteStep::Sync) ? failWith(ERROR_WRITE_FAULT) : state.real.flush(file);
    };
    sys.close = [](void* file) {
        // A failing CloseHandle has still closed the handle.
        const int result = state.real.close(file);
        return failHere(RewriteStep::Close) ? failWith(ERROR_WRITE_FAULT) : result;
    };
    // A lasting failure: a file held by another program is retried, which is not this.
    sys.replace = [](const wchar_t* from, const wchar_t* to) {
        return failHere(RewriteStep::Replace) ? failWith(ERROR_WRITE_FAULT)
                                              : state.real.replace(from, to);
    };
}

#else

int failWith(int error) {
    errno = error;
    return -1;
}

void install() {
    RewriteSyscalls& sys = rewriteSyscalls();
    sys.open = [](const char* path, int flags, mode_t mode) {
        return failHere(RewriteStep::Create) ? failWith(EACCES)
                                             : state.real.open(path, flags, mode);
    };
    sys.write = [](int fd, const void* buf, size_t count) {
        return failHere(RewriteStep::Write) ? ssize_t(failWith(ENOSPC))
                                            : state.real.write(fd, buf, count);
    };
    sys.copyRange = [](int in, off_t* inOffset, int out, size_t count) {
        return failHere(RewriteStep::Write) ? ssize_t(failWith(ENOSPC))
                                            : state.real.copyRange(in, inOffset, out, count);
    };
    sys.fsync = [](int fd) {
        return failHere(RewriteStep::Sync) ? failWith(EIO) : state.real.fsync(fd);
    };
    sys.close = [](int fd) {
        // A failing close has still closed the descriptor.
        const int result = state.real.close(fd);
        return failHere(RewriteStep::Close) ? failWith(EIO) : result;
    };
    sys.rename = [](const char* from, const char* to) {
        return failHere(RewriteStep::Replace) ? failWith(EIO) : state.real.rename(from, to);
    };
}

#endif

} // namespace

const char* stepName(RewriteStep step) {
    static constexpr const char* kNames[] = {"create", "write", "sync", "close", "replace"};
    return kNames[static_cast<std::size_t>(step)];
}

RewriteStepFailure::RewriteStepFailure() {
    resetRewriteSyscalls();
    state = State{};
    state.real = rewriteSyscalls();
    install();
}

RewriteStepFailure::RewriteStepFailure(RewriteStep step, int nth, bool andAfter)
    : RewriteStepFailure() {
    state.failStep = static_cast<int>(step);
    state.failNth = nth;
    state.andAfter = andAfter;
}

RewriteStepFailure::~RewriteStepFailure() {
    resetRewriteSyscalls();
}

int RewriteStepFailure::count(RewriteStep step) const {
    return state.counts[static_cast<std::size_t>(step)];
}

bool RewriteStepFailure::fired() const {
    return state.fired;
}

} // namespace hv::test
