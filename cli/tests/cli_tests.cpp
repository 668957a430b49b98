#include "cli/cli.h"

#include "gamefiles/csv.h"
#include "gamefiles/records.h"
#include "gamefiles/temp_rewrite.h"
#include "gamefiles/text.h"
#include "testsupport/hostile_world.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <memory>
#include <ranges>
#include <set>
#include <sstream>

namespace hv::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Args = std::vector<std::string>;
using hv::cli::kRefused;
using hv::cli::kUsage;
using Line = WrestlerRecord::Line;

struct HvRun {
    int code;
    std::string out, err;
};

// `hv` run in-process on a fresh test world.
class Cli : public ::testing::Test {
protected:
    HvRun hv(const Args& args) {
        std::ostringstream out, err;
        const int code = hv::cli::runCli(args, world.work, out, err, settingsDir);
        return {code, out.str(), err.str()};
    }
    // A command that must succeed: its output.
    std::string ok(const Args& args) {
        const HvRun r = hv(args);
        EXPECT_EQ(r.code, 0) << r.err;
        return r.out;
    }
    // Each command line (split at blanks) exits with `code`, prints nothing on stdout and one
    // line on stderr naming `word`, and changes nothing.
    void expectRefused(std::initializer_list<std::string_view> lines, int code = kRefused,
                       std::string_view word = {}) {
        const auto before = world.files();
        for (std::string_view line : lines) {
            Args args;
            for (auto arg : std::views::split(line, ' '))
                args.emplace_back(arg.begin(), arg.end());
            const HvRun r = hv(args);
            EXPECT_EQ(r.code, code) << line;
            EXPECT_EQ(r.out, "") << line;
            EXPECT_NE(r.err.find(word), std::string::npos) << r.err;
            EXPECT_EQ(std::ranges::count(r.err, '\n'), 1) << r.err;
        }
        EXPECT_EQ(world.files(), before);
    }

    GameWorld world;
    fs::path settingsDir; // empty: options.dat in the working folder
    const Lines p = placeholderWrestler();
};

TEST_F(Cli, SlotsFromOptionsOrGameFolderOption) {
    EXPECT_EQ(ok({"slots"}),
              "save1: First Slot\nsave2: Second Slot\nsave3: No Saved Game\nsave4: Fourth Slot\n");
    writeFile(world.work / "options.dat", crlf({"/nowhere"}));
    EXPECT_EQ(hv({"--game-folder", world.game.string(), "slots"}).code, 0);
    expectRefused({"slots"}, kRefused, "nowhere");
}

TEST_F(Cli, UsageErrorsExitTwo) {
    EXPECT_EQ(hv({}).code, kUsage);
    expectRefused({"frobnicate", "--slot save9 slots", "rivals list xyz", "slots extra", "--slot"},
                  kUsage);
    EXPECT_EQ(hv({"--help"}).code, 0);
    // A group's name alone names its commands.
    expectRefused({"restore", "restore frob"}, kUsage, "restore apply");
}

// hv check's report, one line per problem, is met by every row of the bad-input catalogue.

TEST_F(Cli, GameFolderSetWritesLineOneKeepsTheReportBytesAndShowReadsItBack) {
    const fs::path options = world.work / "options.dat";
    const std::string before = "old\r\nTitle, with comma\r\nx\ny";
    const fs::path root = world.root.path();
    const std::string game = world.game.string(), ab = (root / "a, b").string(),
                      work = (root / "work").string(), missing = (root / "missing").string();
    fs::create_directories(ab);
    // The arguments, the folder as show reads it back, and line 1 as written.
    for (const auto& [args, folder, line1] :
         std::initializer_list<std::tuple<Args, std::string, std::string>>{
             {{"game-folder", "set", game}, game, game},
             {{"game-folder", "set", "../a, b/./"}, ab, "\"" + ab + "\""},
             // --game-folder does not redirect where set writes.
             {{"--game-folder", "/elsewhere", "game-folder", "set", "."}, work, work}}) {
        writeFile(options, before);
        EXPECT_EQ(ok(args), "");
        EXPECT_EQ(readFile(options), line1 + before.substr(3));
        // --game-folder names another folder; show still reads options.dat.
        EXPECT_EQ(ok({"--game-folder", "/elsewhere", "game-folder", "show"}),
                  folder + "\nfrom " + options.string() + "\n");
    }
    expectRefused({"game-folder set " + missing}, kRefused, missing);
    expectRefused({"game-folder set", "game-folder set " + game + " " + game}, kUsage);

    // As hv.exe keeps options.dat beside itself: names still count from the working folder.
    settingsDir = root / "program";
    fs::create_directories(settingsDir);
    fs::remove(options);
    writeFile(settingsDir / "options.dat", crlf({"../Halvorn"})); // counts from there
    EXPECT_EQ(hv({"slots"}).code, 0);
    EXPECT_EQ(ok({"game-folder", "set", "."}), "");
    EXPECT_EQ(readFile(settingsDir / "options.dat"), work + "\r\n");
    EXPECT_EQ(ok({"game-folder", "show"}),
              work + "\nfrom " + (settingsDir / "options.dat").string() + "\n");
    EXPECT_FALSE(fs::exists(options));
}

