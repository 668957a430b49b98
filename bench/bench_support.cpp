#include "bench_support.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace hv::bench {

Timing measure(int reps, const std::function<void()>& body, const std::function<void()>& prepare) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> seconds;
    for (int i = 0; i <= reps; ++i) {
        if (prepare)
            prepare();
        const auto start = Clock::now();
        body();
        if (i > 0) // run 0 is the warm-up
            seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    return {seconds[seconds.size() / 2], seconds.front()};
}

std::pair<Timing, Timing> measurePaired(int reps, const std::function<void()>& first,
                                        const std::function<void()>& second) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> seconds[2];
    const std::function<void()>* bodies[2] = {&first, &second};
    for (int i = 0; i <= reps; ++i)
        for (int k = 0; k < 2; ++k) {
            const int which = (i + k) % 2;
            const auto start = Clock::now();
            (*bodies[which])();
            if (i > 0)
                seconds[which].push_back(
                    std::chrono::duration<double>(Clock::now() - start).count());
        }
    Timing t[2];
    for (int k = 0; k < 2; ++k) {
        std::sort(seconds[k].begin(), seconds[k].end());
        t[k] = {seconds[k][seconds[k].size() / 2], seconds[k].front()};
    }
    return {t[0], t[1]};
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
