#include "gamefiles/check.h"
#include "gamefiles/error.h"
#include "gamefiles/export_file.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/managers.h"
#include "gamefiles/options.h"
#include "gamefiles/records.h"
#include "gamefiles/save_game.h"
#include "gamefiles/slot_names.h"
#include "gamefiles/text.h"

#include "testsupport/rewrite_steps.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace hv::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

std::string rosterBytes(std::initializer_list<const char*> names) {
    std::string bytes;
    for (const char* n : names)
        bytes += crlf(wrestler(n, " 3 ", "2"));
    return bytes;
}

// Two-line records A1 A2, B1 B2, ... as a managers file holds them.
std::string pairs(std::string_view letters) {
    std::string bytes;
    for (char c : letters)
        bytes += std::string(1, c) + "1\r\n" + std::string(1, c) + "2\r\n";
    return bytes;
}

ManagerRecord pair(char c) {
    return ManagerRecord{{std::string(1, c) + "1", std::string(1, c) + "2"}, 0};
}

TEST(LineRead, KeepsEverythingButTheLineEnd) {
    for (auto [bytes, lines] :
         {std::pair<std::string_view, Lines>{"a, \"b\"\r\n  c  \r\n", {"a, \"b\"", "  c  "}},
          {"a\nb\r\nc", {"a", "b", "c"}}, // LF only, no final end
          {"\r\n\r\nx\r\n", {"", "", "x"}},
          {"a\rb\r\n", {"a\rb"}}, // a lone CR is data
          {"caf\xe9\x81\r\n", {"caf\xe9\x81"}},
          {"", {}},
          {"\r\n", {""}}})
        EXPECT_EQ(splitLines(bytes), lines) << bytes;
}

TEST(FieldRead, SplitsAtCommasTrimsBlanksAndDropsQuotes) {
    for (auto [bytes, fields] :
         {std::pair<std::string_view, Lines>{"C:\\Games\\HV,rest\r\n", {"C:\\Games\\HV", "rest"}},
          {"   lead and trail   \r\n", {"lead and trail"}},
          {"a,,b\r\n", {"a", "", "b"}},
          {"a,\r\nb\r\n", {"a", "", "b"}},
          {"x\ny", {"x", "y"}}, // LF only and no final line end
          {"\r\n\r\nm\r\n", {"", "", "m"}},
          {"\"Smith, John\" , next\r\n", {"Smith, John", "next"}},
          {"  \" padded \"\r\n", {" padded "}},
          {"\"tail\"junk,b\r\n", {"tail", "b"}},
          {"\"unclosed, still\r\nx\r\n", {"unclosed, still", "x"}},
          {"say \"hi\"\r\n", {"say \"hi\""}}}) { // not at the start
        Lines read;
        for (FieldReader r(bytes); !r.atEnd();)
            read.push_back(r.next());
        EXPECT_EQ(read, fields) << bytes;
    }
}

TEST(NumberLines, WrittenWithSignAndTrailingBlankAndComparedAsNumbers) {
    EXPECT_EQ(numberLine(3) + numberLine(0) + numberLine(-2) + numberLine(33023),
              " 3  0 -2  33023 ");
    for (const char* text : {"3", " 3", " 3 ", "3 ", "\t3", "+3"})
        EXPECT_EQ(parseNumber(text), 3) << text;
    EXPECT_EQ(parseNumber("-2 "), -2);
    for (const char* text : {"", "  ", "abc", "3a", "3 4", "-", "1.5", "99999999999999999999"})
        EXPECT_FALSE(parseNumber(text).has_value()) << text;
    EXPECT_TRUE(hasLineBreak("a\r") && hasLineBreak("a\nb") && !hasLineBreak("a b"));
}