TEST_F(Cli, ManagersListAddSetAndDeleteEveryMatch) {
    const auto file = world.slotFile("save1", "Background/wwfmanagers.hv1");
    writeFile(file, crlf({"Wally", "x", "Wendy", "f", "Wally", "m"}));
    EXPECT_EQ(ok({"managers", "list"}), "Wally\nWendy\nWally\n");
    EXPECT_EQ(ok({"managers", "list", "--format", "tsv"}),
              "#\tname\tsex\n1\tWally\tx\n2\tWendy\tfemale\n3\tWally\tmale\n");
    for (const Args& args : {Args{"managers", "add"},
                             {"managers", "set", "manager", "name=Max", "sex=female"},
                             {"managers", "set", "Wally", "name=Walt"}, // the odd code "x" stays
                             {"managers", "delete", "Wendy"}})
        EXPECT_EQ(ok(args), "") << args[1];
    EXPECT_EQ(readFile(file), crlf({"Walt", "x", "Walt", "m", "Max", "f"}));

    expectRefused({"managers delete Nobody"});
    expectRefused({"managers set Max sex=other"}, kUsage);
    world.setSaveGame("save1", "ECW");
    expectRefused({"managers list"}, kRefused, "\"ECW\"");
}

TEST_F(Cli, ExportPreviewAndImport) {
    const Lines a = wrestler("A/B"), b = wrestler("B");
    world.setRoster("save1", {a, b});
    const auto file = world.work / "A_B.hve";
    EXPECT_EQ(ok({"export", "A/B"}), file.string() + "\n");
    EXPECT_EQ(ok({"preview", file.string()}).substr(0, 21), "Name : A/B\nDraw : 50\n");

    expectRefused({"import " + file.string()}, kRefused, "\"A/B\" is already in the roster");
    expectRefused({"import " + file.string() + " --overwrite --as X"}, kUsage);
    ok({"import", file.string(), "--as", "C"});
    writeFile(file, crlf(withLine(a, 1, "1")));
    ok({"import", file.string(), "--overwrite"});
    EXPECT_EQ(world.roster(), recordBytes({withLine(a, 1, "1"), b, withLine(a, 0, "C")}));
}

TEST_F(Cli, RivalsAndTradesFollowTheSlotsFederationAndEachTradeDrawsItsOwnPotential) {
    world.setSaveGame("save1", "WCW"); // the rival big federation is WWF; save2 stays WWF
    const auto wwf = world.slotFile("save1", "Background/wwf.hv1");
    // The other files of each slot stay empty: a wrong one lists nobody.
    writeFile(wwf, crlf(rivalWrestler("name")) + crlf(rivalWrestler("Wolf")));
    writeFile(world.slotFile("save2", "Background/wcw.hv1"), crlf(rivalWrestler("Crow")));
    writeFile(world.slotFile("save1", "Background/ecw.hv1"), crlf(rivalWrestler("Extreme")));
    EXPECT_EQ(ok({"rivals", "list", "rival"}), "Wolf\n");
    EXPECT_EQ(ok({"--slot", "save2", "rivals", "list", "rival"}), "Crow\n");
    EXPECT_EQ(ok({"rivals", "list", "ecw"}), "Extreme\n");

    // Each run seeds its own generator: eight runs all drawing one potential happen once in 10^9.
    std::set<std::string> potentials;
    for (int run = 0; run < 8; ++run) {
        world.setRoster("save1", {wrestler("Mover")});
        writeFile(wwf, "");
        ok({"trade", "Mover", "own", "rival"});
        potentials.insert(splitLines(readFile(wwf)).at(7)); // its range is tested with the transfer
    }
    EXPECT_GT(potentials.size(), 1u);

    // Refusals exit with one line and write nothing.
    world.setRoster("save1", {wrestler("Ace")});
    world.setSaveGame("save2", "NWO");
    // line 2 written with line breaks puts "late" on line 6, the year
    world.setSaveGame("save3", "WCW\r\nMonday\r\n12\r\nMarch\r\nlate");
    expectRefused({"trade Ace own tna", "trade Ace own indy --years 3",
                   "trade Ace ecw own --yers 3", "trade Ace ecw own --as X --as=Y",
                   "trade Ace ecw --as X own indy"},
                  kUsage, "hv trade: ");
    expectRefused({"trade Ace own own", "trade X indy own --as " /* an empty name */,
                   "trade Nobody own rival", "--slot save2 trade Ace own rival",
                   "--slot save3 trade X indy own"});
    expectRefused({"--slot save2 rivals list rival"}, kRefused, "NWO");
}

