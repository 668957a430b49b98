// hv-cli-bench: the real `hv` tool, run as a child process on a generated game folder, against
// the least a safe rewrite of the same roster file costs: read it, write a new file beside it,
// sync that, rename it into place.

#include "bench_support.h"
#include "gamefiles/restore.h"
#include "tools/world.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using hv::bench::measure;
using hv::bench::ScratchDir;
using hv::bench::syncedCopy;
using hv::bench::Timing;

namespace {

using Args = std::vector<std::string>;

constexpr double kSetTarget = 1.3;     // roster set / cp && sync && mv, paired
constexpr double kGrowthTarget = 11.0; // median at ten times the wrestlers / median
constexpr long kMemorySlackKiB = 16 * 1024;

struct Options {
    std::size_t wrestlers = 100000;
    int repetitions = 7;
    bool scale = false;
    fs::path base = fs::temp_directory_path();
    std::string hv = HV_BINARY;
};

// An operation failed or did not do its work: the figures would mean nothing.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Waits for `pid` and returns its peak memory (ru_maxrss, KiB); throws unless it exited with 0.
long reap(pid_t pid, const std::string& what) {
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid)
        throw Failure("cannot wait for " + what);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw Failure(what + " failed (wait status " + std::to_string(status) + ")");
    return usage.ru_maxrss;
}

// fork+exec, not posix_spawn: a vfork-style start hands the bench's own peak memory on to the
// child's ru_maxrss, a fork only what the bench holds at that moment, which is little.
long runChild(const Args& args, const fs::path& out) {
    std::vector<char*> argv;
    std::string line;
    for (const auto& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
        line += (line.empty() ? "" : " ") + a;
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0 && ::dup2(fd, STDOUT_FILENO) >= 0)
            ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (pid < 0)
        throw Failure("cannot start " + args[0]);
    return reap(pid, line);
}

// In a child process too, so that the generator's memory never becomes the bench's own.
void generateWorld(const fs::path& folder, std::size_t wrestlers) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        try {
            hv::world::writeWorld(folder, {hv::world::kDefaultSeed, wrestlers});
        } catch (const std::exception& e) {
            std::fprintf(stderr, "hv-cli-bench: %s\n", e.what());
            ::_exit(1);
        }
        ::_exit(0);
    }
    if (pid < 0)
        throw Failure("cannot start the world generator");
    reap(pid, "the world generator");
    // Otherwise the first timed fsync would also pay for flushing the whole fresh world.
    ::sync();
}

