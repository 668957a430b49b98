#include "otherfeds/otherfeds_ops.h"

#include "gamefiles/error.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace hv::otherfeds {
namespace {

using namespace hv::test;
using Lines = std::vector<std::string>;

Lines rival(const std::string& name, const std::string& alterEgo = "no") {
    return {name,     " 50 ", "60",           " 7000 ", "800",   name + " bio", "2",        " 9 ",
            alterEgo, "Heel", name + " Bomb", "no",     "Chair", "s",           "Hardcore", " 4 "};
}
const Lines placeholder = rival("name");

class Trading : public ::testing::Test {
protected:
    std::filesystem::path file(const char* rivalName) const {
        return world.slotFile("save1", std::string("Background/") + rivalName + ".hv1");
    }
    void set(const char* rivalName, const std::vector<Lines>& records) {
        writeFile(file(rivalName), recordBytes(records));
    }
    std::string read(const char* rivalName) const { return readFile(file(rivalName)); }
    void trade(Party from, Party to, const std::string& name, const std::string& newName = "",
               const std::string& years = "5") {
        TransferWrestler(world.game.string(), {"save1", from, to, name, newName, years, {}},
                         [] { return 0.3; });
    }

    GameWorld world{"WWF"}; // the rival big federation is WCW
};

TEST_F(Trading, IntoTheRosterConvertsMovesOnlyTheFirstOfANameAndOutAndBackKeepsAll) {
    Lines second = rival("Joe", "Masked Joe");
    second[1] = " 1 ";
    set("wcw", {placeholder, rival("Joe", "Masked Joe"), second});
    world.setRoster("save1", {placeholderWrestler(), wrestler("Kept")});
    trade(Party::Rival, Party::Own, "Joe", "Masked Joe", " 3 ");

    const Lines o = rival("Joe");
    const Lines converted = {"Masked Joe", o[1],        o[2],  o[3],  o[4],  o[5],   o[6],
                             o[9],         "March 102", o[10], o[11], " 0 ", " 80 ", "no",
                             "no",         o[12],       o[13], o[14], o[15]};
    EXPECT_EQ(world.roster(), recordBytes({placeholderWrestler(), wrestler("Kept"), converted}));
    EXPECT_EQ(read("wcw"), recordBytes({placeholder, second}));

    // Out of the roster and back keeps every line that both records hold.
    const Lines own = wrestler("Star");
    world.setRoster("save1", {wrestler("A"), own, placeholderWrestler()});
    trade(Party::Own, Party::Ecw, "Star");
    const Lines out = {own[0], own[1], own[2], own[3],  own[4],  own[5],  own[6],  " 7 ",
                       "no",   own[7], own[9], own[10], own[15], own[16], own[17], own[18]};
    EXPECT_EQ(read("ecw"), recordBytes({out}));
    EXPECT_EQ(world.roster(), recordBytes({wrestler("A"), placeholderWrestler()}));

    trade(Party::Ecw, Party::Own, "Star", "Star", "-102");
    Lines back = own;
    back[8] = "March-3";
    back[11] = " 0 ";
    back[12] = " 80 ";
    EXPECT_EQ(world.roster(), recordBytes({wrestler("A"), placeholderWrestler(), back}));
}

TEST(Potential, EveryDrawGivesAWholeNumberFromOneToTwenty) {
    for (auto [r, potential] : {std::pair{0.0, 1}, {0.05, 2}, {0.9999999, 20}, {1.0, 20}})
        EXPECT_EQ(drawPotential([r = r] { return r; }), potential) << r;
    for (int i = 0; i < 20000; ++i)
        ASSERT_LE(std::abs(drawPotential(cRandSource()) * 2 - 21), 19);
}

int failAt = 0;
int calls = 0;
bool failNow() {
    errno = EIO;
    return ++calls == failAt;
}

// The first or second write, then the first or second replace, fails: before the first
// replace nothing changes; after it the wrestler is in both files, never in neither. Then
// the move succeeds: the record moves unchanged and the rest keep their places.
TEST_F(Trading, BetweenRivalsAFailureAtAnyWriteOrReplaceLosesNoWrestler) {
    const std::vector<Lines> ecw = {rival("A"), placeholder, rival("B")};
    for (int step = 0; step < 4; ++step) {
        set("ecw", ecw);
        set("otherbig", {rival("X")});
        const auto before = world.files();
        calls = 0;
        failAt = step % 2 + 1;
        if (step < 2)
            rewriteSyscalls().write = [](int fd, const void* b, size_t n) {
                return failNow() ? ssize_t(-1) : ::write(fd, b, n);
            };
        else
            rewriteSyscalls().rename = [](const char* a, const char* b) {
                return failNow() ? -1 : ::rename(a, b);
            };
        EXPECT_THROW(trade(Party::Ecw, Party::Indy, "A"), GameFileError);
        resetRewriteSyscalls();
        if (step < 3)
            EXPECT_EQ(world.files(), before) << step;
        else
            EXPECT_EQ(read("ecw") + read("otherbig"),
                      recordBytes({ecw[0], ecw[1], ecw[2], rival("X"), rival("A")}));
    }
    set("ecw", ecw);
    set("otherbig", {rival("X")});
    trade(Party::Ecw, Party::Indy, "A");
    EXPECT_EQ(read("ecw"), recordBytes({placeholder, rival("B")}));
    EXPECT_EQ(read("otherbig"), recordBytes({rival("X"), rival("A")}));
}

} // namespace
} // namespace hv::otherfeds