TEST_F(Cli, ReportTakesMissingOptionsFromTheSettingsWhichStayAsTheyWere) {
    world.setRoster("save1", {wrestler("B")});
    const auto options = world.work / "options.dat";
    writeFile(options, readFile(options) + crlf({"p.html", "T", "Red", "Blue", "4"}));
    const auto before = readFile(options);
    ok({"report", "--text", "Black", "--hide", "draw,titles", "--order", "Fueds,Roster,Titles"});
    const std::string page = readFile(world.work / "p.html");
    EXPECT_NE(page.find("<BODY BGCOLOR=\"#FF0000\" TEXT=\"#000000\">"), std::string::npos);
    EXPECT_NE(page.find("<TABLE BORDER=\"4\">"), std::string::npos);
    EXPECT_EQ(page.find("Draw"), std::string::npos);
    EXPECT_EQ(page.find("TITLES"), std::string::npos);
    EXPECT_LT(page.find("</CENTER></CENTER></CENTER>"), page.find("ROSTER"));
    EXPECT_EQ(readFile(options), before);
    expectRefused({"report --hide colour", "report --order Roster,Roster,Titles"}, kUsage);
}

TEST_F(Cli, RosterListShowsTheFirstRecordOfANameAndSetChangesThemAll) {
    world.setRoster("save1", {p, wrestler("A", " 3 "), withLine(wrestler("Odd", "9"), 16, "P"),
                              wrestler("A", "1")});
    world.setRoster("save2", {wrestler("Other")});
    EXPECT_EQ(ok({"roster", "list"}), "A\nOdd\nA\n");
    EXPECT_EQ(ok({"--slot", "save2", "roster", "list"}), "Other\n");
    EXPECT_EQ(ok({"roster", "show", "A"}),
              "name: A\ndraw: 50\nentertainment: 60\nwages: 1000\nvalue: 2000\n"
              "description: A description\ncarder: Upper Carder\nalignment: Face\n"
              "contract: 3\nfinisher: A Driver\ntagteam: no\ninjury: 0\nmorale: 75\n"
              "stable: no\nmanager: no\nweapon: Chair\nfinishertype: Power Move\n"
              "style: Technical Wrestler\nretirement: 8\n");
    const std::string odd = ok({"roster", "show", "Odd"});
    EXPECT_NE(odd.find("\ncarder: 9\n"), std::string::npos) << odd;
    EXPECT_NE(odd.find("\nfinishertype: P\n"), std::string::npos) << odd;

    // Set changes the lines it names in every record of the name, words to codes as Apply.
    const Lines b = wrestler("B", "x");
    world.setRoster("save1",
                    {p, wrestler("Old", " 1"), withLine(wrestler("Old", " 1"), 1, "10"), b});
    ok({"roster", "set", "Old", "name=New", "carder=Upper Carder",
        "tagteam=", "manager=", "finishertype=Submission", "description=Two\r\nlines"});
    Lines changed = withLine(withLine(wrestler("New", " 3 "), 5, "Two lines"), 16, "s");
    changed[9] = "Old Driver";
    changed[14] = "";
    // Other text keeps the stored carder and finisher type; fields not given keep their lines.
    ok({"roster", "set", "B", "carder=Main Event", "finishertype=Flying", "draw=77"});
    EXPECT_EQ(world.roster(),
              recordBytes({p, changed, withLine(changed, 1, "10"), withLine(b, 1, "77")}));
    // A carder code as stored stays as stored when the change leaves it.
    world.setRoster("save1", {p, wrestler("C", "1")});
    EXPECT_EQ(ok({"roster", "set", "C", "draw=5"}), "");
    EXPECT_EQ(world.roster(), recordBytes({p, withLine(wrestler("C", "1"), 1, "5")}));
    EXPECT_EQ(ok({"roster", "set", "C", "draw=5"}), "Nothing changed\n"); // and wrote nothing
}

