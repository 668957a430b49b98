#include "cli/cli.h"

#include "gamefiles/temp_rewrite.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <sstream>

using hv::test::GameWorld;
using hv::test::readFile;
using hv::test::recordBytes;
using hv::test::snapshot;
using hv::test::wrestler;

namespace {

using Lines = std::vector<std::string>;

struct HvRun {
    int code;
    std::string out;
    std::string err;
};

class CliRoster : public ::testing::Test {
protected:
    HvRun hv(std::vector<std::string> args) {
        std::ostringstream out, err;
        const int code = hv::cli::runCli(args, world.work, out, err);
        return {code, out.str(), err.str()};
    }
    void setRoster(const std::vector<Lines>& records, std::string_view slot = "save1") {
        world.setRoster(slot, records);
    }
    std::string roster(std::string_view slot = "save1") const {
        return readFile(world.slotFile(slot, "Controlled/yourfed.hv1"));
    }
    // A refusal: exit 1, one line on err naming the roster file, nothing changed.
    void expectRefused(const std::vector<std::string>& args) {
        const auto before = snapshot(world.root.path());
        const HvRun r = hv(args);
        EXPECT_EQ(r.code, hv::cli::kRefused) << args[1];
        EXPECT_NE(r.err.find("yourfed.hv1"), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(snapshot(world.root.path()), before);
    }

    GameWorld world;
    const Lines placeholder = hv::test::placeholderWrestler();
};

TEST_F(CliRoster, ListAndShow) {
    Lines odd = wrestler("Odd", "9");
    odd[16] = "P";
    setRoster({placeholder, wrestler("A", " 3 "), odd, wrestler("A", "1")});
    setRoster({wrestler("Other")}, "save2");

    EXPECT_EQ(hv({"roster", "list"}).out, "A\nOdd\nA\n");
    EXPECT_EQ(hv({"--slot", "save2", "roster", "list"}).out, "Other\n");

    const HvRun shown = hv({"roster", "show", "A"});
    EXPECT_EQ(shown.code, 0) << shown.err;
    EXPECT_EQ(shown.out, "name: A\ndraw: 50\nentertainment: 60\nwages: 1000\nvalue: 2000\n"
                         "description: A description\ncarder: Upper Carder\nalignment: Face\n"
                         "contract: 3\nfinisher: A Driver\ntagteam: no\ninjury: 0\nmorale: 75\n"
                         "stable: no\nmanager: no\nweapon: Chair\nfinishertype: Power Move\n"
                         "style: Technical Wrestler\nretirement: 8\n");
    const std::string oddShown = hv({"roster", "show", "Odd"}).out;
    EXPECT_NE(oddShown.find("\ncarder: 9\n"), std::string::npos) << oddShown;
    EXPECT_NE(oddShown.find("\nfinishertype: P\n"), std::string::npos) << oddShown;
}

TEST_F(CliRoster, SetChangesEveryRecordOfTheNameLikeApplyChanges) {
    Lines second = wrestler("Old", " 1");
    second[1] = "10";
    setRoster({placeholder, wrestler("Old", " 1"), second, wrestler("B", "x")});

    HvRun r = hv({"roster", "set", "Old", "name=New", "carder=Upper Carder", "tagteam=", "stable=",
                  "manager=", "finishertype=Submission", "description=Two\r\nlines"});
    EXPECT_EQ(r.code, 0) << r.err;
    Lines changed = wrestler("Old", " 3 ");
    changed[0] = "New";
    changed[5] = "Two lines";
    changed[14] = "";
    changed[16] = "s";
    EXPECT_EQ(roster(), recordBytes({placeholder, changed, changed, wrestler("B", "x")}));
    EXPECT_EQ(hv({"roster", "list"}).out, "New\nNew\nB\n");

    // Other text keeps the stored carder and finisher type; fields not given keep their lines.
    r = hv({"roster", "set", "B", "carder=Main Event", "finishertype=Flying", "draw=77"});
    EXPECT_EQ(r.code, 0) << r.err;
    Lines b = wrestler("B", "x");
    b[1] = "77";
    EXPECT_EQ(roster(), recordBytes({placeholder, changed, changed, b}));
}

TEST_F(CliRoster, AddDeleteAndMove) {
    setRoster({placeholder, wrestler("A"), wrestler("Twin"), wrestler("C"), wrestler("Twin")});
    EXPECT_EQ(hv({"roster", "add"}).code, 0);
    const Lines blank = hv::test::blankWrestlerLines();
    EXPECT_EQ(roster(), recordBytes({placeholder, wrestler("A"), wrestler("Twin"), wrestler("C"),
                                     wrestler("Twin"), blank}));

    EXPECT_EQ(hv({"roster", "delete", "Twin"}).code, 0);
    EXPECT_EQ(roster(), recordBytes({placeholder, wrestler("A"), wrestler("C"), blank}));

    EXPECT_EQ(hv({"roster", "move", "C", "up"}).code, 0);
    EXPECT_EQ(roster(), recordBytes({placeholder, wrestler("C"), wrestler("A"), blank}));
    EXPECT_EQ(hv({"roster", "move", "C", "down"}).code, 0);
    EXPECT_EQ(roster(), recordBytes({placeholder, wrestler("A"), wrestler("C"), blank}));
}

TEST_F(CliRoster, RefusalsNameTheFileAndChangeNothing) {
    setRoster({placeholder, wrestler("A"), wrestler("B")});
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"roster", "show", "Nobody"},
                                               {"roster", "set", "Nobody", "draw=1"},
                                               {"roster", "delete", "Nobody"},
                                               {"roster", "delete", "name"},
                                               {"roster", "move", "Nobody", "up"},
                                               {"roster", "move", "A", "up"},
                                               {"roster", "move", "B", "down"}})
        expectRefused(args);

    const auto before = snapshot(world.root.path());
    HvRun r = hv({"roster", "set", "A", "finisher=Two\nlines"});
    EXPECT_EQ(r.code, hv::cli::kRefused);
    EXPECT_NE(r.err.find("Finsher"), std::string::npos) << r.err;
    EXPECT_EQ(hv({"roster", "set", "A", "height=2"}).code, hv::cli::kUsage);
    EXPECT_EQ(hv({"roster", "set", "A"}).code, hv::cli::kUsage);
    EXPECT_EQ(hv({"roster", "move", "A", "left"}).code, hv::cli::kUsage);
    EXPECT_EQ(snapshot(world.root.path()), before);
}

