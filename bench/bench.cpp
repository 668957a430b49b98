// hv-bench: how the roster file operations compare with plainly copying the same file.

#include "gamefiles/records.h"
#include "gamefiles/temp_rewrite.h"
#include "gamefiles/text.h"
#include "tools/world.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Options {
    std::size_t wrestlers = 100000;
    int repetitions = 7;
    fs::path base = fs::temp_directory_path();
};

struct Timing {
    double median = 0; // seconds
    double best = 0;
};

// One untimed warm-up run (page cache, allocator), then `reps` timed runs.
Timing measure(int reps, const std::function<void()>& body) {
    body();
    std::vector<double> seconds;
    for (int i = 0; i < reps; ++i) {
        const auto start = Clock::now();
        body();
        seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    return {seconds[seconds.size() / 2], seconds.front()};
}

class ScratchDir {
public:
    explicit ScratchDir(const fs::path& base) {
        std::string pattern = (base / "hv-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a folder below " + base.string());
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void writeBytes(const fs::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

// A copy that, like TempRewrite, reads everything, writes a new file and syncs it.
void syncedCopy(const fs::path& from, const fs::path& to) {
    const std::string bytes = hv::readFileBytes(from);
    const int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot open " + to.string());
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            ::close(fd);
            throw std::runtime_error("cannot write " + to.string());
        }
        done += static_cast<std::size_t>(n);
    }
    ::fsync(fd);
    ::close(fd);
}

void report(const char* what, const Timing& t, std::uintmax_t bytes, const Timing* copy,
            const Timing* syncedCopyTiming) {
    const double mbPerSecond = static_cast<double>(bytes) / t.median / 1e6;
    std::printf("  %-44s median %8.2f ms  best %8.2f ms  %8.1f MB/s", what, t.median * 1e3,
                t.best * 1e3, mbPerSecond);
    if (copy)
        std::printf("  %6.2fx copy_file", t.median / copy->median);
    if (syncedCopyTiming)
        std::printf("  %6.2fx synced copy", t.median / syncedCopyTiming->median);
    std::printf("\n");
}

bool parseNumber(std::string_view text, std::size_t& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty() && value > 0;
}

int run(const Options& options) {
    ScratchDir dir(options.base);
    const fs::path roster = dir.path() / "yourfed.hv1";
    const fs::path copy = dir.path() / "copy.hv1";

    writeBytes(roster, hv::world::makeRosterBytes(options.wrestlers, hv::world::kDefaultSeed));
    const std::uintmax_t size = fs::file_size(roster);

    std::printf("hv-bench: roster of %zu wrestlers, %ju bytes, in %s\n", options.wrestlers, size,
                dir.path().c_str());
    std::printf("  %d timed runs after one warm-up; MB/s = file size / median time;\n"
                "  \"Nx copy_file\" = median time / median time of the plain copy\n",
                options.repetitions);
#ifndef __OPTIMIZE__
    std::printf("  NOTE: built without optimisation; configure with "
                "-DCMAKE_BUILD_TYPE=Release for meaningful figures\n");
#endif

    const Timing plain = measure(options.repetitions, [&] {
        fs::copy_file(roster, copy, fs::copy_options::overwrite_existing);
    });
    const Timing synced = measure(options.repetitions, [&] { syncedCopy(roster, copy); });
    fs::remove(copy);

    std::size_t listed = 0;
    const Timing names = measure(options.repetitions, [&] {
        const auto records = hv::readRecords<hv::WrestlerRecord>(roster);
        listed = hv::listNames(records).size();
    });

    std::size_t scanned = 0;
    const Timing scan = measure(
        options.repetitions, [&] { scanned = hv::readNames<hv::WrestlerRecord>(roster).size(); });

    // Alternates the morale written, so that every run really changes every record.
    int round = 0;
    std::string morale;
    double parseSeconds = 0, serializeSeconds = 0, rewriteSeconds = 0;
    const Timing rewrite = measure(options.repetitions, [&] {
        morale = std::to_string(50 + (round++ % 2));
        const auto t0 = Clock::now();
        auto records = hv::readRecords<hv::WrestlerRecord>(roster);
        const auto t1 = Clock::now();
        for (auto& r : records)
            if (!r.isPlaceholder())
                r.lines[hv::WrestlerRecord::Morale] = morale;
        const std::string bytes = hv::serializeRecords(records);
        const auto t2 = Clock::now();
        hv::TempRewrite(roster, "yourfed.tmp", bytes);
        const auto t3 = Clock::now();
        parseSeconds += std::chrono::duration<double>(t1 - t0).count();
        serializeSeconds += std::chrono::duration<double>(t2 - t1).count();
        rewriteSeconds += std::chrono::duration<double>(t3 - t2).count();
    });

    report("copy_file (plain copy, the reference)", plain, size, nullptr, nullptr);
    report("synced copy (read + write + fsync)", synced, size, &plain, nullptr);
    report("read names (readRecords + listNames)", names, size, &plain, nullptr);
    report("read names (readNames: name lines only)", scan, size, &plain, nullptr);
    report("change morale of every record + TempRewrite", rewrite, size, &plain, &synced);
    const double runs = options.repetitions + 1;
    std::printf("    of which, mean per run: read+parse %.2f ms, change+serialize %.2f ms, "
                "TempRewrite (write+fsync+rename) %.2f ms\n",
                parseSeconds / runs * 1e3, serializeSeconds / runs * 1e3,
                rewriteSeconds / runs * 1e3);

    // The figures only count if the operations did their work.
    const auto after = hv::readRecords<hv::WrestlerRecord>(roster);
    bool ok =
        listed == options.wrestlers && scanned == listed && after.size() == options.wrestlers + 1;
    for (const auto& r : after)
        ok = ok && (r.isPlaceholder() || r.lines[hv::WrestlerRecord::Morale] == morale);
    ok = ok && !fs::exists(dir.path() / "yourfed.tmp");
    std::printf("  check: %zu names listed, %zu records after the rewrites, morale %s: %s\n",
                listed, after.size(), morale.c_str(), ok ? "ok" : "FAILED");
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        std::size_t value = 0;
        if (arg == "--wrestlers" && i + 1 < argc && parseNumber(argv[i + 1], value)) {
            options.wrestlers = value;
            ++i;
        } else if (arg == "--reps" && i + 1 < argc && parseNumber(argv[i + 1], value)) {
            options.repetitions = static_cast<int>(std::min<std::size_t>(value, 1000));
            ++i;
        } else if (arg == "--dir" && i + 1 < argc) {
            options.base = argv[++i];
        } else {
            std::cerr << "usage: hv-bench [--wrestlers N] [--reps R] [--dir FOLDER]\n"
                         "  defaults: 100000 wrestlers, 7 runs, the system temp folder\n";
            return 2;
        }
    }
    try {
        return run(options);
    } catch (const std::exception& e) {
        std::cerr << "hv-bench: " << e.what() << "\n";
        return 1;
    }
}