// Every field `hv` changes, holding a hostile value in turn: a change of another field changes
// that field's line and no other line of any file.
TEST_F(Cli, EveryChangeWritesOnlyTheLineItNames) {
#ifndef _WIN32
    // Some hundred changes: how the files reach the disk is not what this is about.
    rewriteSyscalls().fsync = [](int) { return 0; };
    const std::unique_ptr<void, void (*)(void*)> reset(nullptr,
                                                       [](void*) { resetRewriteSyscalls(); });
#endif
    const TempDir outside;
    const std::string sheet = (outside.path() / "r.csv").string();
    const auto changedLines = [&](const Args& args) {
        const auto before = world.files();
        EXPECT_EQ(hv(args).err, "");
        const auto after = world.files();
        std::string out;
        for (std::size_t f = 0; f < before.size() && f < after.size(); ++f) {
            const Lines a = crlfLines(before[f].second), b = crlfLines(after[f].second);
            for (std::size_t l = 0; l < std::max(a.size(), b.size()); ++l)
                if (l >= a.size() || l >= b.size() || a[l] != b[l])
                    out += fs::path(before[f].first).filename().string() + ":" +
                           std::to_string(l + 1) + " ";
        }
        return out;
    };
    const auto csvEdit = [&](std::size_t field) {
        ok({"roster", "csv", "--output", sheet});
        std::vector<CsvRow> rows = parseCsv(readFile(sheet), sheet);
        rows[2][field + 1] = "42";
        std::string text;
        for (const CsvRow& row : rows) {
            for (std::size_t c = 0; c < row.size(); ++c)
                appendCsvCell(text += c > 0 ? "," : "", row[c], true);
            text += "\r\n";
        }
        writeFile(sheet, text);
    };
    const auto save = world.slotFile("save1", "Saved Game/save1.hv1");
    const auto managers = world.slotFile("save1", "Background/wwfmanagers.hv1");
    const auto indy = world.slotFile("save1", "Background/otherbig.hv1");
    const Lines saveLines = crlfLines(readFile(save)), managerLines = crlfLines(readFile(managers));
    for (const std::string& value :
         {std::string(), std::string("  Padded  "), std::string("Before\rafter"),
          hostileValues()[2].bytes /* every byte but CR and LF */}) {
        SCOPED_TRACE(value);
        for (std::size_t field = 0; field < WrestlerRecord::kLines; ++field) {
            SCOPED_TRACE(kWrestlerFields[field].name);
            const Lines w = withLine(wrestler("W"), field, value);
            const std::size_t other = field == Line::Draw ? Line::Morale : Line::Draw;
            const std::string set = std::string(kWrestlerFields[other].name) + "=42";
            const std::string line = "yourfed.hv1:" + std::to_string(20 + other) + " ";
            for (const Args& args : {Args{"roster", "set", w[0], set}, Args{"roster", "batch", set},
                                     Args{"roster", "csv-import", sheet}}) {
                world.setRoster("save1", {p, w});
                if (args[1] == "csv-import")
                    csvEdit(other);
                EXPECT_EQ(changedLines(args), line) << args[1];
            }
        }
        // The save game's header and the slot's name, each beside a line another command sets.
        for (std::size_t planted = 0; planted <= 30; ++planted) {
            SCOPED_TRACE(planted);
            const auto [args, line] = planted == 1 || (planted > 15 && planted != 22)
                                          ? std::pair{Args{"feuds", "set", "1=600"}, 22}
                                      : planted < 16
                                          ? std::pair{Args{"fed", "set", "commissioner=Zed"}, 1}
                                          : std::pair{Args{"titles", "set", "1=Eve"}, 8};
            writeFile(world.game / "saveslots.hv1",
                      crlf({planted == 0 ? value : "First", "Second", "Third", "Fourth"}));
            writeFile(save,
                      crlf(planted == 0 ? saveLines : withLine(saveLines, planted - 1, value)));
            EXPECT_EQ(changedLines(args), "save1.hv1:" + std::to_string(line) + " ") << args[0];
        }
        // A rival's set as a wrestler's; a trade between rivals moves his lines as stored (one
        // without a name is refused).
        for (std::size_t field = value.empty() ? 1 : 0; field < OtherFedRecord::kLines; ++field) {
            const Lines r = withLine(rivalWrestler("R"), field, value);
            const std::size_t other =
                field == OtherFedRecord::Draw ? OtherFedRecord::Potential : OtherFedRecord::Draw;
            writeFile(world.slotFile("save1", "Background/ecw.hv1"), recordBytes({r}));
            ok({"trade", r[0], "ecw", "indy"});
            EXPECT_EQ(readFile(indy), recordBytes({r}));
            EXPECT_EQ(changedLines({"rivals", "set", "indy", r[0],
                                    std::string(kOtherFedFields[other].name) + "=42"}),
                      "otherbig.hv1:" + std::to_string(other + 1) + " ");
            writeFile(indy, "");
        }
        // A manager's name and sex, each set beside the other in its record or the next.
        for (const auto& [planted, args, line] :
             {std::tuple{0, Args{"managers", "set", "Wendy Manager", "sex=male"}, 4},
              {1, {"managers", "set", "Wally Manager", "name=Walt"}, 1},
              {2, {"managers", "set", "Wally Manager", "sex=female"}, 2},
              {3, {"managers", "set", "Wendy Manager", "name=Wen"}, 3}}) {
            writeFile(managers, crlf(withLine(managerLines, planted, value)));
            EXPECT_EQ(changedLines(args), "wwfmanagers.hv1:" + std::to_string(line) + " ");
        }
    }
}

