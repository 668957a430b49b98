#pragma once

// Pieces shared by the benchmark programs: timing, a scratch folder, a synced copy.

#include <filesystem>
#include <functional>
#include <string_view>
#include <utility>

namespace hv::bench {

// Wall time, and the process's CPU time: on a shared, loaded machine the CPU time tells what
// the work itself costs, the wall time what the user waits (with the machine's load).
struct Timing {
    double median = 0; // seconds
    double best = 0;
    double cpuMedian = 0;
};

// One untimed warm-up run (page cache, allocator), then `reps` timed runs of `body`.
// `prepare`, when given, runs untimed before every run, the warm-up included.
Timing measure(int reps, const std::function<void()>& body,
               const std::function<void()>& prepare = {});

// Two bodies measured in one run, turn about (the order swapped every round, so that a drift
// of the machine weighs on both alike), after one untimed warm-up round. `prepareFirst`, when
// given, runs untimed before every run of `first`.
std::pair<Timing, Timing> measurePaired(int reps, const std::function<void()>& first,
                                        const std::function<void()>& second,
                                        const std::function<void()>& prepareFirst = {});

// A fresh folder below `base`, removed with everything in it at the end.
class ScratchDir {
public:
    explicit ScratchDir(const std::filesystem::path& base);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A copy that, like TempRewrite, reads everything, writes a new file and syncs it. It streams
// through a small buffer, so the caller's own memory stays small.
void syncedCopy(const std::filesystem::path& from, const std::filesystem::path& to);

// A whole positive number, nothing else.
bool parseNumber(std::string_view text, std::size_t& value);

} // namespace hv::bench
