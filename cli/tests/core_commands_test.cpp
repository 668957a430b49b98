#include "cli/cli.h"

#include "testsupport/test_support.h"

#include <gtest/gtest.h>
#include <sstream>

using hv::test::crlf;
using hv::test::GameWorld;
using hv::test::writeFile;

namespace {

struct HvRun {
    int code;
    std::string out;
    std::string err;
};

HvRun runHv(const GameWorld& world, std::vector<std::string> args) {
    std::ostringstream out, err;
    int code = hv::cli::runCli(args, world.work, out, err);
    return {code, out.str(), err.str()};
}

std::vector<std::string> rival(std::string name) {
    return {name, "1",    "2", "3",  "4", "d", "2",       " 7 ",
            "no", "Heel", "F", "no", "W", "p", "Big Man", "5"};
}

} // namespace

TEST(CliCore, SlotsFromOptionsOrGameFolderOption) {
    GameWorld world;
    HvRun r = runHv(world, {"slots"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "save1: First Slot\nsave2: Second Slot\nsave3: No Saved Game\n"
                     "save4: Fourth Slot\n");

    writeFile(world.work / "options.dat", crlf({"/nowhere"}));
    r = runHv(world, {"--game-folder", world.game.string(), "slots"});
    EXPECT_EQ(r.code, 0) << r.err;
    r = runHv(world, {"slots"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("/nowhere"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
}

TEST(CliCore, RivalsFollowTheSlotsFederation) {
    GameWorld world("WCW");
    world.setSaveGame("save2", "WWF");
    std::string wwf = crlf(rival("name")) + crlf(rival("Wolf")), wcw = crlf(rival("Crow"));
    for (auto slot : {"save1", "save2"}) {
        writeFile(world.slotFile(slot, "Background/wwf.hv1"), wwf);
        writeFile(world.slotFile(slot, "Background/wcw.hv1"), wcw);
    }
    writeFile(world.slotFile("save1", "Background/ecw.hv1"), crlf(rival("Extreme")));
    EXPECT_EQ(runHv(world, {"rivals", "list", "rival"}).out, "Wolf\n");
    EXPECT_EQ(runHv(world, {"--slot", "save2", "rivals", "list", "rival"}).out, "Crow\n");
    EXPECT_EQ(runHv(world, {"rivals", "list", "ecw"}).out, "Extreme\n");
    EXPECT_EQ(runHv(world, {"rivals", "list", "indy"}).out, "");

    world.setSaveGame("save3", "AWA");
    HvRun r = runHv(world, {"--slot", "save3", "rivals", "list", "rival"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("AWA"), std::string::npos);
}

TEST(CliCore, UsageErrorsExitTwo) {
    GameWorld world;
    EXPECT_EQ(runHv(world, {}).code, 2);
    EXPECT_EQ(runHv(world, {"frobnicate"}).code, 2);
    EXPECT_EQ(runHv(world, {"--slot", "save9", "slots"}).code, 2);
    EXPECT_EQ(runHv(world, {"rivals", "list", "xyz"}).code, 2);
    EXPECT_EQ(runHv(world, {"slots", "extra"}).code, 2);
    EXPECT_EQ(runHv(world, {"--slot"}).code, 2);

    HvRun help = runHv(world, {"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("--game-folder"), std::string::npos);
    HvRun commandHelp = runHv(world, {"check", "--help"});
    EXPECT_NE(commandHelp.out.find("path:line: message"), std::string::npos);
}

TEST(CliCore, CheckPrintsNothingOnAGoodWorldAndNamesTheLineOfACutRoster) {
    GameWorld world;
    world.setRoster("save1", {hv::test::wrestler("A"), hv::test::wrestler("B")});
    HvRun clean = runHv(world, {"check"});
    EXPECT_EQ(clean.code, 0);
    EXPECT_EQ(clean.out, "");

    const auto roster = world.slotFile("save1", "Controlled/yourfed.hv1");
    std::string bytes = hv::test::readFile(roster);
    writeFile(roster, bytes.substr(0, bytes.size() / 2 + 10));
    HvRun cut = runHv(world, {"check"});
    EXPECT_EQ(cut.code, 1);
    EXPECT_NE(cut.out.find(roster.string() + ":"), std::string::npos) << cut.out;
    EXPECT_NE(cut.out.find("ends inside a record"), std::string::npos) << cut.out;
}