// Each field set alone changes its line in every record of the name, as `roster set` writes.
TEST_F(Cli, RivalsSetWritesEachFieldAsRosterSetDoes) {
    const auto ecw = world.slotFile("save1", "Background/ecw.hv1");
    const Lines r = rivalWrestler("R", "Ego"), other = rivalWrestler("S"),
                rp = rivalWrestler("name");
    // clang-format off
    const std::pair<std::string, std::string> rows[OtherFedRecord::kLines] = {
        {"New", "New"}, {"42", "42"}, {" 61 ", " 61 "}, {"-5", "-5"}, {"", ""}, {"A\r\nB", "A B"},
        {"Upper Carder", " 3 "}, {"20", "20"}, {"", "no"}, {"Face", "Face"}, {"X", "X"},
        {"Pair", "Pair"}, {"Ladder", "Ladder"}, {"Power Move", "p"}, {"Big Man", "Big Man"},
        {"1", "1"}};
    // clang-format on
    for (std::size_t field = 0; field < OtherFedRecord::kLines; ++field) {
        SCOPED_TRACE(kOtherFedFields[field].name);
        writeFile(ecw, recordBytes({rp, r, other, r}));
        EXPECT_EQ(ok({"rivals", "set", "ecw", "R",
                      std::string(kOtherFedFields[field].name) + "=" + rows[field].first}),
                  "");
        const Lines changed = withLine(r, field, rows[field].second);
        EXPECT_EQ(readFile(ecw), recordBytes({rp, changed, other, changed}));
    }
    writeFile(ecw, recordBytes({r}));
    expectRefused({"rivals set ecw R draw=lots",
                   "rivals set ecw R potential=", "rivals set ecw R name=name",
                   "rivals set ecw R weapon=a\nb", "rivals set ecw Nobody draw=1"},
                  kRefused, "ecw.hv1");
    expectRefused({"rivals set ecw R height=1", "rivals set own R draw=1", "rivals set ecw R"},
                  kUsage, "hv rivals set: ");
}

// Every list and show command: --format text is the text, and tsv and json hold the same rows.
TEST_F(Cli, ListAndShowCommandsPrintTsvAndJson) {
    const std::string e9 = "Andr\xE9";
    world.setRoster("save1", {p, withLine(wrestler(e9), 12, "low"), wrestler("B", "2", "3")});
    writeFile(world.slotFile("save1", "Background/ecw.hv1"), crlf(rivalWrestler("R")));
    ok({"rivals", "set", "ecw", "R", "draw=1", "wages=2"}); // one restore point
    const auto split = [](std::string_view line, char at) {
        Lines parts;
        for (auto part : std::views::split(line, at))
            parts.emplace_back(part.begin(), part.end());
        return parts;
    };
    for (const std::string& line : std::initializer_list<std::string>{
             "slots", "roster list", "roster show " + e9, "rivals list ecw", "rivals show ecw R",
             "injuries list", "fed show", "titles show", "feuds show", "managers list",
             "restore list"}) {
        SCOPED_TRACE(line);
        const auto as = [&](const std::string& format) {
            return ok(split(line + " --format=" + format, ' '));
        };
        EXPECT_EQ(as("text"), ok(split(line, ' ')));
        const Lines tsv = splitLines(as("tsv"));
        const Lines header = split(tsv.at(0), '\t');
        EXPECT_EQ(header.at(0), "#");
        const auto json = nlohmann::json::parse(as("json"));
        ASSERT_EQ(json.size() + 1, tsv.size());
        for (std::size_t row = 0; row < json.size(); ++row) {
            const Lines values = split(tsv[row + 1], '\t');
            ASSERT_EQ(json[row].size(), header.size());
            for (std::size_t c = 0; c < header.size(); ++c) {
                const auto& value = json[row].at(header[c]);
                EXPECT_EQ(value.is_string() ? value.get<std::string>() : value.dump(),
                          values.at(c));
            }
        }
    }
    // A number field holding a number is a number; text comes through the byte table.
    const auto shown = nlohmann::json::parse(ok({"roster", "show", e9, "--format", "json"}));
    EXPECT_EQ(shown.at(0), nlohmann::json::parse(ok({"roster", "list", "--format", "json"})).at(0));
    EXPECT_EQ(shown.at(0).at("#"), 2);
    EXPECT_EQ(shown.at(0).at("name"), "Andr\xC3\xA9");
    EXPECT_EQ(shown.at(0).at("draw"), 50);
    EXPECT_EQ(shown.at(0).at("morale"), "low");
    EXPECT_EQ(nlohmann::json::parse(ok({"restore", "list", "--format", "json"})).size(), 1u);
    expectRefused({"roster list --format xml", "slots --format"}, kUsage, "--format");
}

