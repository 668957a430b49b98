// Bad inputs, one row each, met by the real hv (a child process in the working folder), by
// the operations the windows call and by hv check. A refused input gives one line naming the
// file (and line) from hv with exit 1, the same file and line from the operation, the same
// place as the one line of hv check's report, and no change to any file. An input the editor
// is meant to take (any byte, long lines, markup, odd export names, links) gives exactly the
// expected bytes.

#include "exchange/exchange_ops.h"
#include "gamefiles/check.h"
#include "gamefiles/error.h"
#include "otherfeds/otherfeds_ops.h"
#include "roster/roster_ops.h"
#include "savegame/savegame_ops.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

namespace hv::test {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using Lines = std::vector<std::string>;

struct World : GameWorld {
    World() : GameWorld("WWF") {
        setRoster("save1", {placeholderWrestler(), wrestler("Ace", "3", " 4 "), wrestler("Bo")});
        writeFile(slotFile("save1", "Background/ecw.hv1"), recordBytes({rivalWrestler("Extreme")}));
        writeFile(work / "Dee.hve", crlf(wrestler("Dee")));
        writeFile(work / "Bo.hve", crlf(wrestler("Bo")));
    }
    // The real hv, run in the working folder.
    ProgramRun hv(const Args& args) const { return runProgram(HV_PROGRAM, args, work); }
    fs::path path(const std::string& name) const { return root.path() / name; }
    roster::RosterFile roster() const { return {game.string(), "save1"}; }
    savegame::SaveGameFile save() const { return {game.string(), "save1"}; }
    void edit(const std::string& name, const std::function<std::string(std::string)>& change) {
        writeFile(path(name), change(readFile(path(name))));
    }
};

const std::string kRoster = "Halvorn/save1/Controlled/yourfed.hv1";
const std::string kSave = "Halvorn/save1/Saved Game/save1.hv1";
const std::string kManagers = "Halvorn/save1/Background/wwfmanagers.hv1";

std::string lfOnly(std::string bytes) {
    std::erase(bytes, '\r');
    return bytes;
}

// The first `lines` lines of a file.
std::string cut(const std::string& bytes, std::size_t lines) {
    std::size_t end = 0;
    for (std::size_t seen = 0; end < bytes.size() && seen < lines; ++end)
        seen += bytes[end] == '\n';
    return bytes.substr(0, end);
}

struct Refusal {
    std::string what;
    std::function<void(World&)> spoil;
    std::vector<Args> commands;
    std::string file;       // below the test root
    std::size_t line;       // 0: none
    Args check = {"check"}; // hv check reporting the problem; empty: not a file problem
    std::function<void(const World&)> operation = {};
};

std::vector<Refusal> refusals() {
    return {
        {"bare LF line ends in a roster",
         [](World& w) { w.edit(kRoster, lfOnly); },
         {{"roster", "set", "Ace", "draw=1"},
          {"roster", "add"},
          {"injuries", "heal"},
          {"trade", "Ace", "own", "ecw"}},
         kRoster,
         1},
        {"bare LF line ends in a save game",
         [](World& w) { w.edit(kSave, lfOnly); },
         {{"titles", "set", "1=Bo"}, {"feuds", "set", "1=20"}, {"fed", "set", "year=1"}},
         kSave,
         1,
         {"check"},
         [](const World& w) { savegame::applyTitles(w.save(), {"Bo"}); }},
        {"a roster cut inside a record",
         [](World& w) { w.edit(kRoster, [](std::string b) { return cut(b, 43); }); },
         {{"roster", "list"},
          {"roster", "add"},
          {"trade", "Ace", "own", "ecw"},
          {"export", "Ace"},
          {"import", "Dee.hve"}},
         kRoster,
         44,
         {"check"},
         [](const World& w) { roster::rosterNames(w.roster()); }},
        {"a rival roster cut inside a record",
         [](World& w) {
             writeFile(w.slotFile("save1", "Background/ecw.hv1"), crlf(Lines(3, "x")));
         },
         {{"rivals", "list", "ecw"}, {"trade", "Ace", "own", "ecw"}, {"trade", "x", "ecw", "indy"}},
         "Halvorn/save1/Background/ecw.hv1",
         4,
         {"check"},
         [](const World& w) { otherfeds::rivalNames(w.slotFile("save1", "Background/ecw.hv1")); }},
        {"a manager name with a comma or a double quote, or a line break",
         [](World&) {},
         {{"managers", "set", "Wally Manager", "name=Doc, Jr"},
          {"managers", "set", "Wally Manager", "name=Say \"hi\""},
          {"managers", "set", "Wally Manager", "name=Two\nlines"}},
         kManagers,
         0,
         {}},
        {"a stored manager line the game's field read would split",
         [](World& w) {
             writeFile(w.path(kManagers), crlf({"Doc, Jr", "m"}));
         },
         {},
         kManagers,
         1},
        {"a line break in a box of the roster",
         [](World&) {},
         {{"roster", "set", "Ace", "finisher=Two\nlines"},
          {"import", "Bo.hve", "--as", "Two\r\nlines"},
          {"trade", "Extreme", "ecw", "own", "--as", "Two\nlines"}},
         kRoster,
         0,
         {},
         [](const World& w) { exchange::importAs(w.roster(), w.work / "Dee.hve", "a\nb"); }},
        {"a line break in a box of the save game",
         [](World&) {},
         {{"fed", "set", "commissioner=Two\nlines"}, {"titles", "set", "2=Two\nlines"}},
         kSave,
         0,
         {},
         [](const World& w) { savegame::applyTitles(w.save(), {"a\rb"}); }},
        {"text that is no number in a number field",
         [](World&) {},
         {{"roster", "set", "Ace", "morale=60a"},
          {"roster", "set", "Ace", "draw=1 2"},
          {"roster", "set", "Ace", "retirement=-"}},
         kRoster,
         0,
         {},
         [](const World& w) {
             const auto ace = *roster::findWrestler(w.roster(), "Ace");
             roster::applyWrestler(
                 w.roster(), "Ace",
                 std::vector<FieldEdit>{
                     {WrestlerRecord::Wages, ace.lines[WrestlerRecord::Wages], "$5"}});
         }},
        {"text that is no number in the year or bank account",
         [](World&) {},
         {{"fed", "set", "year=1999a"}, {"fed", "set", "bank=lots"}},
         kSave,
         0,
         {},
         [](const World& w) {
             auto settings = savegame::readSettings(w.save());
             settings[static_cast<std::size_t>(savegame::Setting::Bank)] = "1,000";
             savegame::applySettings(w.save(), settings);
         }},
        // (A link to nowhere reads as a missing file; stored fields that hold no number are
        // hv check's rows in the formats test.)
        {"a missing roster",
         [](World& w) { fs::remove(w.path(kRoster)); },
         {{"roster", "list"}, {"roster", "add"}, {"trade", "Extreme", "ecw", "own"}},
         kRoster,
         0},
        {"an empty save game",
         [](World& w) { writeFile(w.path(kSave), ""); },
         {{"titles", "show"}, {"feuds", "set", "1=20"}, {"report", "--output", "r.html"}},
         kSave,
         1},
        {"an empty options.dat",
         [](World& w) { writeFile(w.work / "options.dat", ""); },
         {{"slots"}, {"roster", "add"}},
         "work/options.dat",
         0},
        {"an unreadable roster (a link to itself)",
         [](World& w) {
             fs::remove(w.path(kRoster));
             fs::create_symlink("yourfed.hv1", w.path(kRoster));
         },
         {{"roster", "list"}, {"roster", "add"}},
         kRoster,
         0},
        {"a folder where the roster should be",
         [](World& w) {
             fs::remove(w.path(kRoster));
             fs::create_directory(w.path(kRoster));
         },
         {{"roster", "list"}, {"roster", "add"}, {"trade", "Ace", "own", "ecw"}},
         kRoster,
         0},
        {"a folder where the export file should be",
         [](World& w) { fs::create_directory(w.work / "Ace.hve"); },
         {{"export", "Ace"}},
         "work/Ace.hve",
         0,
         {}},
        {"an export file whose lines do not all end in CR LF (a lone LF in a value)",
         [](World& w) { writeFile(w.work / "Bad.hve", crlf(withLine(wrestler("Lf"), 4, "1\n2"))); },
         {{"import", "Bad.hve"}, {"import", "Bad.hve", "--as", "X"}, {"preview", "Bad.hve"}},
         "work/Bad.hve",
         5,
         {"check", "Bad.hve"}},
        {"an export file with a lone CR in a value",
         [](World& w) { writeFile(w.work / "Bo.hve", crlf(withLine(wrestler("Bo"), 6, "1\r2"))); },
         {{"import", "Bo.hve", "--overwrite"}, {"preview", "Bo.hve"}},
         "work/Bo.hve",
         7,
         {"check", "Bo.hve"},
         [](const World& w) { exchange::overwriteWrestler(w.roster(), "Bo", w.work / "Bo.hve"); }},
        {"an export onto the file of another wrestler whose name gives the same file name",
         [](World& w) {
             w.setRoster("save1", {wrestler("A?"), wrestler("A*")});
             writeFile(w.work / "A_.hve", crlf(wrestler("A?")));
         },
         {{"export", "A*"}, {"export", "Ace", "--output", "A_.hve"}},
         "work/A_.hve",
         1,
         {}},
        {"a page or export file onto options.dat",
         [](World&) {},
         {{"report", "--output", "options.dat"}, {"export", "Ace", "--output", "options.dat"}},
         "work/options.dat",
         0,
         {}},
        {"a page or export file onto a file of the game folder, or a link to one",
         [](World& w) { fs::create_symlink(w.rosterFile(), w.work / "roster.html"); },
         {{"report", "--output", "roster.html"}, {"export", "Ace", "--output", "roster.html"}},
         "work/roster.html",
         0,
         {}},
        {"a saveslots.hv1 of two lines",
         [](World& w) {
             writeFile(w.game / "saveslots.hv1", crlf({"One", "Two"}));
         },
         {{"slots"}, {"fed", "set", "slotname=Mine"}},
         "Halvorn/saveslots.hv1",
         3},
        {"a save game of ten lines",
         [](World& w) { w.edit(kSave, [](std::string b) { return cut(b, 10); }); },
         {{"titles", "show"},
          {"titles", "set", "1=Bo"},
          {"feuds", "set", "1=20"},
          {"report", "--output", "r.html"}},
         kSave,
         11,
         {"check"},
         [](const World& w) { savegame::applyFeuds(w.save(), {}); }},
    };
}

TEST(BadInput, IsRefusedNamingTheFileAndLineAndChangesNothing) {
    for (const Refusal& row : refusals()) {
        World world;
        row.spoil(world);
        const auto before = world.files();
        const std::string place = problemText(world.path(row.file), row.line, "");
        for (const Args& args : row.commands) {
            const ProgramRun r = world.hv(args);
            EXPECT_EQ(r.code, 1) << row.what << ": " << args[0] << " " << r.err;
            EXPECT_EQ(r.out, "") << row.what;
            EXPECT_EQ(r.err.rfind(place, 0), 0u) << row.what << ": " << r.err;
            EXPECT_EQ(std::ranges::count(r.err, '\n'), 1) << row.what << ": " << r.err;
        }
        if (row.operation) {
            try {
                row.operation(world);
                ADD_FAILURE() << row.what << ": the operation took it";
            } catch (const GameFileError& e) {
                EXPECT_EQ(problemText(e.file(), e.line(), ""), place) << e.what();
            }
        }
        if (!row.check.empty()) {
            const ProgramRun check = world.hv(row.check);
            EXPECT_EQ(check.code, 1) << row.what;
            EXPECT_NE(check.out.find(place), std::string::npos) << row.what << ": " << check.out;
            EXPECT_EQ(std::ranges::count(check.out, '\n'), 1) << row.what << ": " << check.out;
        }
        EXPECT_EQ(world.files(), before) << row.what;
    }
}

// Inputs the editor takes: each command succeeds and the files hold exactly what they should.
TEST(BadInput, StrangeButValidInputIsKeptByteForByte) {
    World world;
    const Lines bo = wrestler("Bo");
    std::string every("\0", 1);
    for (int c = 0x80; c <= 0xFF; ++c)
        every.push_back(static_cast<char>(c));
    const Lines ace = withLine(wrestler("Ace"), 5, every + std::string(1 << 20, 'x'));
    const Lines markup = wrestler("<b>Bold</b> & \"co\""), odd = wrestler("../CON"),
                device = wrestler("lpt1"), signs = wrestler("a\\b:c*");
    world.setRoster("save1", {ace, bo, markup, odd, device, signs});
    // The roster reached through a link: changes go to the linked file, the link stays.
    const fs::path linked = world.root.path() / "elsewhere.hv1";
    fs::rename(world.rosterFile(), linked);
    fs::create_symlink(linked, world.rosterFile());

    for (const Args& args : {Args{"roster", "set", "Bo", "draw=1"},
                             {"export", "Ace"},
                             {"export", "../CON"},
                             {"export", "lpt1"},
                             {"export", "a\\b:c*"},
                             {"report", "--output", "page.html"},
                             {"check"}}) {
        const ProgramRun r = world.hv(args);
        EXPECT_EQ(r.code, 0) << args[1] << ": " << r.err;
    }
    EXPECT_NE(world.hv({"roster", "show", "Ace"}).out.find("description: " + every),
              std::string::npos);
    EXPECT_TRUE(fs::is_symlink(world.rosterFile()));
    EXPECT_EQ(readFile(linked),
              recordBytes({ace, withLine(bo, 1, "1"), markup, odd, device, signs}));
    for (const auto& [file, record] : {std::pair{"Ace.hve", ace},
                                       {".._CON.hve", odd},
                                       {"_lpt1.hve", device},
                                       {"a_b_c_.hve", signs}})
        EXPECT_EQ(readFile(world.work / file), crlf(record)) << file;
    const std::string page = readFile(world.work / "page.html");
    EXPECT_NE(page.find("&lt;b&gt;Bold&lt;/b&gt; &amp; &quot;co&quot;"), std::string::npos);
    EXPECT_EQ(page.find("<b>"), std::string::npos);
    std::set<std::string> work;
    for (const auto& entry : fs::directory_iterator(world.work))
        work.insert(entry.path().filename().string());
    EXPECT_EQ(work, (std::set<std::string>{".._CON.hve", "Ace.hve", "Bo.hve", "Dee.hve",
                                           "_lpt1.hve", "a_b_c_.hve", "options.dat", "page.html"}));
}

} // namespace
} // namespace hv::test
