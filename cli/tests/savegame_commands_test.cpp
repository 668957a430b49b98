#include "cli/cli.h"

#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace hv::test {
namespace {

using Lines = std::vector<std::string>;

TEST(CliSaveGame, ShowPrintsEveryFieldAndSetKeepsTheOthers) {
    GameWorld world;
    const auto saveFile = world.slotFile("save2", "Saved Game/save1.hv1");
    Lines lines = {"Cole", "ECW",    "Monday", "1",   "May",  "99",  "5",  "Ann",
                   "Bob",  "Vacant", "Cy",     "Dee", "Team", "One", "Two"};
    lines.resize(30, " 33023 ");
    for (std::size_t f = 0; f < 5; ++f)
        lines[15 + f] = f == 2 ? "" : "Feud " + std::to_string(f + 1) + ", with a comma";
    lines[21] = " 7 "; // below the lowest level
    lines.push_back("after the header");
    writeFile(saveFile, crlf(lines));
    std::ostringstream out, err;
    const auto hv = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--slot", "save2"});
        return hv::cli::runCli(args, world.work, out, err);
    };

    EXPECT_EQ(hv({"fed", "show"}) + hv({"titles", "show"}) + hv({"feuds", "show"}), 0);
    EXPECT_EQ(out.str(),
              "slotname: Second Slot\ncommissioner: Cole\nweekday: Monday\nday: 1\nmonth: May\n"
              "year: 99\nbank: 5\nTitle 1: Ann\nTitle 2: Bob\nTitle 3: Vacant\nTitle 4: Cy\n"
              "Title 5: Dee\nfeud 1: Feud 1, with a comma\nlevel 1: 15\nfeud 2: Feud 2, with a "
              "comma\nlevel 2: 10600\nfeud 3: \nlevel 3: 10600\nfeud 4: Feud 4, with a comma\n"
              "level 4: 10600\nfeud 5: Feud 5, with a comma\nlevel 5: 10600\n");
    EXPECT_NE(err.str().find("\" 7 \""), std::string::npos) << err.str();

    EXPECT_EQ(hv({"feuds", "set", "1=14"}), hv::cli::kUsage);
    EXPECT_EQ(hv({"fed", "set", "year=2001", "slotname=Mine"}), 0);
    EXPECT_EQ(hv({"titles", "set", "5=Vacant", "1=Eve"}), 0);
    EXPECT_EQ(hv({"feuds", "set", "2=600"}), 0);
    EXPECT_EQ(hv({"feuds", "delete", "4"}), 0);
    lines[5] = "2001";
    lines[7] = "Eve";
    lines[11] = "Vacant";
    lines[18] = "";
    // Stored levels out of range are written as the nearest valid level.
    const Lines levels = {" 15 ", " 600 ", " 10600 ", " 15 ", " 10600 "};
    for (std::size_t f = 0; f < 5; ++f)
        lines[21 + 2 * f] = levels[f];
    EXPECT_EQ(readFile(saveFile), crlf(lines));
    EXPECT_EQ(readFile(world.game / "saveslots.hv1"),
              crlf({"First Slot", "Mine", "No Saved Game", "Fourth Slot"}));
}

} // namespace
} // namespace hv::test