// The physical limit: read the file, write it to `temp` beside the target, sync, rename it into
// place and sync the folder, as a safe rewrite must.
void syncedReplace(const fs::path& from, const fs::path& target, const fs::path& temp) {
    syncedCopy(from, temp);
    fs::rename(temp, target);
    const int dir = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

struct Lines {
    std::size_t count = 0;
    std::string at; // the line asked for, if the file has it
};

// Counts the lines of `file` and keeps line `index` (from 0), without holding the whole file.
Lines scanLines(const fs::path& file, std::size_t index) {
    std::ifstream in(file, std::ios::binary);
    Lines lines;
    for (std::string line; std::getline(in, line); ++lines.count)
        if (lines.count == index)
            lines.at = line;
    return lines;
}

constexpr const char* kProgramCopy = "synced copy + rename, as a program";
constexpr const char* kCoreutils = "cp && sync && mv (coreutils)";

struct Row {
    std::string operation;
    Timing time;
    long maxRssKiB = 0; // 0: measured in-process
};

struct Run {
    std::size_t wrestlers = 0;
    std::uintmax_t rosterBytes = 0;
    std::vector<Row> rows; // the synced copy first
};

Run runAt(const Options& o, std::size_t wrestlers) {
    ScratchDir dir(o.base);
    const fs::path game = dir.path() / "game";
    const fs::path roster = game / "save1" / "Controlled" / "yourfed.hv1";
    const fs::path temp = roster.parent_path() / "hv-cli-bench.tmp";
    const fs::path captured = dir.path() / "output.txt";

    std::printf("%zu wrestlers per slot: generating the world in %s ...\n", wrestlers,
                game.c_str());
    std::fflush(stdout);
    generateWorld(game, wrestlers);
    Run run{wrestlers, fs::file_size(roster), {}};

    const auto hv = [&](Args args, const fs::path& out) {
        args.insert(args.begin(), {o.hv, "--game-folder", game.string(), "--slot", "save1"});
        return runChild(args, out);
    };
    // Untimed, to check what the timed runs did.
    const auto output = [&](const Args& args, std::size_t index) {
        hv(args, captured);
        return scanLines(captured, index);
    };
    const auto time = [&](const std::string& operation, const std::function<Args()>& args,
                          const std::function<void()>& prepare = {}) {
        long peak = 0;
        const Timing t = measure(
            o.repetitions, [&] { peak = std::max(peak, hv(args(), "/dev/null")); }, prepare);
        run.rows.push_back({"hv " + operation, t, peak});
    };

    // A wrestler in the middle of the roster, and proof that heal will have work.
    const std::size_t middle = wrestlers / 2;
    const Lines names = output({"roster", "list"}, middle);
    if (names.count != wrestlers)
        throw Failure("roster list printed " + std::to_string(names.count) + " names, not " +
                      std::to_string(wrestlers));
    const std::string name = names.at;
    if (output({"injuries", "list"}, 0).count == 0)
        throw Failure("the generated roster has nobody injured");

    std::printf("  timing, %d runs after one warm-up each ...\n", o.repetitions);
    std::fflush(stdout);
    run.rows.push_back({"synced copy + rename (the limit)",
                        measure(o.repetitions, [&] { syncedReplace(roster, roster, temp); })});
    // The same copy as a program of its own, which like hv pays for starting a process.
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    long copyPeak = 0;
    const Timing asProgram = measure(o.repetitions, [&] {
        copyPeak = std::max(
            copyPeak, runChild({self, "--copy", roster.string(), temp.string()}, "/dev/null"));
    });
    run.rows.push_back({kProgramCopy, asProgram, copyPeak});
    time("roster list", [] { return Args{"roster", "list"}; });
    time("roster show NAME", [&] { return Args{"roster", "show", name}; });

    // Draws outside the generator's 5..100, alternating, so that every run changes the file.
    int sets = 0;
    std::string draw;
    // A player's slot soon holds all the restore points it keeps; from then on every change
    // also drops the oldest, and that steady state is what is timed.
    for (std::size_t i = 0; i < hv::kRestorePointsKept; ++i)
        output({"roster", "set", name, "draw=" + std::to_string(1 + sets++ % 2)}, 0);
    // Against what a shell user would type for the same safe replace, as whole processes,
    // in one paired run: cp FILE TMP && sync TMP && mv TMP FILE2.
    const fs::path copyTemp = roster.parent_path() / "cp.tmp";
    const fs::path copyTarget = roster.parent_path() / "copy.hv1";
    long setPeak = 0;
    const auto [coreutils, set] = hv::bench::measurePaired(
        o.repetitions,
        [&] {
            runChild({"/bin/cp", roster.string(), copyTemp.string()}, "/dev/null");
            runChild({"/bin/sync", copyTemp.string()}, "/dev/null");
            runChild({"/bin/mv", copyTemp.string(), copyTarget.string()}, "/dev/null");
        },
        [&] {
            draw = std::to_string(1 + sets++ % 2);
            setPeak = std::max(setPeak, hv({"roster", "set", name, "draw=" + draw}, "/dev/null"));
        });
    run.rows.push_back({kCoreutils, coreutils});
    run.rows.push_back({"hv roster set NAME draw=V", set, setPeak});
    if (const Lines shown = output({"roster", "show", name}, 1); shown.at != "draw: " + draw)
        throw Failure("after roster set, roster show prints \"" + shown.at +
                      "\", not \"draw: " + draw + "\"");
    // Every set made a restore point: the newest is the last set's.
    if (const Lines points = output({"restore", "list"}, 0);
        points.count < static_cast<std::size_t>(o.repetitions) + 1 ||
        !points.at.ends_with("\tEdit " + name))
        throw Failure("after roster set, restore list prints " + std::to_string(points.count) +
                      " points, the newest \"" + points.at + "\"");

    int moves = 0;
    time("roster move NAME down/up", [&] {
        return Args{"roster", "move", name, moves++ % 2 ? "up" : "down"};
    });
    time("roster add", [] { return Args{"roster", "add"}; });
    time("injuries list", [] { return Args{"injuries", "list"}; });

    const fs::path injured = dir.path() / "injured.hv1";
    syncedCopy(roster, injured);
    const auto heal = [] { return Args{"injuries", "heal"}; };
    time("injuries heal", heal, [&] { syncedReplace(injured, roster, temp); });
    if (const std::size_t left = output({"injuries", "list"}, 0).count; left != 0)
        throw Failure("after injuries heal, " + std::to_string(left) + " wrestlers are injured");

    // Every add appended one record; an odd number of moves leaves the wrestler one place down.
    const std::size_t expected = wrestlers + static_cast<std::size_t>(o.repetitions) + 1;
    const Lines after = output({"roster", "list"}, middle + static_cast<std::size_t>(moves % 2));
    if (after.count != expected || after.at != name)
        throw Failure("at the end, roster list prints " + std::to_string(after.count) +
                      " names (expected " + std::to_string(expected) + ") with \"" + after.at +
                      "\" where \"" + name + "\" should be");
    return run;
}

const Row& row(const Run& run, std::string_view operation) {
    return *std::find_if(run.rows.begin(), run.rows.end(),
                         [&](const Row& r) { return r.operation == operation; });
}

void printTable(const Run& base, const Run* big) {
    const auto header = [](const Run& r) {
        std::printf("  %9zu wrestlers, %6.1f MB", r.wrestlers,
                    static_cast<double>(r.rosterBytes) / 1e6);
    };
    std::printf("\n%-34s", "");
    header(base);
    if (big)
        header(*big);
    std::printf("\n%-34s", "operation");
    for (int i = 0; i < (big ? 2 : 1); ++i)
        std::printf("   median ms  x copy  maxrss KiB");
    std::printf(big ? "   growth\n" : "\n");

    const double baseCopy = base.rows.front().time.median;
    for (std::size_t i = 0; i < base.rows.size(); ++i) {
        const auto cells = [](const Row& r, double copy) {
            std::printf("   %9.2f  %6.2f  ", r.time.median * 1e3, r.time.median / copy);
            if (r.maxRssKiB)
                std::printf("%10ld", r.maxRssKiB);
            else
                std::printf("%10s", "-");
        };
        const Row& r = base.rows[i];
        std::printf("%-34s", r.operation.c_str());
        cells(r, baseCopy);
        if (big) {
            cells(big->rows[i], big->rows.front().time.median);
            std::printf("   %5.2fx", big->rows[i].time.median / r.time.median);
        }
        std::printf("\n");
    }
    std::printf("x copy = median / median of the synced copy at the same size; maxrss = peak of\n"
                "the hv child (wait4 ru_maxrss) over its runs\n");
    if (big)
        std::printf("growth = median at %zu wrestlers / median at %zu\n", big->wrestlers,
                    base.wrestlers);
}

const char* verdict(bool ok) {
    return ok ? "within target" : "MISSED";
}

void printTargets(const Run& base, const Run* big) {
    std::printf("\ntargets:\n");
    const double set = row(base, "hv roster set NAME draw=V").time.median;
    const double setRatio = set / row(base, kCoreutils).time.median;
    std::printf("  roster set, restore points on, <= %.1fx cp FILE TMP && sync TMP && mv TMP "
                "FILE2 (paired run) at %zu wrestlers: %.2fx  %s\n"
                "    (%.2fx the synced copy as one program, %.2fx the copy made inside this "
                "process)\n",
                kSetTarget, base.wrestlers, setRatio, verdict(setRatio <= kSetTarget),
                set / row(base, kProgramCopy).time.median, set / base.rows.front().time.median);

    const long heal = row(base, "hv injuries heal").maxRssKiB;
    const long limit = static_cast<long>(base.rosterBytes / 1024) + kMemorySlackKiB;
    std::printf("  injuries heal peak memory <= roster file + 16 MiB = %ld KiB at %zu wrestlers: "
                "%ld KiB  %s\n",
                limit, base.wrestlers, heal, verdict(heal <= limit));
    std::printf("    (for comparison, roster set: %ld KiB)\n",
                row(base, "hv roster set NAME draw=V").maxRssKiB);

    if (!big)
        std::printf("  growth <= %.0fx for each operation: not measured (run with --scale)\n",
                    kGrowthTarget);
    for (std::size_t i = 1; big && i < base.rows.size(); ++i) {
        const std::string& op = base.rows[i].operation;
        const double growth = big->rows[i].time.median / base.rows[i].time.median;
        std::printf("  %s growth %zu -> %zu wrestlers <= %.0fx: %.2fx  %s\n", op.c_str(),
                    base.wrestlers, big->wrestlers, kGrowthTarget, growth,
                    verdict(growth <= kGrowthTarget));
    }
}

int run(const Options& o) {
    if (::access(o.hv.c_str(), X_OK) != 0)
        throw Failure("no hv program at " + o.hv + " (give one with --hv PATH)");
    std::printf("hv-cli-bench: %s against a synced copy + rename of save1's roster\n",
                o.hv.c_str());
#ifndef __OPTIMIZE__
    std::printf("  NOTE: built without optimisation; configure with "
                "-DCMAKE_BUILD_TYPE=Release for meaningful figures\n");
#endif
    const Run base = runAt(o, o.wrestlers);
    Run big;
    if (o.scale)
        big = runAt(o, o.wrestlers * 10);
    printTable(base, o.scale ? &big : nullptr);
    printTargets(base, o.scale ? &big : nullptr);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string_view(argv[1]) == "--copy") { // the copy as a program
        try {
            syncedReplace(argv[2], argv[2], argv[3]);
            return 0;
        } catch (const std::exception& e) {
            std::cerr << "hv-cli-bench --copy: " << e.what() << "\n";
            return 1;
        }
    }
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        std::size_t value = 0;
        if (arg == "--wrestlers" && i + 1 < argc && hv::bench::parseNumber(argv[i + 1], value)) {
            options.wrestlers = std::max<std::size_t>(value, 4);
            ++i;
        } else if (arg == "--reps" && i + 1 < argc && hv::bench::parseNumber(argv[i + 1], value)) {
            options.repetitions = static_cast<int>(std::min<std::size_t>(value, 1000));
            ++i;
        } else if (arg == "--scale") {
            options.scale = true;
        } else if (arg == "--dir" && i + 1 < argc) {
            options.base = argv[++i];
        } else if (arg == "--hv" && i + 1 < argc) {
            options.hv = argv[++i];
        } else {
            std::cerr << "usage: hv-cli-bench [--wrestlers N] [--reps R] [--scale] [--dir FOLDER]"
                         " [--hv PATH]\n"
                         "  defaults: 100000 wrestlers, 7 runs, the system temp folder, the hv\n"
                         "  built beside it; --scale also runs ten times the wrestlers\n";
            return 2;
        }
    }
    try {
        return run(options);
    } catch (const std::exception& e) {
        std::cerr << "hv-cli-bench: " << e.what() << "\n";
        return 1;
    }
}
