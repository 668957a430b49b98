#include "cli/cli.h"

#include "gamefiles/text.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

namespace hv::test {
namespace {

using Args = std::vector<std::string>;

class CliTrade : public ::testing::Test {
protected:
    int hv(const Args& args) {
        std::ostringstream out;
        return hv::cli::runCli(args, world.work, out, err);
    }

    GameWorld world{"WCW"}; // the rival big federation is WWF
    std::ostringstream err;
};

// Each run seeds its own generator: eight runs all drawing one potential happen once in 10^9.
TEST_F(CliTrade, SeparateRunsDrawTheirOwnPotentials) {
    const auto wwf = world.slotFile("save1", "Background/wwf.hv1");
    std::set<std::string> potentials;
    for (int run = 0; run < 8; ++run) {
        world.setRoster("save1", {wrestler("Mover")});
        writeFile(wwf, "");
        ASSERT_EQ(hv({"trade", "Mover", "own", "rival"}), 0) << err.str();
        potentials.insert(splitLines(readFile(wwf)).at(7)); // its range is tested with the transfer
    }
    EXPECT_GT(potentials.size(), 1u);
}

TEST_F(CliTrade, RefusalsExitWithOneLineAndWriteNothing) {
    world.setRoster("save1", {wrestler("Ace")});
    writeFile(world.slotFile("save1", "Background/ecw.hv1"), crlf({"Cut", "short"}));
    world.setSaveGame("save2", "NWO");
    // line 2 written with line breaks puts "late" on line 6, the year
    world.setSaveGame("save3", "WCW\r\nMonday\r\n12\r\nMarch\r\nlate");
    const auto before = world.files();
    for (const auto& [args, code] : std::initializer_list<std::pair<Args, int>>{
             {{"trade", "Ace", "own", "tna"}, 2},
             {{"trade", "Ace", "own", "indy", "--years", "3"}, 2},
             {{"trade", "Ace", "own", "own"}, 1},
             {{"trade", "X", "indy", "own", "--as", ""}, 1},
             {{"trade", "Nobody", "own", "rival"}, 1},
             {{"trade", "Ace", "own", "ecw"}, 1},
             {{"--slot", "save2", "trade", "Ace", "own", "rival"}, 1},
             {{"--slot", "save3", "trade", "X", "indy", "own"}, 1},
         }) {
        err.str("");
        EXPECT_EQ(hv(args), code) << err.str();
        EXPECT_EQ(std::ranges::count(err.str(), '\n'), 1) << err.str();
    }
    EXPECT_EQ(world.files(), before);
}

} // namespace
} // namespace hv::test