TEST(GameFolderLayout, EverySpellingReachesTheSameFileAndNewFilesTakeTheFirst) {
    TempDir dir;
    const fs::path game = dir.path(), roster = game / "save1/controlled/YourFed.HV1";
    writeFile(roster, "x");
    writeFile(game / "save1/background/wwf.hv1", "w");
    for (std::string_view spelling : {"/Controlled/yourfed.hv1", "/controlled/yourfed.hv1",
                                      "\\controlled\\yourfed.hv1", "\\Controlled/YOURFED.hv1"})
        EXPECT_EQ(resolveBelow(game / "save1", spelling), roster) << spelling;
    EXPECT_EQ(resolveBelow(game, "SAVE1\\Background\\wwf.hv1"), game / "save1/background/wwf.hv1");
    EXPECT_EQ(slotFilePath(game.string(), "save1", GameFile::Roster), roster);
    EXPECT_TRUE(isSlotName("save4"));
    EXPECT_FALSE(isSlotName("save5") || isSlotName("Save1"));

#ifndef _WIN32 // Windows holds one folder for all three spellings
    // An exact match wins, or else the first of the sorted case-insensitive matches.
    for (const char* folder : {"backGround", "bACKGROUND", "BackGround"})
        writeFile(game / "x" / folder / "b.hv1", "");
    EXPECT_EQ(resolveBelow(game, "x/bACKGROUND/b.hv1"), game / "x/bACKGROUND/b.hv1");
    EXPECT_EQ(resolveBelow(game, "x/BACKGROUND/b.hv1"), game / "x/BackGround/b.hv1");
#endif

    // A file not there yet takes the first spelling, or that of a folder already there.
    fs::create_directories(game / "save2");
    EXPECT_EQ(slotFilePath(game.string(), "save2", GameFile::Roster),
              game / "save2/Controlled/yourfed.hv1");
    EXPECT_EQ(slotTempPath(game.string(), "save2", GameFile::WcwManagers),
              game / "save2/background/temp");
    fs::create_directories(game / "save2/CONTROLLED");
    EXPECT_EQ(slotTempPath(game.string(), "save2", GameFile::Roster),
              game / "save2/CONTROLLED/yourfed.tmp");
}

TEST(Check, ReportsEachProblemWithFileAndLine) {
    // A clean folder gives nothing: the sample game's hv check and the catalogue show that.
    GameWorld world("WCW");
    // Carder, injury and value no numbers; an empty number field is the blank wrestler's.
    world.setRoster("save3", {withLine(withLine(wrestler("C", "upper", "x"), 4, "1.5"), 18, " ")});
    writeFile(world.slotFile("save3", "Background/ecw.hv1"),
              recordBytes({withLine(rivalWrestler("E"), 1, "many")}));
    std::filesystem::remove_all(world.game / "save4");
    const auto save3 = world.slotFile("save3", "Saved Game/save1.hv1");
    Lines save = splitLines(readFile(save3));
    save[6] = "$5";       // the bank
    save[21] = " 10601 "; // feud 1's level, above the top
    writeFile(save3, crlf(save));
    std::vector<std::string> found;
    for (const auto& p : checkGameFolder(world.game.string()))
        found.push_back(std::filesystem::relative(p.file, world.game).generic_string() + ":" +
                        std::to_string(p.line));
    std::sort(found.begin(), found.end());
    // Cut and short files are rows of the bad-input catalogue, which runs hv check too.
    EXPECT_EQ(found,
              (std::vector<std::string>{
                  "save3/Background/ecw.hv1:2", "save3/Controlled/yourfed.hv1:12",
                  "save3/Controlled/yourfed.hv1:5", "save3/Controlled/yourfed.hv1:7",
                  "save3/Saved Game/save1.hv1:22", "save3/Saved Game/save1.hv1:7", "save4:0"}));
}

