// Two programs changing one game folder at once: hv processes in parallel, and a holder of the
// lock in another thread standing in for the other program.

#include "cli/cli.h"
#include "gamefiles/game_folder_lock.h"
#include "gamefiles/options.h"
#include "gamefiles/records.h"
#include "report/report_ops.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <sstream>
#include <thread>

namespace hv::test {
namespace {

using namespace std::chrono_literals;
using Args = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

ProgramRun hvIn(const GameWorld& world, const Args& args) {
    std::ostringstream out, err;
    const int code = hv::cli::runCli(args, world.work, out, err);
    return {code, out.str(), err.str()};
}

// The real hv as a child process on the world's game folder; its exit status.
int hvChild(const GameWorld& world, const Args& args) {
    Args all = {"--game-folder", world.game.string()};
    all.insert(all.end(), args.begin(), args.end());
#ifdef _WIN32
    std::string command = std::string("\"") + HV_PROGRAM + "\"";
    for (const auto& a : all)
        command += " \"" + a + "\"";
    command = "\"" + command + " >NUL 2>&1\""; // cmd.exe drops the outermost pair of quotes
    return std::system(command.c_str());
#else
    return runProgram(HV_PROGRAM, all, world.work).code;
#endif
}

std::string name(std::size_t i) {
    char text[8];
    std::snprintf(text, sizeof text, "W%03zu", i);
    return text;
}

// Each process changes its own wrestlers, one hv run per change: with reads outside the lock
// some runs would write back a roster read before another's change and lose it.
TEST(GameFolderLock, ParallelProgramRunsLoseNoChange) {
#ifdef _WIN32
    constexpr std::size_t kProcesses = 4, kEach = 25; // every start of hv.exe costs under Wine
#else
    constexpr std::size_t kProcesses = 4, kEach = 50;
#endif
    GameWorld world;
    std::vector<std::vector<std::string>> records, expected;
    for (std::size_t i = 0; i < kProcesses * kEach; ++i) {
        records.push_back(wrestler(name(i)));
        expected.push_back(withLine(records.back(), WrestlerRecord::Morale, std::to_string(i)));
    }
    world.setRoster("save1", records);

    std::vector<std::future<std::vector<int>>> processes;
    for (std::size_t p = 0; p < kProcesses; ++p)
        processes.push_back(std::async(std::launch::async, [&, p] {
            std::vector<int> codes;
            for (std::size_t i = p; i < kProcesses * kEach; i += kProcesses)
                codes.push_back(
                    hvChild(world, {"roster", "set", name(i), "morale=" + std::to_string(i)}));
            return codes;
        }));
    for (auto& p : processes)
        EXPECT_EQ(p.get(), std::vector<int>(kEach, 0));
    EXPECT_EQ(world.roster(), recordBytes(expected));
}

// The folder chooser (or hv game-folder set) and the report change different lines of
// options.dat at the same moment: both changes stay, whatever the order.
TEST(OptionsLock, TwoWritersOfOptionsDatKeepBothLines) {
    constexpr int kEach = 40;
    GameWorld world;
    auto folders = std::async(std::launch::async, [&] {
        for (int i = 0; i < kEach; ++i)
            changeGameFolder(world.work, "/game" + std::to_string(i));
    });
    for (int i = 0; i < kEach; ++i)
        report::writeSettings(world.work,
                              {"page" + std::to_string(i) + ".html", "T", "Red", "Blue", "2"});
    folders.get();
    EXPECT_EQ(readFile(world.work / "options.dat"),
              crlf({"/game" + std::to_string(kEach - 1),
                    "page" + std::to_string(kEach - 1) + ".html", "T", "Red", "Blue", "2"}));
}

// Holds the game folder's lock in a thread of its own, as another program would: with a
// command `during`, runs it after `delay` and lets go; without, holds on until done().
class Holder {
public:
    Holder(const GameWorld& world, std::chrono::milliseconds delay, Args during = {})
        : thread_([&world, delay, during, this] {
              const GameFolderLock lock(world.game);
              held_.set_value();
              std::this_thread::sleep_for(delay);
              if (!during.empty())
                  result_ = hvIn(world, during); // the lock is taken again by its holder
              else
                  release_.get_future().wait();
          }) {
        held_.get_future().wait();
    }
    ~Holder() { done(); }
    void done() {
        if (thread_.joinable()) {
            release_.set_value();
            thread_.join();
        }
    }
    ProgramRun result_;

private:
    std::promise<void> held_, release_;
    std::thread thread_;
};

class HeldLock : public ::testing::Test {
protected:
    HeldLock() {
        std::vector<std::vector<std::string>> records{placeholderWrestler()};
        for (std::size_t i = 1; i <= 6; ++i)
            records.push_back(wrestler(name(i)));
        world.setRoster("save1", records);
    }
    ~HeldLock() override { gameFolderLockWait() = 10s; }
    ProgramRun hv(const Args& args) { return hvIn(world, args); }

