#include "cli/cli.h"

#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <sstream>

using hv::test::crlf;
using hv::test::GameWorld;
using hv::test::readFile;
using hv::test::writeFile;
namespace fs = std::filesystem;

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

} // namespace

TEST(CliGameFolder, ShowPrintsLineOneAsTheEditorReadsIt) {
    GameWorld world;
    // --game-folder names another folder; show still reads options.dat.
    HvRun r = runHv(world, {"--game-folder", "/elsewhere", "game-folder", "show"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, world.game.string() + "\n");

    writeFile(world.work / "options.dat", crlf({"  \"/games/a, b\" ,x", "report"}));
    EXPECT_EQ(runHv(world, {"game-folder", "show"}).out, "/games/a, b\n");

    for (bool missing : {false, true}) {
        writeFile(world.work / "options.dat", "");
        if (missing)
            fs::remove(world.work / "options.dat");
        r = runHv(world, {"game-folder", "show"});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("options.dat"), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}

TEST(CliGameFolder, SetWritesLineOneAndKeepsTheReportBytes) {
    GameWorld world;
    const fs::path options = world.work / "options.dat";
    const std::string before = "old\r\nTitle, with comma\r\nx\ny";
    fs::create_directories(world.root.path() / "a, b");
    fs::create_directories(world.root.path() / "say \"hi\"");

    struct Case {
        std::vector<std::string> args;
        int code;
        std::string folder; // as show reads it back; empty: options.dat unchanged
        std::string line1;
    };
    const std::string root = world.root.path().string();
    const std::string game = world.game.string();
    const std::vector<Case> cases{
        {{"game-folder", "set", game}, 0, game, game},
        {{"game-folder", "set", "../a, b/./"}, 0, root + "/a, b", "\"" + root + "/a, b\""},
        // --game-folder does not redirect where set writes.
        {{"--game-folder", "/elsewhere", "game-folder", "set", "."},
         0,
         root + "/work",
         root + "/work"},
        {{"game-folder", "set", root + "/missing"}, 1, "", ""},
        {{"game-folder", "set", root + "/say \"hi\""}, 1, "", ""},
        {{"game-folder", "set"}, 2, "", ""},
        {{"game-folder", "set", game, game}, 2, "", ""},
    };
    for (const Case& c : cases) {
        writeFile(options, before);
        HvRun r = runHv(world, c.args);
        EXPECT_EQ(r.code, c.code) << c.args.back() << ": " << r.err;
        EXPECT_EQ(r.out, "");
        if (c.folder.empty()) {
            EXPECT_EQ(readFile(options), before) << c.args.back();
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
            continue;
        }
        EXPECT_EQ(readFile(options), c.line1 + before.substr(3));
        EXPECT_EQ(runHv(world, {"game-folder", "show"}).out, c.folder + "\n");
    }
    EXPECT_NE(runHv(world, {"game-folder", "set", root + "/missing"}).err.find(root + "/missing"),
              std::string::npos);
}
