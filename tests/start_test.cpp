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
    EXPECT_EQ(snapshot(config),
              (Snapshot{{"hv-editor/options.dat", game + "\r\n"}, {"hv-editor/options.lock", ""}}));
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

// A window that would show a message box has nobody to close it in a screenshot run: the
// message goes to stderr and the run ends with 1, promptly.
TEST_F(Start, AScreenshotThatWouldShowAMessageSaysItOnStderrAndEnds) {
    using Break = void (*)(const GameWorld&);
    const Break noManagers = [](const GameWorld& w) {
        fs::remove(w.slotFile("save1", "Background/wwfmanagers.hv1"));
    };
    const Break shortSave = [](const GameWorld& w) {
        writeFile(w.slotFile("save1", "Saved Game/save1.hv1"), crlf({"Cole", "WWF", "Monday"}));
    };
    const Break noRivals = [](const GameWorld& w) {
        fs::remove(w.slotFile("save1", "Background/ecw.hv1"));
    };
    const Break noSlotNames = [](const GameWorld& w) { fs::remove(w.game / "saveslots.hv1"); };
    const Break emptyOptions = [](const GameWorld& w) { writeFile(w.work / "options.dat", ""); };
    const Break goneFolder = [](const GameWorld& w) {
        writeFile(w.work / "options.dat", crlf({(w.root.path() / "gone").string()}));
    };
    struct Case {
        Break broken;
        const char* window;
        std::string says;
    };
    const std::string notFound = ": file not found\n", empty = "options.dat: is empty";
    env.push_back("QT_QPA_PLATFORM=offscreen");
    for (const Case& c : std::initializer_list<Case>{
             {noManagers, "save", "wwfmanagers.hv1" + notFound},
             {noManagers, "mansave", "wwfmanagers.hv1" + notFound},
             {shortSave, "titles", "save1.hv1:4: has only 3 lines"},
             {shortSave, "fuededit", "save1.hv1:4: has only 3 lines"},
             {shortSave, "fededit", "save1.hv1:4: has only 3 lines"},
             {noRivals, "traderos", "ecw.hv1" + notFound},
             {noSlotNames, "fededit", "saveslots.hv1" + notFound},
             {emptyOptions, "save", empty},
             {emptyOptions, "reorder", empty},
             {goneFolder, "doctor", "gone/save1/Controlled/yourfed.hv1" + notFound},
             {goneFolder, "impsave", "gone/save1/Controlled/yourfed.hv1" + notFound},
         }) {
        GameWorld w;
        c.broken(w);
        const fs::path shot = w.root.path() / "shot.png";
        const ProgramRun r =
            run("/usr/bin/timeout",
                {"20", HV_EDITOR_PROGRAM, "--screenshot", c.window, shot.string()}, w.work, env);
        EXPECT_EQ(r.code, 1) << c.window << r.err; // 124: it waited for an answer
        EXPECT_NE(r.err.find("hv-editor: "), std::string::npos) << c.window << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.window << r.err;
        EXPECT_FALSE(fs::exists(shot)) << c.window;
    }
}

} // namespace
} // namespace hv::test