#ifndef _WIN32
// The script is bash; it completes command words and fields from the declarations, and names
// from what hv lists.
TEST_F(Cli, CompletionScriptCompletesCommandsFieldsSlotsAndNames) {
    world.setRoster("save1", {p, wrestler("Big Al"), wrestler("Bo"), wrestler("Cy")});
    const TempDir dir;
    writeFile(dir.path() / "hv", ok({"completion", "bash"}));
    writeFile(dir.path() / "complete",
              "source \"$1\"; shift; COMP_WORDS=(\"$@\")\n"
              "COMP_CWORD=$(($# - 1)); _hv; printf '%s\\n' \"${COMPREPLY[@]}\" | LC_ALL=C sort\n");
    EXPECT_EQ(runProgram("/bin/bash", {"-n", "hv"}, dir.path()).code, 0);
    const Args game = {HV_BINARY, "--game-folder", world.game.string()};
    for (const auto& [words, reply] : std::initializer_list<std::pair<Args, std::string>>{
             {{"hv", "ros"}, "roster\n"},
             {{"hv", "roster", "s"}, "set\nshow\n"},
             {{"hv", "roster", "set", "A", "dr"}, "draw=\n"},
             {{"hv", "rivals", "set", "e"}, "ecw\n"},
             {{"hv", "--slot", "save"}, "save1\nsave2\nsave3\nsave4\n"},
             {{"hv", "roster", "list", "--format", "t"}, "text\ntsv\n"},
             {{game[0], game[1], game[2], "roster", "show", "B"}, "Big\\ Al\nBo\n"}}) {
        Args args = {"complete", "hv"};
        args.insert(args.end(), words.begin(), words.end());
        const ProgramRun run = runProgram("/bin/bash", args, dir.path());
        EXPECT_EQ(run.out, reply) << words.back() << run.err;
    }
}
#endif

TEST_F(Cli, RosterAddDeleteMoveAndHealAndRefusalsChangeNothing) {
    const Lines a = wrestler("A"), b = wrestler("B"), blank = blankWrestlerLines();
    world.setRoster("save1", {p, a, wrestler("Twin"), wrestler("C", "2", " 12 "),
                              wrestler("Twin", "2", "1"), b});
    expectRefused({"roster show Nobody", "roster set Nobody draw=1", "roster delete Nobody",
                   "roster delete name", "roster move Nobody up", "roster move A up",
                   "roster move B down"},
                  kRefused, "yourfed.hv1");
    expectRefused({"roster set A height=2", "roster set A", "roster move A left"}, kUsage,
                  "hv roster");

    ok({"roster", "add"});
    EXPECT_EQ(ok({"injuries", "list"}), "C\t 12 \nTwin\t1\n");
    ok({"roster", "delete", "Twin"});
    ok({"roster", "move", "C", "up"});
    EXPECT_EQ(world.roster(), recordBytes({p, wrestler("C", "2", " 12 "), a, b, blank}));
    ok({"roster", "move", "C", "down"});
    ok({"injuries", "heal"});
    EXPECT_EQ(world.roster(), recordBytes({p, a, wrestler("C", "2", " 0 "), b, blank}));
}

TEST_F(Cli, RosterBatchPrintsEachChangedFieldAndDryRunWritesNothing) {
    const Lines cy = withLine(wrestler("Cy", "1"), 1, "49");
    world.setRoster("save1",
                    {p, wrestler("Axe"), wrestler("Blade", "3"), cy, wrestler("Axe", "3")});
    const Args args = {"roster",  "batch",    "draw=+10",        "carder=Upper Carder",
                       "--where", "draw>=50", "--where=name ~ A"};
    const std::string lines = "Axe\tdraw: 50 ->  60 \nAxe\tcarder: Middle Carder -> Upper Carder\n"
                              "Blade\tdraw: 50 ->  60 \nAxe\tdraw: 50 ->  60 \n";
    const auto before = world.files();
    Args dry = args;
    dry.push_back("--dry-run");
    EXPECT_EQ(ok(dry), lines + "3 wrestlers would change\n");
    EXPECT_EQ(world.files(), before);
    EXPECT_EQ(ok(args), lines + "3 wrestlers changed\n");
    const Lines axe = withLine(wrestler("Axe", " 3 "), 1, " 60 ");
    EXPECT_EQ(world.roster(), recordBytes({p, axe, withLine(wrestler("Blade", "3"), 1, " 60 "), cy,
                                           withLine(wrestler("Axe", "3"), 1, " 60 ")}));
    EXPECT_EQ(ok({"roster", "batch", "draw=-100", "--where", "name=Cy"}),
              "Cy\tdraw: 49 ->  0 \n1 wrestler changed\n");

    // Bad fields, operators and values: exit 2 before anything is read.
    expectRefused({"roster batch height=2",
                   "roster batch draw=lots",
                   "roster batch draw=+x",
                   "roster batch carder=Top",
                   "roster batch finishertype=Flying",
                   "roster batch name=name",
                   "roster batch draw=1 draw=+2",
                   "roster batch --where draw=1",
                   "roster batch draw=1 --where draw",
                   "roster batch draw=1 --where draw<>5",
                   "roster batch draw=1 --where height=2",
                   "roster batch draw=1 --where draw>x",
                   "roster batch draw=1 --where draw=x",
                   "roster batch draw=1 --where tagteam<no",
                   "roster batch draw=1 --where ",
                   "roster batch draw=1 --where=",
                   "roster batch draw=1 --where name~",
                   "roster batch contract=+1",
                   "roster batch draw=1 --where carder=Top",
                   "roster batch draw=1 --where carder>1"},
                  kUsage, "hv roster batch: ");
    // Adding to a stored value that is no number: refused, naming the line.
    world.setRoster("save1", {p, withLine(wrestler("Axe"), 12, "low")});
    expectRefused({"roster batch morale=+1"}, kRefused, "yourfed.hv1:32:");
}

