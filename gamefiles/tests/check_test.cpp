#include "gamefiles/check.h"

#include "testsupport/test_support.h"

#include <gtest/gtest.h>

using namespace hv;
namespace fs = std::filesystem;

TEST(Check, CleanWorldHasNoProblems) {
    hv::test::GameWorld world;
    world.setRoster("save1", {hv::test::wrestler("name"), hv::test::wrestler("A", " 3 ", "2")});
    EXPECT_TRUE(checkGameFolder(world.game.string()).empty());
}

TEST(Check, ReportsEachProblemWithFileAndLine) {
    hv::test::GameWorld world("WCW");
    auto roster = hv::test::crlf(hv::test::wrestler("A")) + hv::test::crlf({"B", "1", "2"});
    hv::test::writeFile(world.slotFile("save2", "Controlled/yourfed.hv1"), roster);
    auto bad = hv::test::wrestler("C", "upper", "x");
    world.setRoster("save3", {bad});
    fs::remove_all(world.game / "save4");
    hv::test::writeFile(world.slotFile("save1", "Saved Game/save1.hv1"), "short\r\n");

    const auto problems = checkGameFolder(world.game.string());
    auto has = [&](const std::string& fileEnd, std::size_t line, const std::string& words) {
        for (const auto& p : problems)
            if (p.file.string().ends_with(fileEnd) && p.line == line &&
                p.message.find(words) != std::string::npos)
                return true;
        return false;
    };
    EXPECT_TRUE(has("save2/Controlled/yourfed.hv1", 23, "ends inside a record"));
    EXPECT_TRUE(has("save3/Controlled/yourfed.hv1", 7, "carder code"));
    EXPECT_TRUE(has("save3/Controlled/yourfed.hv1", 12, "not a number"));
    EXPECT_TRUE(has("save4", 0, "slot folder is missing"));
    EXPECT_TRUE(has("save1/Saved Game/save1.hv1", 1, "too short"));
    EXPECT_EQ(problems.size(), 5u);
}
