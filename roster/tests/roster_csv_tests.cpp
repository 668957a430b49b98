#include "roster/roster_ops.h"

#include "gamefiles/csv.h"
#include "gamefiles/error.h"
#include "gamefiles/merge.h"
#include "gamefiles/restore.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace hv::roster {
namespace {

using namespace hv::test;
using Lines = std::vector<std::string>;
using Line = WrestlerRecord::Line;

// Every byte but NUL, CR and LF, commas and quotes among them.
std::string allBytes() {
    std::string s;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            s.push_back(static_cast<char>(b));
    return s;
}

// How a spreadsheet program may write the rows back.
struct Resave {
    bool bom = true;
    std::string lineEnd = "\r\n";
    enum { AsNeeded, All, None } quote = AsNeeded;
    bool trimNumbers = false; // " 55 " saved as 55
    bool finalLineEnd = true;
    bool sorted = false; // rows in another order
};

std::string write(const std::vector<CsvRow>& rows, const Resave& how) {
    std::string out = how.bom ? std::string(kUtf8Bom) : "";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        CsvRow row = rows[how.sorted && r > 0 ? rows.size() - r : r];
        if (how.trimNumbers)
            for (auto& cell : row)
                if (parseNumber(cell))
                    std::erase(cell, ' ');
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0)
                out += ',';
            if (how.quote == Resave::None && row[c].find_first_of(",\"\r\n") == std::string::npos)
                out += row[c];
            else
                appendCsvCell(out, row[c], how.quote == Resave::All);
        }
        if (r + 1 < rows.size() || how.finalLineEnd)
            out += how.lineEnd;
    }
    return out;
}

class RosterCsv : public ::testing::Test {
protected:
    RosterCsv() { world.setRoster("save1", {p, a, b}); }
    std::vector<CsvRow> rows() { return parseCsv(rosterCsv(roster), csv); }
    RosterChanges import(const std::string& text, bool dryRun = false) {
        writeFile(csv, text);
        return importRosterCsv(roster, csv, dryRun);
    }
    std::size_t points() { return listRestorePoints(world.game, "save1").size(); }

    GameWorld world;
    RosterFile roster{world.game.string(), "save1"};
    TempDir elsewhere; // apart from the world, whose files must not change
    std::filesystem::path csv = elsewhere.path() / "roster.csv";
    const Lines p = placeholderWrestler();
    // Blanks around numbers, and text a spreadsheet would take for a number or a date.
    const Lines a = withLine(withLine(wrestler("A", " 2 ", " 0 "), Line::Description, allBytes()),
                             Line::Retirement, "");
    const Lines b =
        withLine(withLine(wrestler("B"), Line::Description, "007"), Line::Contract, "5/1999");
};

TEST_F(RosterCsv, WhatSpreadsheetsDoOnSavingIsNoChange) {
    const std::vector<CsvRow> exported = rows();
    ASSERT_EQ(exported.size(), 4u);
    const Resave plain;
    for (const Resave& how : std::vector<Resave>{
             plain,
             {.bom = false},
             {.lineEnd = "\n"},
             {.lineEnd = "\r"},
             {.quote = Resave::All},
             {.quote = Resave::None},
             {.trimNumbers = true},
             {.finalLineEnd = false},
             {.sorted = true},
             {false, "\n", Resave::None, true, false},
         }) {
        const auto before = world.files();
        EXPECT_EQ(changesText(import(write(exported, how)), false), "0 changes\n");
        EXPECT_EQ(world.files(), before);
    }
    EXPECT_EQ(changesText(import(rosterCsv(roster)), false), "0 changes\n");
}

