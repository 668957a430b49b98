#include "bench_support.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace hv::bench {

namespace {

// Samples of wall and CPU seconds, as a Timing.
struct Samples {
    std::vector<double> wall, cpu;

    template <class Body> void take(bool keep, const Body& body) {
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        body();
        if (!keep)
            return;
        wall.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        cpu.push_back(static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
    }
    Timing timing() {
        std::sort(wall.begin(), wall.end());
        std::sort(cpu.begin(), cpu.end());
        return {wall[wall.size() / 2], wall.front(), cpu[cpu.size() / 2]};
    }
};

} // namespace

Timing measure(int reps, const std::function<void()>& body, const std::function<void()>& prepare) {
    Samples samples;
    for (int i = 0; i <= reps; ++i) {
        if (prepare)
            prepare();
        samples.take(i > 0, body); // run 0 is the warm-up
    }
    return samples.timing();
}

std::pair<Timing, Timing> measurePaired(int reps, const std::function<void()>& first,
                                        const std::function<void()>& second,
                                        const std::function<void()>& prepareFirst) {
    Samples samples[2];
    const std::function<void()>* bodies[2] = {&first, &second};
    for (int i = 0; i <= reps; ++i)
        for (int k = 0; k < 2; ++k) {
            const int which = (i + k) % 2;
            if (which == 0 && prepareFirst)
                prepareFirst();
            samples[which].take(i > 0, *bodies[which]);
        }
    return {samples[0].timing(), samples[1].timing()};
}

ScratchDir::ScratchDir(const fs::path& base) {
    std::string pattern = (base / "hv-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a folder below " + base.string());
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void syncedCopy(const fs::path& from, const fs::path& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        throw std::runtime_error("cannot open " + from.string());
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
        ::close(in);
        throw std::runtime_error("cannot open " + to.string());
    }
    std::vector<char> buffer(1 << 20);
    bool ok = true;
    while (ok) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        for (ssize_t done = 0; ok && done < got;) {
            const ssize_t n = ::write(out, buffer.data() + done, static_cast<size_t>(got - done));
            ok = n > 0;
            done += n;
        }
    }
    ok = ::fsync(out) == 0 && ok;
    ::close(in);
    ok = ::close(out) == 0 && ok;
    if (!ok)
        throw std::runtime_error("cannot copy " + from.string() + " to " + to.string());
}

bool parseNumber(std::string_view text, std::size_t& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty() && value > 0;
}

} // namespace hv::bench
