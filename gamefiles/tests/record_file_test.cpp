#include "gamefiles/managers.h"
#include "gamefiles/records.h"

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

} // namespace

TEST(RecordFile, NamesFindAndRecordsSkipPlaceholders) {
    std::string bytes = rosterBytes({"Alpha", "name", "Twin", "twin", "Twin", " name"});
    bytes.replace(bytes.find("50", bytes.rfind("Twin\r\n")), 2, "99"); // second Twin's draw
    const RecordFile<WrestlerRecord> file(bytes, "yourfed.hv1");
    ASSERT_EQ(file.size(), 6u);
    EXPECT_EQ(file.names(), (std::vector<std::string>{"Alpha", "Twin", "twin", "Twin", " name"}));
    EXPECT_EQ(file.findFirst("Twin"), 2u);
    EXPECT_FALSE(file.findFirst("Twin "));
    EXPECT_FALSE(file.findFirst("name"));
    const WrestlerRecord r = file.record(4);
    EXPECT_EQ(r.firstLine, 77u);
    EXPECT_EQ(r.lines[WrestlerRecord::Draw], "99");
    EXPECT_EQ(file.line(4, WrestlerRecord::Carder), " 3 ");
    EXPECT_EQ(file.text(0), crlf(hv::test::wrestler("Alpha", " 3 ", "2")));
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
             {16, crlf({"a", "b", "c"}), 4, "record starting at line 1 has only 3 of 16 lines"},
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
        file.save("temp");
        EXPECT_EQ(readFile(path), c.expected) << c.what;
        EXPECT_FALSE(fs::exists(dir.path() / "temp")) << c.what;
    }
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

TEST(RecordFile, NothingIsWrittenWithoutAnEdit) {
    TempDir dir;
    const fs::path path = dir.path() / "ecw.hv1";
    writeFile(path, "A1\nA2\n"); // would come back normalised if it were written
    const auto file = ManagersFile::read(path);
    file.save("ecw.tmp");
    EXPECT_EQ(readFile(path), "A1\nA2\n");
    EXPECT_EQ(hv::test::snapshot(dir.path()).size(), 1u);
}

TEST(ManagersFormat, NamesAreWhatTheFieldReadGives) {
    TempDir dir;
    const fs::path path = dir.path() / "wcwmanagers.hv1";
    writeFile(path, crlf({"  Jim Manager ", "m", "\"Quoted, Name\"", "f"}));
    EXPECT_EQ(managerNames(path), (std::vector<std::string>{"Jim Manager", "Quoted, Name"}));
}