    GameWorld world;
};

// Every command reads what it changes only once it holds the lock: the other program's change,
// made while the command waits, survives it.
TEST_F(HeldLock, ACommandReadsOnlyOnceItHoldsTheLock) {
    ASSERT_EQ(hv({"export", name(5), "--output", "five.hve"}).code, 0);
    ASSERT_EQ(hv({"roster", "delete", name(5)}).code, 0);
    const Args morale = {"roster", "set", name(1), "morale=11"};
    const Args showOne = {"roster", "show", name(1)};
    // A sheet of the names only, renaming one: the import must not put back the morale.
    std::string names;
    std::istringstream all(hv({"roster", "csv"}).out);
    for (std::string row; std::getline(all, row);)
        names += row.substr(0, row.find(',', row.find(',') + 1)) + "\n";
    const std::size_t at = names.find(name(2));
    writeFile(world.work / "names.csv", names.replace(at, name(2).size(), "Renamed"));
    struct Case {
        Args other, command, show;
        std::string kept;
    };
    const Case cases[] = {
        {morale, {"roster", "set", name(2), "morale=22"}, showOne, "morale: 11\n"},
        {morale, {"roster", "move", name(3), "up"}, showOne, "morale: 11\n"},
        {morale, {"import", "five.hve"}, showOne, "morale: 11\n"},
        {morale, {"trade", name(4), "own", "ecw"}, showOne, "morale: 11\n"},
        {{"feuds", "set", "4=600"}, {"feuds", "set", "2=500"}, {"feuds", "show"}, "level 4: 600\n"},
        {{"fed", "set", "bank=1"},
         {"fed", "set", "commissioner=Nick"},
         {"fed", "show"},
         "bank: 1\n"},
        {{"titles", "set", "1=" + name(1)},
         {"titles", "set", "2=" + name(2)},
         {"titles", "show"},
         ": " + name(1) + "\n"},
        {morale, {"roster", "csv-import", "names.csv"}, showOne, "morale: 11\n"},
    };
    for (const Case& c : cases) {
        Holder other(world, 300ms, c.other);
        const ProgramRun run = hv(c.command);
        other.done();
        EXPECT_EQ(other.result_.code, 0) << other.result_.err;
        EXPECT_EQ(run.code, 0) << c.command[0] << " " << c.command[1] << ": " << run.err;
        EXPECT_NE(hv(c.show).out.find(c.kept), std::string::npos) << c.command[0] << c.command[1];
        ASSERT_EQ(hv({"roster", "set", name(1), "morale=80"}).code, 0);
    }
}

TEST_F(HeldLock, AWriterGivesUpAfterTheWaitAndWritesNothing) {
    gameFolderLockWait() = 500ms;
    const auto before = world.files();
    const Holder other(world, 0ms);
    for (const Args& command :
         {Args{"roster", "set", name(1), "morale=1"}, Args{"feuds", "set", "2=500"},
          Args{"trade", name(2), "own", "ecw"}}) {
        const auto start = Clock::now();
        const ProgramRun run = hv(command);
        EXPECT_GE(Clock::now() - start, 500ms);
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.err, gameFolderLockPath(world.game).string() +
                               ": another program (hv or the editor) is changing the game folder "
                               "and has held this lock for 500 milliseconds; nothing was "
                               "written. Try again when it has finished.\n");
    }
    EXPECT_EQ(world.files(), before);
}

} // namespace
} // namespace hv::test