TEST(RecordFile, NamesFindAndRecordsSkipPlaceholders) {
    std::string bytes = rosterBytes({"Alpha", "name", "Twin", "twin", "Twin", " name"});
    bytes.replace(bytes.find("50", bytes.rfind("Twin\r\n")), 2, "99"); // second Twin's draw
    const RecordFile<WrestlerRecord> file(bytes, "yourfed.hv1");
    ASSERT_EQ(file.size(), 6u);
    EXPECT_FALSE(file.findFirst("Twin "));
    const WrestlerRecord r = file.record(4);
    EXPECT_EQ(r.firstLine, 77u);
    EXPECT_EQ(r.lines[WrestlerRecord::Draw], "99");
    EXPECT_EQ(file.line(4, WrestlerRecord::Carder), " 3 ");
    EXPECT_EQ(file.text(0), crlf(wrestler("Alpha", " 3 ", "2")));
    // Managers have no placeholders.
    EXPECT_EQ(ManagersFile(crlf({"name", "m"}), "m").names(), std::vector<std::string>{"name"});
}

TEST(RecordFile, AFileCutInsideARecordNamesFileAndLine) {
    struct Case {
        std::size_t lines; // of a record
        std::string bytes;
        std::size_t missingLine;
        const char* words;
    };
    for (const Case& c : std::initializer_list<Case>{
             {19, rosterBytes({"Alpha"}) + crlf({"Beta", "1", "2", "3", "4"}), 25,
              "record starting at line 20 has only 5 of 19 lines"},
             {2, crlf({"Jim", "m", "Lonely"}), 4, "record starting at line 3 has only 1 of 2"},
             {2, "Jim\r\nm\r\nLonely", 4, "record starting at line 3 has only 1 of 2"},
         }) {
        try {
            RecordBytes(FileBytes(c.bytes), "save1/Background/x.hv1", c.lines);
            ADD_FAILURE() << c.words;
        } catch (const GameFileError& e) {
            EXPECT_EQ(e.file(), "save1/Background/x.hv1");
            EXPECT_EQ(e.line(), c.missingLine) << c.words;
            EXPECT_NE(e.problem().find(c.words), std::string::npos) << e.problem();
        }
    }
}

TEST(RecordFile, EditsCopyUntouchedRunsWholeAndWriteByteExactResults) {
    struct Case {
        const char* what;
        void (*edit)(ManagersFile&);
        std::string expected;
        std::size_t pieces;
    };
    const Case cases[] = {
        {"replace", [](ManagersFile& f) { f.replace(2, pair('X')); }, pairs("ABXDE"), 3},
        {"drop first and last", [](ManagersFile& f) { f.drop(0), f.drop(4); }, pairs("BCD"), 1},
        {"swap up", [](ManagersFile& f) { f.swap(2, 1); }, pairs("ACBDE"), 4},
        {"swap last two", [](ManagersFile& f) { f.swap(3, 4); }, pairs("ABCED"), 3},
        {"append", [](ManagersFile& f) { f.append(pair('F')); }, pairs("ABCDEF"), 2},
        {"all at once",
         [](ManagersFile& f) {
             f.drop(1), f.replace(3, pair('Y')), f.append(pair('Z')), f.append(pair('W'));
         },
         pairs("ACYEZW"), 6},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const fs::path path = dir.path() / "wwfmanagers.hv1";
        writeFile(path, pairs("ABCDE"));
        ManagersFile file = ManagersFile::read(path);
        c.edit(file);
        EXPECT_EQ(file.pieces().size(), c.pieces) << c.what;
        file.saveWithoutRestorePoint("temp");
        EXPECT_EQ(readFile(path), c.expected) << c.what;
        EXPECT_FALSE(fs::exists(dir.path() / "temp")) << c.what;
    }

    // Without an edit nothing is written: the bare LF ends would come back as CR LF.
    TempDir dir;
    const fs::path path = dir.path() / "ecw.hv1";
    writeFile(path, "A1\nA2\n");
    ManagersFile::read(path).saveWithoutRestorePoint("ecw.tmp");
    EXPECT_EQ(readFile(path), "A1\nA2\n");
    EXPECT_EQ(snapshot(dir.path()).size(), 1u);
}

