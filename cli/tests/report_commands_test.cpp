#include "cli/cli.h"

#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace hv::test {
namespace {

TEST(CliReport, MissingOptionsComeFromTheSettingsWhichStayAsTheyWere) {
    GameWorld world;
    auto hv = [&](const std::vector<std::string>& args) {
        std::ostringstream out, err;
        return hv::cli::runCli(args, world.work, out, err);
    };
    world.setRoster("save1", {wrestler("B")});
    const auto options = world.work / "options.dat";
    writeFile(options, readFile(options) + crlf({"p.html", "T", "Red", "Blue", "4"}));
    const auto before = readFile(options);
    EXPECT_EQ(hv({"report", "--text", "Black", "--hide", "draw,titles", "--order",
                  "Fueds,Roster,Titles"}),
              0);
    const std::string page = readFile(world.work / "p.html");
    EXPECT_NE(page.find("<BODY BGCOLOR=\"#FF0000\" TEXT=\"#000000\">"), std::string::npos);
    EXPECT_NE(page.find("<TABLE BORDER=\"4\">"), std::string::npos);
    EXPECT_EQ(page.find("Draw"), std::string::npos);
    EXPECT_EQ(page.find("TITLES"), std::string::npos);
    EXPECT_LT(page.find("</CENTER></CENTER></CENTER>"), page.find("ROSTER"));
    EXPECT_EQ(readFile(options), before);
    EXPECT_FALSE(std::filesystem::exists(world.work / "arrange.tmp"));
    EXPECT_EQ(hv({"report", "--hide", "colour"}), 2);
    EXPECT_EQ(hv({"report", "--order", "Roster,Roster,Titles"}), 2);
}

} // namespace
} // namespace hv::test