TEST_F(RosterCsv, EveryByteCrossesAndChangedCellsAreWrittenInOneChange) {
    std::vector<CsvRow> edited = rows();
    edited[3][6] = edited[2][6];   // A's description, every byte, to B
    edited[2][2] = " 61";          // draw, written as the game writes numbers
    edited[3][1] = "B\xC3\xA9";    // a rename, é as UTF-8
    edited[3][7] = "Upper Carder"; // carder as words
    edited[3][17] = "Submission";  // finisher type as words
    const std::string text = write(edited, {.bom = false, .lineEnd = "\n"});

    const auto before = world.files();
    const std::string plan = changesText(import(text, true), true);
    EXPECT_EQ(plan, "A\tdraw: 50 ->  61 \nB\tname: B -> B\xE9\nB\tdescription: 007 -> " +
                        allBytes() +
                        "\nB\tcarder: 2 ->  3 \nB\tfinishertype: p -> s\n"
                        "2 wrestlers would change\n");
    EXPECT_EQ(world.files(), before);

    EXPECT_EQ(changesText(import(text), false),
              plan.substr(0, plan.find("2 wrestlers")) + "2 wrestlers changed\n");
    Lines newB = withLine(withLine(b, Line::Name, "B\xE9"), Line::Description, allBytes());
    newB[Line::Carder] = " 3 ";
    newB[Line::FinisherType] = "s";
    EXPECT_EQ(world.roster(), recordBytes({p, withLine(a, Line::Draw, " 61 "), newB}));
    EXPECT_EQ(points(), 1u);
    EXPECT_EQ(changesText(import(text), false), "0 changes\n");
}

// The roster moves on after the export (another program, `hv roster set`, a trade): the sheet
// writes only what it changed, into the wrestler it was, and stops at what both changed.
TEST_F(RosterCsv, ASheetIsMergedWithWhatChangedSinceItsExport) {
    const std::vector<CsvRow> exported = rows();
    const auto sheet = [&](std::initializer_list<std::tuple<int, int, const char*>> cells) {
        std::vector<CsvRow> edited = exported;
        for (auto [row, column, text] : cells)
            edited[row][column] = text;
        return write(edited, {});
    };
    // Since: B moved up (past A), A's morale and C added, placeholder dropped.
    const Lines a2 = withLine(a, Line::Morale, "99"), c = wrestler("C");
    world.setRoster("save1", {b, a2, c});
    const auto since = world.files();
    EXPECT_EQ(changesText(import(sheet({})), false), "0 changes\n");
    EXPECT_EQ(world.files(), since);

    // B's draw (row 4) into B; A's morale cell, untouched, leaves the 99.
    EXPECT_EQ(changesText(import(sheet({{3, 2, "7"}})), false),
              "B\tdraw: 50 ->  7 \n1 wrestler changed\n");
    const Lines b2 = withLine(b, Line::Draw, " 7 ");
    EXPECT_EQ(world.roster(), recordBytes({b2, a2, c}));

    // Changed on both sides, or for a wrestler gone: every conflict listed, nothing written.
    world.setRoster("save1", {b2, a2});
    const auto before = world.files();
    for (bool dryRun : {true, false}) {
        try {
            import(sheet({{2, 13, "10"}, {2, 2, "51"}, { 3, 2, "8" }}), dryRun);
            ADD_FAILURE() << "no conflict";
        } catch (const ConflictError& e) {
            EXPECT_STREQ(e.what(), "2 values changed both here and in the file since they were "
                                   "read; nothing was written:\n"
                                   "row 3 (A): morale: sheet \" 10 \", read \"75\", now \"99\"\n"
                                   "row 4 (B): draw: sheet \" 8 \", read \"50\", now \" 7 \"");
        }
        EXPECT_EQ(world.files(), before);
    }
    world.setRoster("save1", {a2});
    EXPECT_THROW(import(sheet({{3, 5, "9"}})), ConflictError); // B is gone
    EXPECT_EQ(changesText(import(sheet({{2, 2, "51"}})), false),
              "A\tdraw: 50 ->  51 \n1 wrestler changed\n");

    // Without its base column the sheet is compared with the roster now, and says so.
    std::vector<CsvRow> bare = parseCsv(sheet({}), csv);
    world.setRoster("save1", {p, a2, b});
    for (CsvRow& row : bare)
        row.pop_back();
    EXPECT_EQ(changesText(import(write(bare, {})), false),
              std::string(kTwoWayNote) + "\nA\tmorale: 99 ->  75 \n1 wrestler changed\n");

    // One copy of each roster exported, the newest 10 of the slot.
    const auto bases = [&] {
        return std::ranges::count_if(
            std::filesystem::directory_iterator(world.game / ".hv-restore/save1"),
            [](const auto& e) { return e.path().filename().string().starts_with("sheet-"); });
    };
    rosterCsv(roster);
    EXPECT_EQ(bases(), 2);
    for (int i = 0; i < 12; ++i) {
        world.setRoster("save1", {wrestler(std::to_string(i))});
        rosterCsv(roster);
    }
    EXPECT_EQ(bases(), 10);
    EXPECT_EQ(changesText(import(rosterCsv(roster)), false), "0 changes\n");
}

