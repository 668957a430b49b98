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

namespace {
std::string rosterBytes(std::initializer_list<const char*> names) {
    std::string bytes;
    for (const char* n : names)
        bytes += crlf(hv::test::wrestler(n, " 3 ", "2"));
    return bytes;
}
} // namespace

TEST(RosterFormat, RoundTripKeepsPlaceholdersInPlace) {
    const std::string bytes = rosterBytes({"Alpha", "name", "Beta"});
    auto records = parseRecords<WrestlerRecord>(bytes, "yourfed.hv1");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_TRUE(records[1].isPlaceholder());
    EXPECT_EQ(records[2].firstLine, 39u);
    EXPECT_EQ(listNames(records), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(serializeRecords(records), bytes);
}

TEST(RosterFormat, EmptyFileAndOddNames) {
    EXPECT_TRUE(parseRecords<WrestlerRecord>("", "f").empty());
    auto records = parseRecords<WrestlerRecord>(rosterBytes({"Name", " name", "name "}), "f");
    EXPECT_EQ(listNames(records).size(), 3u); // only exactly "name" is a placeholder
}

TEST(RosterFormat, FindFirstIsExactAndTakesTheFirst) {
    auto bytes = rosterBytes({"Twin", "twin", "Twin"});
    auto records = parseRecords<WrestlerRecord>(bytes, "f");
    records[2].lines[WrestlerRecord::Draw] = "99";
    const WrestlerRecord* found = findFirstByName(records, "Twin");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->lines[WrestlerRecord::Draw], "50");
    EXPECT_EQ(findFirstByName(records, "Twin "), nullptr);
}

TEST(RosterFormat, TruncatedFileNamesFileAndLine) {
    std::string bytes = rosterBytes({"Alpha", "Beta"});
    bytes.resize(bytes.size() - 30); // cut into Beta's last lines
    try {
        parseRecords<WrestlerRecord>(bytes, "save1/Controlled/yourfed.hv1");
        FAIL();
    } catch (const GameFileError& e) {
        EXPECT_EQ(e.file(), "save1/Controlled/yourfed.hv1");
        EXPECT_GT(e.line(), 20u);
        EXPECT_NE(e.problem().find("ends inside a record"), std::string::npos);
    }
}

TEST(RosterFormat, CodesShownAsWords) {
    EXPECT_EQ(carderName("3"), "Upper Carder");
    EXPECT_EQ(carderName(" 2 "), "Middle Carder");
    EXPECT_EQ(carderName("1"), "Lower Carder");
    EXPECT_EQ(carderName("4"), "");
    EXPECT_EQ(carderName("x"), "");
    EXPECT_EQ(carderCode("Upper Carder"), 3);
    EXPECT_FALSE(carderCode("upper carder"));
    EXPECT_EQ(finisherTypeName("p"), "Power Move");
    EXPECT_EQ(finisherTypeName("P"), ""); // exact
    EXPECT_EQ(finisherTypeCode("Submission"), "s");
}

TEST(RosterFormat, BlankWrestlerAndInjuryWeeks) {
    std::string bytes;
    appendRecord(bytes, blankWrestler());
    EXPECT_EQ(bytes, crlf(hv::test::blankWrestlerLines()));
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

TEST(RivalFormat, SixteenLineRecords) {
    std::vector<std::string> rec = {"Rival", "1",    "2",   "3",  "4",    "d", "2",        " 7 ",
                                    "Alter", "Heel", "Fin", "no", "Pipe", "s", "Hardcore", "9"};
    const std::string bytes = crlf(rec) + crlf(rec);
    auto records = parseRecords<OtherFedRecord>(bytes, "ecw.hv1");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].lines[OtherFedRecord::AlterEgo], "Alter");
    EXPECT_EQ(serializeRecords(records), bytes);
    EXPECT_THROW(parseRecords<OtherFedRecord>(crlf(rec) + "x\r\n", "ecw.hv1"), GameFileError);
    EXPECT_EQ(OtherBigFed("WWF"), "WCW");
    EXPECT_EQ(OtherBigFed("WCW"), "WWF");
    EXPECT_FALSE(OtherBigFed("wwf"));
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

TEST(ManagersFormat, FieldReadPairs) {
    auto managers = parseManagers(crlf({"  Jim Manager ", "m", "\"Quoted\"", "f"}), "m.hv1");
    ASSERT_EQ(managers.size(), 2u);
    EXPECT_EQ(managers[0].name, "Jim Manager");
    EXPECT_EQ(managers[1].name, "Quoted");
    EXPECT_EQ(serializeManagers(managers), crlf({"Jim Manager", "m", "Quoted", "f"}));
    EXPECT_TRUE(parseManagers("", "m.hv1").empty());
    EXPECT_THROW(parseManagers(crlf({"Lonely"}), "m.hv1"), GameFileError);
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

TEST(OptionsFile, GameFolderIsTheFirstFieldAndChangingItKeepsTheRest) {
    TempDir dir;
    const fs::path options = dir.path() / "options.dat";
    EXPECT_THROW(readGameFolder(dir.path()), GameFileError); // missing
    writeFile(options, "");
    EXPECT_THROW(readGameFolder(dir.path()), GameFileError); // empty

    writeFile(options, crlf({"C:\\Games\\HV,old", "page.html", "Title, with comma", "Black"}));
    EXPECT_EQ(readGameFolder(dir.path()), "C:\\Games\\HV");

    changeGameFolder(dir.path(), "/games/halvorn");
    // The old first value is dropped and every later field gets a line of its own.
    EXPECT_EQ(readFile(options),
              crlf({"/games/halvorn", "old", "page.html", "Title", "with comma", "Black"}));
    EXPECT_FALSE(fs::exists(dir.path() / "temp"));

    fs::remove(options);
    changeGameFolder(dir.path(), "/first/run");
    EXPECT_EQ(readFile(options), crlf({"/first/run"}));
}

TEST(RosterFormat, ScanningNamesAgreesWithParsing) {
    std::string bytes = rosterBytes({"name", "Alpha", "Name", "name", "Beta"});
    EXPECT_EQ(scanNames<WrestlerRecord>(bytes, "f"),
              listNames(parseRecords<WrestlerRecord>(bytes, "f")));
    bytes.resize(bytes.size() - 5);
    EXPECT_THROW(scanNames<WrestlerRecord>(bytes, "f"), GameFileError);
    EXPECT_TRUE(scanNames<OtherFedRecord>("", "f").empty());
}