TEST_F(Cli, RosterCsvExportsAndImportsOnlyWhatChanged) {
    world.setRoster("save1", {p, wrestler("A"), wrestler("B")});
    const std::string csv = ok({"roster", "csv"});
    EXPECT_TRUE(csv.starts_with("\xEF\xBB\xBF#,name,draw,entertainment,")) << csv;
    EXPECT_EQ(ok({"roster", "csv", "--output=r.csv"}), (world.work / "r.csv").string() + "\n");
    EXPECT_EQ(readFile(world.work / "r.csv"), csv);
    EXPECT_EQ(ok({"roster", "csv-import", "r.csv"}), "0 changes\n");

    std::string edited = csv;
    edited.replace(edited.find("3,\"B\",50"), 8, "3,\"B\",7");
    writeFile(world.work / "r.csv", edited);
    const std::string before = world.roster();
    EXPECT_EQ(ok({"roster", "csv-import", "--dry-run", "r.csv"}),
              "B\tdraw: 50 ->  7 \n1 wrestler would change\n");
    EXPECT_EQ(world.roster(), before);
    EXPECT_EQ(ok({"roster", "csv-import", "r.csv"}), "B\tdraw: 50 ->  7 \n1 wrestler changed\n");
    EXPECT_EQ(world.roster(), recordBytes({p, wrestler("A"), withLine(wrestler("B"), 1, " 7 ")}));

    expectRefused({"roster csv-import", "roster csv x", "roster csv --output",
                   "roster csv-import r.csv --force"},
                  kUsage, "hv roster csv");
    const fs::path inSlot = world.game / "save1" / "r.csv";
    EXPECT_EQ(hv({"roster", "csv", "--output", inSlot.string()}).code, kRefused);
    EXPECT_FALSE(fs::exists(inSlot));
}

TEST_F(Cli, SaveGameShowPrintsEveryFieldAndSetKeepsTheOthers) {
    const auto saveFile = world.slotFile("save1", "Saved Game/save1.hv1");
    Lines lines = {"Cole", "ECW",    "Monday", "1",   "May",  "99",  "5",  "Ann",
                   "Bob",  "Vacant", "Cy",     "Dee", "Team", "One", "Two"};
    lines.resize(30, " 33023 ");
    for (std::size_t f = 0; f < 5; ++f)
        lines[15 + f] = f == 2 ? "" : "Feud " + std::to_string(f + 1) + ", with a comma";
    lines[21] = " 7 "; // below the lowest level
    lines.push_back("after the header");
    writeFile(saveFile, crlf(lines));

    const HvRun fed = hv({"fed", "show"}), titles = hv({"titles", "show"}),
                feuds = hv({"feuds", "show"});
    EXPECT_EQ(fed.out + titles.out + feuds.out,
              "slotname: First Slot\ncommissioner: Cole\nweekday: Monday\nday: 1\nmonth: May\n"
              "year: 99\nbank: 5\nTitle 1: Ann\nTitle 2: Bob\nTitle 3: Vacant\nTitle 4: Cy\n"
              "Title 5: Dee\nfeud 1: Feud 1, with a comma\nlevel 1: 15\nfeud 2: Feud 2, with a "
              "comma\nlevel 2: 10600\nfeud 3: \nlevel 3: 10600\nfeud 4: Feud 4, with a comma\n"
              "level 4: 10600\nfeud 5: Feud 5, with a comma\nlevel 5: 10600\n");
    EXPECT_NE(feuds.err.find("\" 7 \""), std::string::npos) << feuds.err;

    EXPECT_EQ(hv({"feuds", "set", "1=14"}).code, kUsage);
    for (const Args& args : {Args{"fed", "set", "year=2001", "slotname=Mine"},
                             {"titles", "set", "5=Vacant", "1=Eve"},
                             {"feuds", "set", "2=600"},
                             {"feuds", "delete", "4"}})
        EXPECT_EQ(hv(args).code, 0) << args[0];
    lines[5] = "2001";
    lines[7] = "Eve";
    lines[11] = "Vacant";
    lines[18] = "";
    // Only the named feuds' levels: the others stay as stored, out of range or not.
    lines[23] = " 600 ";
    lines[27] = " 15 ";
    EXPECT_EQ(readFile(saveFile), crlf(lines));
    EXPECT_EQ(readFile(world.game / "saveslots.hv1"),
              crlf({"Mine", "Second Slot", "No Saved Game", "Fourth Slot"}));
}