TEST(RecordFile, LineEndsAreNormalisedSoNothingIsGluedOn) {
    struct Case {
        std::string bytes;
        std::string expected; // after appending "C1", "C2"
    };
    for (const Case& c : std::initializer_list<Case>{
             {"A1\r\nA2\r\nB1\r\nB2\r\n", pairs("ABC")},
             {"A1\nA2\nB1\nB2\n", pairs("ABC")},
             {"A1\r\nA2\r\nB1\r\nB2", pairs("ABC")},
             {"A1\r\nA2\nB1\r\nB2", pairs("ABC")},
             {"", pairs("C")},
             {"A\r1\r\nA2\r\n", "A\r1\r\nA2\r\nC1\r\nC2\r\n"}, // a lone CR is part of its line
             // Long enough to be scanned in blocks: a CR LF across a block boundary, a bare LF
             // inside a later block.
             {"0123456789abcde\r\nA2\r\n", "0123456789abcde\r\nA2\r\nC1\r\nC2\r\n"},
             {"0123456789abcde\r\nA2\nB1\r\n0123456789ab\r\n",
              "0123456789abcde\r\nA2\r\nB1\r\n0123456789ab\r\nC1\r\nC2\r\n"},
         }) {
        ManagersFile file(c.bytes, "m");
        file.append(pair('C'));
        std::string out;
        for (auto piece : file.pieces())
            out += piece;
        EXPECT_EQ(out, c.expected) << c.bytes;
    }
}

TEST(SaveGameFormat, HeaderRewrittenAndTheRestKeptVerbatim) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 30; ++i)
        lines.push_back("line " + std::to_string(i));
    lines[1] = "WCW";
    const std::string rest = "opaque\r\nlf only\nno end";
    const std::string bytes = crlf(lines) + rest;
    const SaveHeader h = parseSaveGame(bytes, "save1.hv1");
    EXPECT_EQ(h.line(SaveHeader::Federation), "WCW");
    EXPECT_EQ(h.rest, rest);
    EXPECT_EQ(serializeSaveGame(h), bytes);

    // Exactly 30 lines stay 30 lines.
    EXPECT_EQ(serializeSaveGame(parseSaveGame(crlf(lines), "f")), crlf(lines));
}

TEST(SmallFormats, ExportSlotNamesFederationAndManagerNames) {
    // An export file is written back as read (what follows its record is the import's test).
    const std::string one = crlf(wrestler("Exported"));
    EXPECT_EQ(serializeExportFile(parseExportFile(one, "x.hve")), one);

    // Slot names (fewer than four lines is a row of the bad-input catalogue).
    auto names = parseSaveSlotNames(crlf({"A", "", "No Saved Game", "D", "extra"}), "s");
    EXPECT_EQ(names.names[1], "");
    EXPECT_EQ(names.names[2], kNoSavedGame);

    TempDir dir;
    const fs::path save = dir.path() / "save1.hv1";
    writeFile(save, crlf({"Boss, The", " \"WWF\" ", "Monday"}));
    EXPECT_EQ(readFederationName(save), "WWF"); // a comma on line 1 does not shift it
    writeFile(save, crlf({"Boss"}));
    EXPECT_THROW(readFederationName(save), GameFileError);

    // Manager names are what the field read gives.
    writeFile(save, crlf({"  Jim Manager ", "m", "\"Quoted, Name\"", "f"}));
    EXPECT_EQ(managerNames(save), (std::vector<std::string>{"Jim Manager", "Quoted, Name"}));
}

