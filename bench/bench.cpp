// hv-bench: how the roster file operations compare with plainly copying the same file.

#include "bench_support.h"
#include "gamefiles/records.h"
#include "gamefiles/restore.h"
#include "gamefiles/temp_rewrite.h"
#include "tools/world.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

namespace fs = std::filesystem;
using hv::bench::measure;
using hv::bench::parseNumber;
using hv::bench::ScratchDir;
using hv::bench::syncedCopy;
using hv::bench::Timing;

namespace {

struct Options {
    std::size_t wrestlers = 100000;
    int repetitions = 7;
    fs::path base = fs::temp_directory_path();
};

void writeBytes(const fs::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
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

    using Roster = hv::RecordFile<hv::WrestlerRecord>;
    std::size_t listed = 0;
    const Timing names =
        measure(options.repetitions, [&] { listed = Roster::read(roster).names().size(); });

    // Alternates the morale written, so that every run really changes every record.
    int round = 0;
    std::string morale;
    const auto changeMorale = [&](const hv::RestoreScope* scope) {
        morale = std::to_string(50 + (round++ % 2));
        Roster file = Roster::read(roster);
        for (std::size_t i = 0; i < file.size(); ++i)
            if (!file.isPlaceholder(i))
                file.replaceLine(i, hv::WrestlerRecord::Morale, morale);
        if (scope)
            file.save(*scope, "yourfed.tmp");
        else
            file.saveWithoutRestorePoint("yourfed.tmp");
    };
    const Timing rewrite = measure(options.repetitions, [&] { changeMorale(nullptr); });
    // The same with the old file kept as a restore point, as every operation of the editor does.
    const Timing withPoint = measure(options.repetitions, [&] {
        const hv::RestoreScope point(dir.path(), "save1", "Change morale");
        changeMorale(&point);
    });
    const std::size_t points = hv::listRestorePoints(dir.path(), "save1").size();

    report("copy_file (plain copy, the reference)", plain, size, nullptr, nullptr);
    report("synced copy (read + write + fsync)", synced, size, &plain, nullptr);
    report("read names (RecordFile::names)", names, size, &plain, nullptr);
    report("change morale of every record + rewrite", rewrite, size, &plain, &synced);
    report("the same, keeping a restore point", withPoint, size, &plain, &synced);

    // The figures only count if the operations did their work.
    const Roster after = Roster::read(roster);
    bool ok = listed == options.wrestlers && after.size() == options.wrestlers + 1;
    for (std::size_t i = 0; i < after.size(); ++i)
        ok = ok && (after.isPlaceholder(i) || after.line(i, hv::WrestlerRecord::Morale) == morale);
    ok = ok && !fs::exists(dir.path() / "yourfed.tmp");
    ok = ok && points == static_cast<std::size_t>(options.repetitions) + 1;
    std::printf("  check: %zu names listed, %zu records after the rewrites, morale %s, %zu restore "
                "points: %s\n",
                listed, after.size(), morale.c_str(), points, ok ? "ok" : "FAILED");
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
