#include "gamefiles/error.h"
#include "gamefiles/export_file.h"
#include "gamefiles/managers.h"
#include "gamefiles/options.h"
#include "gamefiles/records.h"
#include "gamefiles/save_game.h"
#include "gamefiles/slot_names.h"

#include "testsupport/test_support.h"

#include <gtest/gtest.h>

using namespace hv;
using hv::test::crlf;
using hv::test::readFile;
using hv::test::TempDir;
using hv::test::writeFile;
namespace fs = std::filesystem;

TEST(RosterFormat, InjuryWeeksBlankIsNoneOtherTextNamesTheLine) {
    WrestlerRecord r = blankWrestler();
    r.firstLine = 20;
    for (auto [text, weeks] : {std::pair{"0", 0}, {" 0 ", 0}, {"", 0}, {" 5", 5}}) {
        r.lines[WrestlerRecord::Injury] = text;
        EXPECT_EQ(injuryWeeks(r, "f"), weeks) << text;
    }
    r.lines[WrestlerRecord::Injury] = "two";
    try {
        injuryWeeks(r, "f");
        FAIL();
    } catch (const GameFileError& e) {
        EXPECT_EQ(e.line(), 31u);
    }
}

TEST(RivalFormat, OtherBigFedIsExact) {
    EXPECT_EQ(OtherBigFed("WWF"), "WCW");
    EXPECT_EQ(OtherBigFed("WCW"), "WWF");
    EXPECT_FALSE(OtherBigFed("wwf"));
    EXPECT_FALSE(OtherBigFed("ECW"));
}

TEST(SaveGameFormat, HeaderRewrittenAndTheRestKeptVerbatim) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 30; ++i)
        lines.push_back("line " + std::to_string(i));
    lines[1] = "WCW";
    const std::string rest = "opaque\r\nlf only\nno end";
    const std::string bytes = crlf(lines) + rest;
    SaveHeader h = parseSaveGame(bytes, "save1.hv1");
    EXPECT_EQ(h.line(SaveHeader::Federation), "WCW");
    EXPECT_EQ(h.rest, rest);
    EXPECT_EQ(serializeSaveGame(h), bytes);

    h.line(SaveHeader::Title1) = "Vacant";
    std::string changed = serializeSaveGame(h);
    lines[7] = "Vacant";
    EXPECT_EQ(changed, crlf(lines) + rest);

    // Exactly 30 lines stay 30 lines.
    EXPECT_EQ(serializeSaveGame(parseSaveGame(crlf(lines), "f")), crlf(lines));
}

TEST(SaveGameFormat, ShortFileAndFederationName) {
    TempDir dir;
    const fs::path file = dir.path() / "save1.hv1";
    writeFile(file, crlf({"Boss, The", " \"WWF\" ", "Monday"}));
    EXPECT_EQ(readFederationName(file), "WWF"); // a comma on line 1 does not shift it
    try {
        readSaveGame(file);
        FAIL();
    } catch (const GameFileError& e) {
        EXPECT_EQ(e.file(), file);
        EXPECT_NE(e.problem().find("too short"), std::string::npos);
    }
    writeFile(file, crlf({"Boss"}));
    EXPECT_THROW(readFederationName(file), GameFileError);
}

TEST(ExportFormat, OnlyTheFirstNineteenLines) {
    const std::string one = crlf(hv::test::wrestler("Exported"));
    EXPECT_EQ(parseExportFile(one + "extra\r\n", "x.hve").name(), "Exported");
    EXPECT_EQ(serializeExportFile(parseExportFile(one, "x.hve")), one);
    EXPECT_THROW(parseExportFile(crlf({"a", "b"}), "x.hve"), GameFileError);
}

TEST(SlotNamesFormat, FourLinesNeeded) {
    auto names = parseSaveSlotNames(crlf({"A", "", "No Saved Game", "D", "extra"}), "s");
    EXPECT_EQ(names.names[1], "");
    EXPECT_EQ(names.names[2], kNoSavedGame);
    EXPECT_THROW(parseSaveSlotNames(crlf({"A", "B", "C"}), "s"), GameFileError);
    TempDir dir;
    EXPECT_THROW(readSaveSlotNames((dir.path() / "nowhere").string()), GameFileError);
}

TEST(OptionsFile, GameFolderIsTheFirstFieldAndChangingItKeepsTheRestByteForByte) {
    TempDir dir;
    const fs::path options = dir.path() / "options.dat";
    EXPECT_THROW(readGameFolder(dir.path()), GameFileError); // missing
    writeFile(options, "");
    EXPECT_THROW(readGameFolder(dir.path()), GameFileError); // empty
    writeFile(options, crlf({"C:\\Games\\HV,old", "page.html"}));
    EXPECT_EQ(readGameFolder(dir.path()), "C:\\Games\\HV");

    struct Case {
        const char* old; // nullptr: no options.dat yet
        const char* kept;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"old\r\nTitle, with comma\r\nx\ny", "Title, with comma\r\nx\ny"},
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
        EXPECT_FALSE(fs::exists(dir.path() / "temp"));
    }
}

TEST(OptionsFile, FoldersTheFieldReadWouldCutAreQuotedAndReadBackWhole) {
    TempDir dir;
    const fs::path options = dir.path() / "options.dat";
    for (auto [folder, line1] : std::initializer_list<std::pair<const char*, const char*>>{
             {"/games/in side", "/games/in side"},
             {"/games/a,b", "\"/games/a,b\""},
             {" /games/lead", "\" /games/lead\""},
             {"/games/trail\t", "\"/games/trail\t\""},
         }) {
        writeFile(options, crlf({"old", "kept"}));
        changeGameFolder(dir.path(), folder);
        EXPECT_EQ(readFile(options), crlf({line1, "kept"}));
        EXPECT_EQ(readGameFolder(dir.path()), folder);
    }
}

TEST(OptionsFile, FoldersTheFieldReadCannotGiveBackAreRefusedWithoutWriting) {
    TempDir dir;
    const fs::path options = dir.path() / "options.dat";
    const std::string before = crlf({"/games/halvorn", "Title, with comma"});
    writeFile(options, before);
    for (const char* folder : {"/games/say \"hi\"", "/games/a\nb", "/games/a\rb", ""}) {
        EXPECT_THROW(changeGameFolder(dir.path(), folder), OperationRefused) << folder;
        EXPECT_EQ(readFile(options), before);
        EXPECT_FALSE(fs::exists(dir.path() / "temp"));
    }
}
