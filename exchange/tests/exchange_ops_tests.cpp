#include "exchange/exchange_ops.h"

#include "gamefiles/error.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

namespace hv::test {
namespace {

namespace fs = std::filesystem;
using exchange::RosterFile;

class Exchange : public ::testing::Test {
protected:
    RosterFile roster() const { return RosterFile(world.game.string(), "save1"); }
    fs::path exportFile(const std::vector<std::string>& lines) const {
        writeFile(world.work / "in.hve", crlf(lines));
        return world.work / "in.hve";
    }
    GameWorld world;
    const std::vector<std::string> a = wrestler("A", "1"), b = wrestler("B", "3");
};

TEST_F(Exchange, ExportWritesEveryRecordOfTheNameByteForByteInsideTheFolder) {
    world.setRoster("save1", {placeholderWrestler(), a, b, withLine(a, 1, "99")});
    const fs::path out = world.work / "A.hve", work = world.work;
    EXPECT_EQ(exchange::exportWrestler(roster(), "A", out, work), 2u);
    EXPECT_EQ(readFile(out), crlf(a) + crlf(withLine(a, 1, "99")));

    // Where an export may go (exports, spreadsheets and pages share the rule): anywhere but
    // onto what the game or the editor reads or the restore points, in any spelling, through
    // links, whether the file is there yet or not. A refusal names the target and comes before
    // any writing; another wrestler's export file and no wrestler at all are refused too.
    writeFile(work / "short.hve", crlf({"B"}));
    fs::create_directories(world.game / "Tools");
    // Links where the system makes them (not under Wine): their rows are left out elsewhere.
    std::error_code noLinks;
    fs::create_symlink(world.game / "save1" / "new.hve", work / "dangling.hve", noLinks);
    fs::create_directory_symlink(world.game / "save1", work / "slot", noLinks);
    const fs::path upper = world.game.parent_path() / "HALVORN";
    const std::tuple<std::string, fs::path, bool> targets[] = {
        {"B", world.game / "B.hve", true}, // beside the game's files, new and then again
        {"B", world.game / "B.hve", true},
        {"B", world.game / "Tools" / "B.hve", true},
        {"B", upper / "SaveSlots.HV1", false},
        {"B", world.game / "SAVE2" / "new.hve", false},
        {"B", upper / "Save1" / "controlled" / "YOURFED.HV1", false},
        {"B", upper / ".HV-Restore" / "B.hve", false},
        {"B", work / "ARRANGE.tmp", false},
        {"B", work / "temp", false},
        {"B", work / "Options.dat", false},
        {"B", work / "dangling.hve", false},
        {"B", work / "slot" / "B.hve", false},
        {"B", work / "short.hve", false},
        {"Gone", work / "Gone.hve", false},
        {"name", work / "name.hve", false}};
    for (const auto& [name, target, allowed] : targets) {
        if (noLinks &&
            (target.parent_path() == work / "slot" || target.filename() == "dangling.hve"))
            continue;
        const auto before = world.files();
        try {
            exchange::exportWrestler(roster(), name, target, work);
            EXPECT_TRUE(allowed) << target;
            EXPECT_EQ(readFile(target), crlf(b));
        } catch (const GameFileError& e) {
            EXPECT_FALSE(allowed) << e.what();
            EXPECT_EQ(e.problem().find("temporary file"), std::string::npos) << e.what();
            EXPECT_TRUE(name != "B" || e.file() == target) << e.what();
            EXPECT_EQ(world.files(), before) << target;
        }
    }

    // Hostile names stay inside the folder.
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {"../x", ".._x.hve"}, {"a/b", "a_b.hve"}, {"CON", "_CON.hve"}, {"lpt1.x", "_lpt1.x.hve"},
        {"a\x01z", "a_z.hve"}, {"..", "__.hve"}, {"", "_.hve"}, {"Mr. T ", "Mr. T_.hve"},
        {"\xE9l <3>", "\xE9l _3_.hve"}};
    // clang-format on
    for (const auto& [name, file] : cases) {
        EXPECT_EQ(exchange::exportFileName(name), file);
        world.setRoster("save1", {wrestler(name)});
        const fs::path named = world.work / exchange::exportFileName(name);
        exchange::exportWrestler(roster(), name, named, world.work);
        EXPECT_EQ(readFile(named), crlf(wrestler(name)));
    }
    EXPECT_EQ(exchange::exportFileName(std::string(300, 'x')).size(), 255u);
}

TEST_F(Exchange, PreviewText) {
    std::vector<std::string> full = {"Name", "50",    "60",   "1000",    "2000", "Tall", " 3 ",
                                     "Heel", "2",     "Drop", "no",      "4",    "80",   "no",
                                     "Mgr",  "Chair", "s",    "Brawler", "7"};
    const std::string tail = "Tag Team : no\nInjuried for 4 weeks\nMorale : 80\nStable : no\n"
                             "Manager : Mgr\nWeapon : Chair\nStyle : Brawler\nYears left : 7\n";
    const std::string head = "Name : Name\nDraw : 50\nEnt  : 60\nWages: 1000\nValue: 2000\n"
                             "\nDiscription: \nTall\n\n";
    EXPECT_EQ(exchange::previewText(crlf(full), "f"),
              head +
                  "Carder : Upper\nAlign : Heel\nContract : 2\n\nFinisher : Drop\n"
                  "Type : Submission\n\n" +
                  tail);
    full[6] = "4";
    full[16] = "x";
    EXPECT_EQ(exchange::previewText(crlf(full) + crlf(a), "f"),
              head + "Carder : \nAlign : Heel\nContract : 2\n\nFinisher : Drop\nType : " + tail);

    // Refused at the line: no number for the carder, too short, or lines that do not all
    // end in CR LF (a lone LF or CR in a value would shift the rest of the record). Line ends
    // after the record do not matter.
    EXPECT_NO_THROW(exchange::previewText(crlf(full) + "x\ny\r", "f"));
    const std::string whole = crlf(full);
    const std::pair<std::string, std::size_t> refused[] = {
        {crlf(withLine(full, 6, "two")), 7},     {crlf({"A", "50"}), 3},
        {crlf(withLine(full, 4, "a\nb")), 5},    {crlf(withLine(full, 6, "3\r2")), 7},
        {whole.substr(0, whole.size() - 2), 19}, {whole.substr(0, whole.size() - 2) + "\n", 19}};
    for (const auto& [bytes, line] : refused) {
        try {
            exchange::previewText(bytes, "f");
            ADD_FAILURE() << line;
        } catch (const GameFileError& e) {
            EXPECT_EQ(e.line(), line) << e.what();
        }
    }
}

TEST_F(Exchange, ImportOverwritesEveryRecordOfTheNameOrAppends) {
    world.setRoster("save1", {a, placeholderWrestler(), b, a});
    const fs::path file = exportFile(withLine(a, 1, "77"));
    // "Yes": every record of the name, in its place.
    EXPECT_EQ(exchange::overwriteWrestler(roster(), "A", file), 2u);
    EXPECT_EQ(world.roster(),
              recordBytes({withLine(a, 1, "77"), placeholderWrestler(), b, withLine(a, 1, "77")}));
    // "Apply": appended under the new name, even one already taken.
    exchange::importAs(roster(), file, "B");
    EXPECT_EQ(world.roster(),
              recordBytes({withLine(a, 1, "77"), placeholderWrestler(), b, withLine(a, 1, "77"),
                           withLine(withLine(a, 1, "77"), 0, "B")}));

    world.setRoster("save1", {b});
    EXPECT_THROW(exchange::importAs(roster(), file, "name"), OperationRefused);
    EXPECT_THROW(exchange::importWrestler(roster(), exportFile(withLine(a, 0, "name"))),
                 GameFileError);
    EXPECT_EQ(world.roster(), crlf(b));

    // Names differ in case only: no clash; only the first record of the file counts.
    writeFile(file, crlf(withLine(a, 0, "b")) + crlf(a));
    EXPECT_TRUE(exchange::importWrestler(roster(), file).appended);
    EXPECT_EQ(world.roster(), crlf(b) + crlf(withLine(a, 0, "b")));
}

} // namespace
} // namespace hv::test
