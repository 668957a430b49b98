#include "cli/cli.h"

#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace hv::test {
namespace {

TEST(CliManagers, ListAddSetAndDeleteEveryMatch) {
    GameWorld world;
    const auto file = world.slotFile("save1", "Background/wwfmanagers.hv1");
    writeFile(file, crlf({"Wally", "x", "Wendy", "f", "Wally", "m"}));
    std::ostringstream out, err;
    const auto hv = [&](const std::vector<std::string>& args) {
        return hv::cli::runCli(args, world.work, out, err);
    };
    ASSERT_EQ(hv({"managers", "list"}) + hv({"managers", "add"}), 0);
    EXPECT_EQ(out.str(), "Wally\nWendy\nWally\n");
    ASSERT_EQ(hv({"managers", "set", "manager", "name=Max", "sex=female"}), 0);
    ASSERT_EQ(hv({"managers", "set", "Wally", "name=Walt"}), 0); // the odd code "x" stays
    ASSERT_EQ(hv({"managers", "delete", "Wendy"}), 0);
    EXPECT_EQ(readFile(file), crlf({"Walt", "x", "Walt", "m", "Max", "f"}));

    const auto before = world.files();
    EXPECT_EQ(hv({"managers", "set", "Max", "name=The \"Doc\""}), hv::cli::kRefused);
    EXPECT_EQ(hv({"managers", "delete", "Nobody"}), hv::cli::kRefused);
    EXPECT_EQ(hv({"managers", "set", "Max", "sex=other"}), hv::cli::kUsage);
    world.setSaveGame("save1", "ECW");
    EXPECT_EQ(hv({"managers", "list"}), hv::cli::kRefused);
    EXPECT_NE(err.str().find("\"ECW\""), std::string::npos) << err.str();
    world.setSaveGame("save1", "WWF");
    EXPECT_EQ(world.files(), before);
}

} // namespace
} // namespace hv::test
