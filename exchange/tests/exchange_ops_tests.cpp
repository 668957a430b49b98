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
    const fs::path out = world.work / "A.hve";
    EXPECT_EQ(exchange::exportWrestler(roster(), "B", out), 1u);
    EXPECT_EQ(readFile(out), crlf(b));
    EXPECT_EQ(exchange::exportWrestler(roster(), "A", out), 2u);
    EXPECT_EQ(readFile(out), crlf(a) + crlf(withLine(a, 1, "99")));

    const auto before = world.files();
    EXPECT_THROW(exchange::exportWrestler(roster(), "Gone", out), GameFileError);
    EXPECT_THROW(exchange::exportWrestler(roster(), "name", out), GameFileError);
    EXPECT_EQ(world.files(), before);

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
        exchange::exportWrestler(roster(), name, named);
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

    full[6] = "two";
    EXPECT_THROW(exchange::previewText(crlf(full), "f"), GameFileError);
    EXPECT_THROW(exchange::previewText(crlf({"A", "50"}), "f"), GameFileError);
}

TEST_F(Exchange, ImportAppendsOrReportsTheClash) {
    world.setRoster("save1", {a, placeholderWrestler(), b, a});
    const fs::path file = exportFile(withLine(a, 1, "77"));
    auto before = world.files();
    const auto clash = exchange::importWrestler(roster(), file);
    EXPECT_FALSE(clash.appended);
    EXPECT_EQ(clash.name, "A");
    EXPECT_EQ(world.files(), before);

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
    writeFile(file, crlf(withLine(a, 0, "b")));
    EXPECT_THROW(exchange::importAs(roster(), file, "name"), OperationRefused);
    EXPECT_THROW(exchange::importWrestler(roster(), exportFile(withLine(a, 0, "name"))),
                 GameFileError);
    EXPECT_THROW(exchange::importWrestler(roster(), exportFile({"A", "1"})), GameFileError);
    EXPECT_EQ(world.roster(), crlf(b));

    // Names differ in case only: no clash; only the first record of the file counts.
    writeFile(file, crlf(withLine(a, 0, "b")) + crlf(a));
    EXPECT_TRUE(exchange::importWrestler(roster(), file).appended);
    EXPECT_EQ(world.roster(), crlf(b) + crlf(withLine(a, 0, "b")));
}

} // namespace
} // namespace hv::test