TEST_F(Cli, RestoreListsChangesNewestFirstAndAppliesOneAsAChangeOfItsOwn) {
    world.setRoster("save1", {wrestler("Axe")});
    const std::string before = world.roster();
    ok({"roster", "set", "Axe", "draw=9", "manager="});
    EXPECT_EQ(ok({"restore", "diff", "1"}),
              "Roster: Axe: Draw 50 -> 9\nRoster: Axe: Manager no -> \"\"\n");
    const std::string listed = ok({"restore", "list"});
    ASSERT_EQ(std::ranges::count(listed, '\t'), 2) << listed;
    EXPECT_TRUE(listed.starts_with("1\t20") && listed.ends_with("\tEdit Axe\n")) << listed;
    EXPECT_EQ(ok({"restore", "apply", "1"}), "");
    EXPECT_EQ(world.roster(), before);
    // (That applying the restore's own point undoes it again is restore_ops' test.)
    EXPECT_TRUE(ok({"restore", "list"}).ends_with("\tUndo of Edit Axe\n" + listed));
    EXPECT_EQ(ok({"--slot", "save2", "restore", "list"}), "");
    expectRefused({"restore apply 7", "restore diff 7"}, kRefused, "no restore point 7");
    expectRefused({"restore apply x", "restore list 1", "restore apply --yes 1",
                   "restore apply --force 1", "restore diff", "restore diff x", "restore diff 1 2"},
                  kUsage);

    // A later change to the same file is undone with it and named; a file the game wrote
    // since is named and kept unless the plan shown is forced, and only while it is that plan.
    ok({"roster", "set", "Axe", "draw=8"});
    writeFile(world.rosterFile(), world.roster() + "game\r\n");
    const auto planned = [&] {
        const std::string plan = ok({"restore", "apply", "--dry-run", "1"});
        EXPECT_TRUE(plan.starts_with("also undone\t3\tEdit Axe\nalso undone\t2\tUndo of Edit "
                                     "Axe\nput back\tsave1/Controlled/yourfed.hv1\nchanged "
                                     "outside\tthe roster of Save 1 (yourfed.hv1)\nplan\t"))
            << plan;
        return plan.substr(plan.size() - 9, 8);
    };
    const std::string shown = planned();
    expectRefused({"restore apply 1"}, kRefused,
                  "restoring would throw that change away. Nothing was written. To restore "
                  "anyway: hv restore apply 1 --force " +
                      shown);
    writeFile(world.rosterFile(), world.roster() + "more\r\n"); // while the user looked
    const std::string now = planned();
    expectRefused({"restore apply 1 --force " + shown}, kRefused,
                  "it is now plan " + now +
                      ". Nothing was written. See it with hv restore apply "
                      "1 --dry-run; go ahead with it: hv restore apply 1 --force " +
                      now);
    EXPECT_EQ(ok({"restore", "apply", "--force", now, "1"}),
              "also undone\t3\tEdit Axe\nalso undone\t2\tUndo of Edit Axe\n");
    EXPECT_EQ(world.roster(), before);
}

// One parser for every command: what it lets through to `run`, and what it refuses.
TEST(CliArgs, OptionsAndPositionalsAreCheckedAgainstTheDeclarations) {
    const hv::cli::Command batch{
        {"batch"},
        "NAME [FIELD=VALUE...]",
        {hv::cli::Values{"--where", "CONDITION", ""}, hv::cli::kDryRun, {"--as", "NEWNAME", ""}},
        "",
        "",
        {}};
    using Options = std::vector<std::pair<std::string, std::string>>;
    struct Row {
        Args args;
        std::string error; // empty: accepted
        Args positional = {};
        Options options = {};
        std::size_t literalFrom = std::string::npos;
    };
    const Row rows[] = {
        {{"A", "--where", "x=1", "b=-5", "--where=y=2", "--dry-run"},
         "",
         {"A", "b=-5"},
         {{"--where", "x=1"}, {"--where", "y=2"}, {"--dry-run", ""}}},
        // A value is taken as it stands, however it looks; after "--" nothing is an option.
        {{"--as", "--dry-run", "-A"}, "", {"-A"}, {{"--as", "--dry-run"}}},
        {{"--as=", "A", "--as"}, "", {"A", "--as"}, {{"--as", ""}}, 2},
        {{"A", "--wher", "x"}, "unknown option --wher"},
        {{"A", "--as", "X", "--as=Y"}, "--as is given twice"},
        {{"A", "--dry-run=yes"}, "--dry-run takes no value"},
        {{"A", "--as"}, "--as needs a value"},
        {{"--dry-run"}, "expected NAME [FIELD=VALUE...], got 0 arguments"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        try {
            const auto parsed = hv::cli::parseArgs(batch, row.args, row.literalFrom);
            EXPECT_EQ(row.error, "");
            EXPECT_EQ(parsed.positional, row.positional);
            EXPECT_EQ(parsed.options, row.options);
            EXPECT_EQ(parsed[hv::cli::kDryRun], row.options.size() == 3);
        } catch (const hv::cli::UsageError& e) {
            EXPECT_EQ(e.message, row.error);
        }
    }
}

} // namespace
} // namespace hv::test