TEST_F(CliRoster, InjuriesListAndHeal) {
    const std::vector<Lines> records = {wrestler("Fit", "2", " 0 "), wrestler("Hurt", "2", "1"),
                                        placeholder, wrestler("Long", "2", " 12 ")};
    setRoster(records);
    EXPECT_EQ(hv({"injuries", "list"}).out, "Hurt\t1\nLong\t 12 \n");
    EXPECT_EQ(hv({"injuries", "heal"}).code, 0);
    auto healed = records;
    healed[1][11] = " 0 ";
    healed[3][11] = " 0 ";
    EXPECT_EQ(roster(), recordBytes(healed));
    EXPECT_EQ(hv({"injuries", "list"}).out, "");
}

TEST_F(CliRoster, AFailedRewriteOrATruncatedRosterChangesNothing) {
    setRoster({placeholder, wrestler("A"), wrestler("B", "2", "3")});
    hv::rewriteSyscalls().rename = [](const char*, const char*) {
        errno = EIO;
        return -1;
    };
    for (const auto& args : std::vector<std::vector<std::string>>{{"roster", "add"},
                                                                  {"roster", "set", "A", "draw=1"},
                                                                  {"roster", "delete", "A"},
                                                                  {"roster", "move", "A", "down"},
                                                                  {"injuries", "heal"}})
        expectRefused(args);
    hv::resetRewriteSyscalls();

    std::string truncated = roster();
    truncated.resize(truncated.size() - 4);
    hv::test::writeFile(world.slotFile("save1", "Controlled/yourfed.hv1"), truncated);
    expectRefused({"roster", "list"});
    expectRefused({"injuries", "heal"});
}

TEST_F(CliRoster, EveryCommandHasHelp) {
    for (const auto& words : std::vector<std::vector<std::string>>{{"roster", "list"},
                                                                   {"roster", "show"},
                                                                   {"roster", "add"},
                                                                   {"roster", "set"},
                                                                   {"roster", "delete"},
                                                                   {"roster", "move"},
                                                                   {"injuries", "list"},
                                                                   {"injuries", "heal"}}) {
        auto args = words;
        args.push_back("--help");
        const HvRun r = hv(args);
        EXPECT_EQ(r.code, 0);
        EXPECT_NE(r.out.find("Usage: hv [OPTIONS] " + words[0] + " " + words[1]), std::string::npos)
            << r.out;
        EXPECT_NE(r.out.find("yourfed.hv1"), std::string::npos) << r.out;
    }
}

} // namespace
