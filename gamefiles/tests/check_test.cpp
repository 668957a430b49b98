#include "gamefiles/check.h"

#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace hv::test {
namespace {

TEST(Check, ReportsEachProblemWithFileAndLineAndNothingOnAGoodWorld) {
    GameWorld world("WCW");
    world.setRoster("save1", {placeholderWrestler(), wrestler("A", " 3 ", "2")});
    EXPECT_TRUE(checkGameFolder(world.game.string()).empty());

    writeFile(world.rosterFile("save2"), recordBytes({wrestler("A"), {"B", "1", "2"}}));
    world.setRoster("save3", {wrestler("C", "upper", "x")}); // carder and injury no numbers
    std::filesystem::remove_all(world.game / "save4");
    writeFile(world.slotFile("save1", "Saved Game/save1.hv1"), "short\r\n");
    std::vector<std::string> found;
    for (const auto& p : checkGameFolder(world.game.string()))
        found.push_back(std::filesystem::relative(p.file, world.game).generic_string() + ":" +
                        std::to_string(p.line));
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"save1/Saved Game/save1.hv1:1",
                                               "save2/Controlled/yourfed.hv1:23",
                                               "save3/Controlled/yourfed.hv1:12",
                                               "save3/Controlled/yourfed.hv1:7", "save4:0"}));
}

} // namespace
} // namespace hv::test
