#include "cli/cli.h"

#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace hv::test {
namespace {

struct HvRun {
    int code;
    std::string out, err;
};

HvRun runHv(const GameWorld& world, const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = hv::cli::runCli(args, world.work, out, err);
    return {code, out.str(), err.str()};
}

std::string rival(const std::string& name) {
    return crlf({name, "1", "2", "3", "4", "d", "2", " 7 ", "no", "Heel", "F", "no", "W", "p",
                 "Big Man", "5"});
}

TEST(CliCore, SlotsFromOptionsOrGameFolderOption) {
    GameWorld world;
    EXPECT_EQ(runHv(world, {"slots"}).out,
              "save1: First Slot\nsave2: Second Slot\nsave3: No Saved Game\nsave4: Fourth Slot\n");
    writeFile(world.work / "options.dat", crlf({"/nowhere"}));
    EXPECT_EQ(runHv(world, {"--game-folder", world.game.string(), "slots"}).code, 0);
    const HvRun r = runHv(world, {"slots"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("/nowhere"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
}

TEST(CliCore, RivalsFollowTheSlotsFederation) {
    GameWorld world("WCW");
    world.setSaveGame("save2", "WWF");
    world.setSaveGame("save3", "AWA");
    for (auto slot : {"save1", "save2"}) {
        writeFile(world.slotFile(slot, "Background/wwf.hv1"), rival("name") + rival("Wolf"));
        writeFile(world.slotFile(slot, "Background/wcw.hv1"), rival("Crow"));
    }
    writeFile(world.slotFile("save1", "Background/ecw.hv1"), rival("Extreme"));
    EXPECT_EQ(runHv(world, {"rivals", "list", "rival"}).out, "Wolf\n");
    EXPECT_EQ(runHv(world, {"--slot", "save2", "rivals", "list", "rival"}).out, "Crow\n");
    EXPECT_EQ(runHv(world, {"rivals", "list", "ecw"}).out, "Extreme\n");
    EXPECT_EQ(runHv(world, {"rivals", "list", "indy"}).out, "");
    const HvRun r = runHv(world, {"--slot", "save3", "rivals", "list", "rival"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("AWA"), std::string::npos);
}

TEST(CliCore, UsageErrorsExitTwo) {
    GameWorld world;
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"frobnicate"},
                                                 {"--slot", "save9", "slots"},
                                                 {"rivals", "list", "xyz"},
                                                 {"slots", "extra"},
                                                 {"--slot"}})
        EXPECT_EQ(runHv(world, args).code, 2) << (args.empty() ? "" : args[0]);
    EXPECT_EQ(runHv(world, {"--help"}).code, 0);
}

TEST(CliCore, CheckPrintsOneLinePerProblemWithFileAndLine) {
    GameWorld world;
    world.setRoster("save1", {wrestler("A"), wrestler("B")});
    EXPECT_EQ(runHv(world, {"check"}).code, 0);
    EXPECT_EQ(runHv(world, {"check"}).out, "");

    writeFile(world.rosterFile(), recordBytes({wrestler("A"), {"B", "1"}}));
    const HvRun cut = runHv(world, {"check"});
    EXPECT_EQ(cut.code, 1);
    EXPECT_EQ(cut.out.rfind(world.rosterFile().string() + ":22: ", 0), 0u) << cut.out;
    EXPECT_EQ(std::count(cut.out.begin(), cut.out.end(), '\n'), 1) << cut.out;
}

} // namespace
} // namespace hv::test