TEST_F(RosterCsv, RefusalsNameRowAndColumnAndWriteNothing) {
    const std::string exported = rosterCsv(roster);
    const auto edit = [&](std::string_view from, std::string_view to) {
        std::string s = exported;
        const auto at = s.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return s.replace(at, from.size(), to);
    };
    const std::string lastRow = exported.substr(exported.find("\r\n3,") + 2);
    const std::string nothing = "; nothing was written";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {exported + "4,\"C\"" + std::string(19, ',') + "\r\n",
         "row 5, column 1: \"#\" is 4 but the roster has 3 records; rows cannot be added" +
             nothing},
        {exported.substr(0, exported.size() - lastRow.size()),
         "row 4, column 1: record 3 of 3 is missing; rows cannot be removed" + nothing},
        {exported.substr(0, exported.size() - lastRow.size()) + "3,\"B\",50,60,1000\r\n",
         "row 4: 5 cells, but the header has 21" + nothing},
        {edit("\"007\",\"2\"", "\"007\",\"\""),
         "row 4, column 8 (carder): \"\" is not a number" + nothing},
        {edit("\n3,", "\nx,"),
         "row 4, column 1: \"#\" is \"x\", not a record's place in the roster" + nothing},
        {edit("\n3,", "\n2,"), "row 4, column 1: \"#\" 2 is also in row 3" + nothing},
        {edit("3,\"B\"", "3,\"B\xE4\xB8\xAD\""),
         "row 4, column 2 (name): the character U+4E2D cannot be stored in the game's files" +
             nothing},
        {edit("3,\"B\"", "3,\"B\xFF\""), "row 4, column 2 (name): the text is not UTF-8" + nothing},
        {edit("3,\"B\"", "3,\"B\nC\""),
         "row 4, column 2 (name): a line break; the game's files hold one line per value" +
             nothing},
        {edit("3,\"B\",50", "3,\"B\",5O"),
         "row 4, column 3 (draw): \"5O\" is not a number" + nothing},
        {edit("\"hv-", "\"hv-0"), "row 2, column 21: the sheet's base \"hv-0" +
                                      exported.substr(exported.find("\"hv-") + 4, 16) +
                                      "\" (the roster as exported) is no longer kept; only the "
                                      "newest 10 exports of a slot are. Export the roster again, "
                                      "or delete the \"base\" column to compare the sheet with "
                                      "the roster as it is now" +
                                      nothing},
        {edit("1,\"name\",50", "1,\"name\",51"),
         "row 2, column 3 (draw): record 1 is a placeholder (\"name\"), which is never changed" +
             nothing},
        {edit("3,\"B\"", "3,\"name\""),
         "row 4, column 2 (name): \"name\" marks the game's placeholder records and cannot be a "
         "wrestler's name" +
             nothing},
        {edit(",draw,", ",drawn,"),
         "row 1, column 3: \"drawn\" is not a field of a wrestler" + nothing},
        {exported + "\"", "row 5, column 1: a quote is opened and never closed"},
    };
    const auto before = world.files();
    for (const auto& [text, problem] : cases) {
        try {
            import(text);
            ADD_FAILURE() << "no error for " << problem;
        } catch (const GameFileError& e) {
            EXPECT_EQ(e.problem(), problem);
            EXPECT_EQ(e.file(), csv);
        }
        std::filesystem::remove(csv);
        EXPECT_EQ(world.files(), before);
    }
}

} // namespace
} // namespace hv::roster
