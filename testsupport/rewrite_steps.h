#pragma once

// Failure injection at every step of a safe rewrite, the same on every system: tests name a
// step and its occurrence, and the system calls behind it fail there.

namespace hv::test {

enum class RewriteStep { Create, Write, Sync, Close, Replace };
inline constexpr RewriteStep kRewriteSteps[] = {RewriteStep::Create, RewriteStep::Write,
                                                RewriteStep::Sync, RewriteStep::Close,
                                                RewriteStep::Replace};
const char* stepName(RewriteStep step);

// While it lives, every rewrite step is counted, and occurrence `nth` (1-based; 0 for every
// one) of `step` fails as a full disk or a lost permission would make it. Built without a step it
// only counts, which tells a sweep how many places an operation can fail at.
class RewriteStepFailure {
public:
    RewriteStepFailure();
    // `andAfter`: every occurrence from `nth` on fails, as a disk that stays full.
    RewriteStepFailure(RewriteStep step, int nth, bool andAfter = false);
    ~RewriteStepFailure();
    RewriteStepFailure(const RewriteStepFailure&) = delete;
    RewriteStepFailure& operator=(const RewriteStepFailure&) = delete;

    int count(RewriteStep step) const;
    // Whether the chosen step was reached and failed.
    bool fired() const;
};

} // namespace hv::test