TEST(OptionsFile, GameFolderIsTheFirstFieldAndChangingItKeepsTheRestByteForByteOrRefuses) {
    TempDir dir;
    const fs::path options = dir.path() / "options.dat";
    EXPECT_THROW(readGameFolder(dir.path()), GameFileError); // missing
    writeFile(options, crlf({"C:\\Games\\HV,old", "page.html"}));
    EXPECT_EQ(readGameFolder(dir.path()), "C:\\Games\\HV");

    struct Case {
        const char* old; // nullptr: no options.dat yet
        const char* kept;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"C:\\HV,old\n\"a, b\" \r\n\r\n", "\"a, b\" \r\n\r\n"},
             {"only line 1", ""},
             {"", ""},
             {nullptr, ""},
         }) {
        fs::remove(options);
        if (c.old)
            writeFile(options, c.old);
        changeGameFolder(dir.path(), "/games/halvorn");
        EXPECT_EQ(readFile(options), std::string("/games/halvorn\r\n") + c.kept) << c.kept;
    }

    // Folders the field read would cut are quoted; those it cannot give back are refused.
    for (auto [folder, line1] : std::initializer_list<std::pair<const char*, const char*>>{
             {"/games/in side", "/games/in side"},
             {" /games/lead", "\" /games/lead\""},
             {"/games/trail\t", "\"/games/trail\t\""},
         }) {
        writeFile(options, crlf({"old", "kept"}));
        changeGameFolder(dir.path(), folder);
        EXPECT_EQ(readFile(options), crlf({line1, "kept"}));
        EXPECT_EQ(readGameFolder(dir.path()), folder);
    }

    const std::string before = crlf({"/games/halvorn", "Title, with comma"});
    writeFile(options, before);
    for (const char* folder : {"/games/say \"hi\"", "/games/a\nb", "/games/a\rb", ""}) {
        EXPECT_THROW(changeGameFolder(dir.path(), folder), OperationRefused) << folder;
        EXPECT_EQ(readFile(options), before);
        EXPECT_FALSE(fs::exists(dir.path() / "temp"));
    }
}

#ifndef _WIN32 // the base-directory rules are the free desktops'
// An options.dat in the working folder wins; otherwise the user's configuration folder as the
// base-directory rules name it (a relative XDG_CONFIG_HOME does not count).
TEST(OptionsFile, FolderIsTheWorkingOneWithOptionsDatElseTheUsersConfiguration) {
    TempDir dir;
    const fs::path with = dir.path() / "with", without = dir.path() / "without";
    fs::create_directories(without);
    writeFile(with / "options.dat", "C:\\HV\r\n");
    struct Case {
        fs::path work;
        const char* xdg;
        const char* home;
        fs::path expected;
    };
    for (const Case& c : std::initializer_list<Case>{
             {with, "/cfg", "/home/u", with},
             {with, nullptr, nullptr, with},
             {without, "/cfg", "/home/u", "/cfg/hv-editor"},
             {without, nullptr, "/home/u", "/home/u/.config/hv-editor"},
             {without, "", "/home/u", "/home/u/.config/hv-editor"},
             {without, "cfg", "/home/u", "/home/u/.config/hv-editor"},
             {without, nullptr, "", without},
         })
        EXPECT_EQ(optionsFolderFor(c.work, userSettingsFolder(c.xdg, c.home)), c.expected)
            << c.work << " " << (c.xdg ? c.xdg : "unset");
}
#endif

// The settings stay beside the program while a rewrite can put its files there; a folder
// that refuses them (read-only, missing) moves them to the user's folder, which is made.
TEST(OptionsFile, SettingsStayBesideTheProgramOnlyWhereARewriteCanWrite) {
    TempDir dir;
    const fs::path program = dir.path() / "program", user = dir.path() / "user" / "HV";
    fs::create_directories(program);
    writeFile(program / "options.dat", "C:\\HV\r\n");
    struct Case {
        std::optional<RewriteStep> failing;
        fs::path folder;
        fs::path expected;
    };
    for (const Case& c : std::initializer_list<Case>{
             {std::nullopt, program, program},
             {RewriteStep::Create, program, user},
             {RewriteStep::Sync, program, user},
             {std::nullopt, dir.path() / "missing", user},
         }) {
        fs::remove_all(dir.path() / "user");
        {
            std::optional<RewriteStepFailure> failure;
            if (c.failing)
                failure.emplace(*c.failing, 1);
            EXPECT_EQ(settingsFolder(c.folder, user), c.expected);
        }
        EXPECT_EQ(fs::is_directory(user), c.expected == user);
        EXPECT_EQ(snapshot(program), (std::vector<std::pair<std::string, std::string>>{
                                         {"options.dat", "C:\\HV\r\n"}}));
    }
}

} // namespace
} // namespace hv::test
