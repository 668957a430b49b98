#include "otherfeds/otherfeds_ops.h"

#include "gamefiles/error.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace hv::otherfeds {
namespace {

using namespace hv::test;
using Lines = std::vector<std::string>;

const Lines placeholder = rivalWrestler("name");

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
    Lines second = rivalWrestler("Joe", "Masked Joe");
    second[1] = " 1 ";
    set("wcw", {placeholder, rivalWrestler("Joe", "Masked Joe"), second});
    world.setRoster("save1", {placeholderWrestler(), wrestler("Kept")});
    trade(Party::Rival, Party::Own, "Joe", "Masked Joe", " 3 ");

    const Lines o = rivalWrestler("Joe");
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

} // namespace
} // namespace hv::otherfeds
