#include "testsupport/rewrite_steps.h"

#include "gamefiles/temp_rewrite.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace hv::test {
namespace {

struct State {
    std::array<int, 5> counts{};
    int failStep = -1;
    int failNth = 0;
    bool fired = false;
};
State state;

// Counts one occurrence of `step`; true when this one is to fail.
bool failHere(RewriteStep step) {
    const int index = static_cast<int>(step);
    const int n = ++state.counts[static_cast<std::size_t>(index)];
    if (index != state.failStep || n != state.failNth)
        return false;
    state.fired = true;
    return true;
}

int failWith(int error) {
    errno = error;
    return -1;
}

void install() {
    RewriteSyscalls& sys = rewriteSyscalls();
    sys.open = [](const char* path, int flags, mode_t mode) {
        return failHere(RewriteStep::Create) ? failWith(EACCES) : ::open(path, flags, mode);
    };
    sys.write = [](int fd, const void* buf, size_t count) {
        return failHere(RewriteStep::Write) ? ssize_t(failWith(ENOSPC)) : ::write(fd, buf, count);
    };
    sys.fsync = [](int fd) { return failHere(RewriteStep::Sync) ? failWith(EIO) : ::fsync(fd); };
    sys.close = [](int fd) {
        // A failing close has still closed the descriptor.
        const int result = ::close(fd);
        return failHere(RewriteStep::Close) ? failWith(EIO) : result;
    };
    sys.rename = [](const char* from, const char* to) {
        return failHere(RewriteStep::Replace) ? failWith(EIO) : ::rename(from, to);
    };
}

} // namespace

const char* stepName(RewriteStep step) {
    switch (step) {
    case RewriteStep::Create:
        return "create";
    case RewriteStep::Write:
        return "write";
    case RewriteStep::Sync:
        return "sync";
    case RewriteStep::Close:
        return "close";
    case RewriteStep::Replace:
        return "replace";
    }
    return "?";
}

RewriteStepFailure::RewriteStepFailure() {
    state = State{};
    install();
}

RewriteStepFailure::RewriteStepFailure(RewriteStep step, int nth) : RewriteStepFailure() {
    state.failStep = static_cast<int>(step);
    state.failNth = nth;
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
