#include "cli/cli.h"

#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ranges>
#include <sstream>

namespace hv::test {
namespace {

using Lines = std::vector<std::string>;
using Args = std::vector<std::string>;

struct HvRun {
    int code;
    std::string out, err;
};

class CliRoster : public ::testing::Test {
protected:
    HvRun hv(const Args& args) {
        std::ostringstream out, err;
        const int code = hv::cli::runCli(args, world.work, out, err);
        return {code, out.str(), err.str()};
    }
    // Each command line (split at blanks) exits with `code` and one line on stderr naming
    // `word`, and changes nothing.
    void expectRefused(std::initializer_list<std::string_view> lines, int code = hv::cli::kRefused,
                       const char* word = "yourfed.hv1") {
        const auto before = world.files();
        for (std::string_view line : lines) {
            Args args;
            for (auto arg : std::views::split(line, ' '))
                args.emplace_back(arg.begin(), arg.end());
            const HvRun r = hv(args);
            EXPECT_EQ(r.code, code) << line;
            EXPECT_NE(r.err.find(word), std::string::npos) << r.err;
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        }
        EXPECT_EQ(world.files(), before);
    }

    GameWorld world;
    const Lines p = placeholderWrestler();
};

TEST_F(CliRoster, ListAndShowTheFirstRecordOfAName) {
    world.setRoster("save1", {p, wrestler("A", " 3 "), withLine(wrestler("Odd", "9"), 16, "P"),
                              wrestler("A", "1")});
    world.setRoster("save2", {wrestler("Other")});
    EXPECT_EQ(hv({"roster", "list"}).out, "A\nOdd\nA\n");
    EXPECT_EQ(hv({"--slot", "save2", "roster", "list"}).out, "Other\n");
    EXPECT_EQ(hv({"roster", "show", "A"}).out,
              "name: A\ndraw: 50\nentertainment: 60\nwages: 1000\nvalue: 2000\n"
              "description: A description\ncarder: Upper Carder\nalignment: Face\n"
              "contract: 3\nfinisher: A Driver\ntagteam: no\ninjury: 0\nmorale: 75\n"
              "stable: no\nmanager: no\nweapon: Chair\nfinishertype: Power Move\n"
              "style: Technical Wrestler\nretirement: 8\n");
    const std::string odd = hv({"roster", "show", "Odd"}).out;
    EXPECT_NE(odd.find("\ncarder: 9\n"), std::string::npos) << odd;
    EXPECT_NE(odd.find("\nfinishertype: P\n"), std::string::npos) << odd;
}

TEST_F(CliRoster, SetChangesEveryRecordOfTheNameLikeApplyChanges) {
    const Lines b = wrestler("B", "x");
    world.setRoster("save1",
                    {p, wrestler("Old", " 1"), withLine(wrestler("Old", " 1"), 1, "10"), b});
    HvRun r = hv({"roster", "set", "Old", "name=New", "carder=Upper Carder",
                  "tagteam=", "manager=", "finishertype=Submission", "description=Two\r\nlines"});
    EXPECT_EQ(r.code, 0) << r.err;
    Lines changed = withLine(withLine(wrestler("New", " 3 "), 5, "Two lines"), 16, "s");
    changed[9] = "Old Driver";
    changed[14] = "";
    // Other text keeps the stored carder and finisher type; fields not given keep their lines.
    r = hv({"roster", "set", "B", "carder=Main Event", "finishertype=Flying", "draw=77"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(world.roster(), recordBytes({p, changed, changed, withLine(b, 1, "77")}));
}

TEST_F(CliRoster, AddDeleteAndMove) {
    world.setRoster("save1", {p, wrestler("A"), wrestler("Twin"), wrestler("C"), wrestler("Twin")});
    const Lines blank = blankWrestlerLines();
    EXPECT_EQ(hv({"roster", "add"}).code, 0);
    EXPECT_EQ(hv({"roster", "delete", "Twin"}).code, 0);
    EXPECT_EQ(world.roster(), recordBytes({p, wrestler("A"), wrestler("C"), blank}));
    EXPECT_EQ(hv({"roster", "move", "C", "up"}).code, 0);
    EXPECT_EQ(world.roster(), recordBytes({p, wrestler("C"), wrestler("A"), blank}));
    EXPECT_EQ(hv({"roster", "move", "C", "down"}).code, 0);
    EXPECT_EQ(world.roster(), recordBytes({p, wrestler("A"), wrestler("C"), blank}));
}

TEST_F(CliRoster, RefusalsExitOneAndUsageErrorsTwoChangingNothing) {
    world.setRoster("save1", {p, wrestler("A"), wrestler("B")});
    expectRefused({"roster show Nobody", "roster set Nobody draw=1", "roster delete Nobody",
                   "roster delete name", "roster move Nobody up", "roster move A up",
                   "roster move B down"});
    expectRefused({"roster set A finisher=Two\nlines"}, hv::cli::kRefused, "Finsher");
    expectRefused({"roster set A height=2", "roster set A", "roster move A left"}, hv::cli::kUsage,
                  "hv roster");
}

TEST_F(CliRoster, InjuriesListAndHeal) {
    std::vector<Lines> records = {wrestler("Fit", "2", " 0 "), wrestler("Hurt", "2", "1"), p,
                                  wrestler("Long", "2", " 12 ")};
    world.setRoster("save1", records);
    EXPECT_EQ(hv({"injuries", "list"}).out, "Hurt\t1\nLong\t 12 \n");
    EXPECT_EQ(hv({"injuries", "heal"}).code, 0);
    records[1][11] = records[3][11] = " 0 ";
    EXPECT_EQ(world.roster(), recordBytes(records));
}

TEST_F(CliRoster, AFailedRewriteOrATruncatedRosterChangesNothing) {
    world.setRoster("save1", {p, wrestler("A"), wrestler("B", "2", "3")});
    {
        const FailingRewrites failing;
        expectRefused({"roster add", "roster set A draw=1", "roster delete A", "roster move A down",
                       "injuries heal"});
    }
    const std::string bytes = world.roster();
    writeFile(world.rosterFile(), bytes.substr(0, bytes.size() - 4));
    expectRefused({"roster list", "injuries heal"}, hv::cli::kRefused, "yourfed.hv1:57: ");
}

} // namespace
} // namespace hv::test
