// The real programs started as from a desktop menu: a working folder without options.dat is
// left untouched (the settings go to the user's configuration folder), and hv-editor answers
// its command line without a display.

#include "hv_version.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace hv::test {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using Snapshot = std::vector<std::pair<std::string, std::string>>;

// `program` in `work` with only the environment given (no display unless it says so).
ProgramRun run(const char* program, const Args& args, const fs::path& work, Args env) {
    for (const char* keep : {"LD_LIBRARY_PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
        if (const char* value = std::getenv(keep))
            env.push_back(std::string(keep) + "=" + value);
    return runProgram(program, args, work, &env);
}

struct Start : ::testing::Test {
    Start() { fs::remove(world.work / "options.dat"); }
    GameWorld world;
    fs::path config = world.root.path() / "config";
    Args env{"HOME=" + (world.root.path() / "home").string(), "XDG_CONFIG_HOME=" + config.string()};
    fs::path options = config / "hv-editor" / "options.dat";
};

TEST_F(Start, HvKeepsItsSettingsWithTheUserUnlessTheWorkingFolderHoldsThem) {
    const std::string game = world.game.string();
    const std::string unset =
        "No game folder is set: run `hv game-folder set DIR`, or pass --game-folder DIR\n";
    struct Step {
        Args args;
        int code;
        std::string out, err;
    };
    for (const Step& s : std::initializer_list<Step>{
             {{"slots"}, 1, "", "hv slots: " + unset},
             {{"check"}, 1, "", "hv check: " + unset},
             {{"game-folder", "show"}, 1, "", "hv game-folder show: " + unset},
             {{"game-folder", "set", game}, 0, "", ""},
             {{"game-folder", "show"}, 0, game + "\nfrom " + options.string() + "\n", ""},
         }) {
        const ProgramRun r = run(HV_PROGRAM, s.args, world.work, env);
        EXPECT_EQ(r.code, s.code) << s.args.front() << r.err;
        EXPECT_EQ(r.out, s.out);
        EXPECT_EQ(r.err, s.err);
    }
    // The settings in the user's folder are the editor's own: no page goes over them.
    const ProgramRun page =
        run(HV_PROGRAM, {"report", "--output", options.string()}, world.work, env);
    EXPECT_EQ(page.code, 1) << page.err;
    EXPECT_EQ(snapshot(world.work), Snapshot{});
    EXPECT_EQ(snapshot(config), (Snapshot{{"hv-editor/options.dat", game + "\r\n"}}));
    // Portable use: an options.dat in the working folder is the one used.
    writeFile(world.work / "options.dat", "/portable\r\n");
    const fs::path here = world.work / "options.dat";
    EXPECT_EQ(run(HV_PROGRAM, {"game-folder", "show"}, world.work, env).out,
              "/portable\nfrom " + here.string() + "\n");
}

TEST_F(Start, EditorAnswersItsCommandLineWithoutADisplay) {
    struct Case {
        Args args;
        int code;
        std::string outStart, errStart;
    };
    for (const Case& c : std::initializer_list<Case>{
             {{"--help"}, 0, "Usage: hv-editor ", ""},
             {{"--version"}, 0, "hv-editor " HV_VERSION "\n", ""},
             {{"--bogus"}, 2, "", "hv-editor: Unknown option 'bogus'."},
             {{"notes.txt"}, 2, "", "hv-editor: not an export file (.hve): notes.txt"},
             {{"--screenshot", "MAin"}, 2, "", "hv-editor: --screenshot needs WINDOW and FILE"},
         }) {
        const ProgramRun r = run(HV_EDITOR_PROGRAM, c.args, world.work, env);
        EXPECT_EQ(r.code, c.code) << c.args.front() << r.err;
        EXPECT_EQ(r.out.substr(0, c.outStart.size()), c.outStart) << c.args.front();
        EXPECT_EQ(r.err.substr(0, c.errStart.size()), c.errStart) << c.args.front();
    }
    // The report window writes its "arrange.tmp" as it opens: beside the user's options.dat.
    env.push_back("QT_QPA_PLATFORM=offscreen");
    const fs::path shot = world.root.path() / "shot.png";
    EXPECT_EQ(
        run(HV_EDITOR_PROGRAM, {"--screenshot", "html22", shot.string()}, world.work, env).code, 0);
    EXPECT_EQ(snapshot(world.work), Snapshot{});
    EXPECT_TRUE(fs::exists(config / "hv-editor" / "arrange.tmp"));
}

} // namespace
} // namespace hv::test
