#include "roster/roster_ops.h"

#include "gamefiles/error.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>

namespace hv::roster {
namespace {

using namespace hv::test;
using Lines = std::vector<std::string>;
using Line = WrestlerRecord::Line;

// Records from a short spelling: "-" is a placeholder, an upper-case letter the wrestler of
// that name, a lower-case one a second record of the upper-case name with another draw.
std::vector<Lines> records(std::string_view spelling) {
    std::vector<Lines> out;
    for (char c : spelling) {
        const std::string name(1, static_cast<char>(std::toupper(c)));
        out.push_back(c == '-'               ? placeholderWrestler()
                      : std::islower(c) != 0 ? withLine(wrestler(name), Line::Draw, "1")
                                             : wrestler(name));
    }
    return out;
}

class RosterOps : public ::testing::Test {
protected:
    void set(const std::vector<Lines>& records) { world.setRoster("save1", records); }
    // Every call fails naming the roster file and `line`, and no file changes.
    void expectFails(const std::vector<std::function<void()>>& calls, std::size_t line = 0) {
        const auto before = world.files();
        for (const auto& call : calls) {
            try {
                call();
                ADD_FAILURE() << "no error";
            } catch (const GameFileError& e) {
                EXPECT_EQ(e.file(), roster.file);
                EXPECT_EQ(e.line(), line);
            }
        }
        EXPECT_EQ(world.files(), before);
    }

    GameWorld world;
    RosterFile roster{world.game.string(), "save1"};
};

TEST_F(RosterOps, ListingSkipsPlaceholdersLookUpTakesTheFirstMatchManagersFollowTheFed) {
    set({placeholderWrestler(), wrestler("A"), wrestler("Name"), wrestler(" name"),
         withLine(wrestler("A"), Line::Draw, "99")});
    EXPECT_EQ(rosterNames(roster), (Lines{"A", "Name", " name", "A"}));
    EXPECT_EQ(findWrestler(roster, "A").value().lines[Line::Draw], "50");
    EXPECT_FALSE(findWrestler(roster, "name") || findWrestler(roster, "a"));

    // The reordering window starts at the second record, or else the first.
    for (auto [spelling, first] :
         {std::pair{"-AB", "A"}, {"ABC", "B"}, {"A-B", "A"}, {"--A", ""}, {"", ""}}) {
        set(records(spelling));
        EXPECT_EQ(listRoster(roster).reorderSelection.value_or(""), first) << spelling;
    }

    // The managers offered are those of the federation's file.
    for (auto [federation, managers] : {std::pair{"WWF", Lines{"Wally Manager", "Wendy Manager"}},
                                        {"WCW", Lines{"Carl Manager"}},
                                        {"ECW", Lines{}}}) {
        world.setSaveGame("save1", federation);
        EXPECT_EQ(federationManagers(world.game.string(), "save1"), managers) << federation;
    }
}

// What Apply writes (every record of the old name, words to codes, empty groups as "no") is met
// through hv roster set, which writes through the same code, and through the editor's tests.
TEST_F(RosterOps, NothingIsWrittenWhenNoRecordMatchesOrTheNewNameIsThePlaceholders) {
    // Bare LF endings would come back as CR LF if the file were rewritten.
    writeFile(roster.file, "name\n" + std::string(18, '\n') + "A\n" + std::string(18, '\n'));
    const auto before = world.files();
    const std::vector<FieldEdit> renamed = {{Line::Name, "A", "name"}},
                                 draw = {{Line::Draw, "", "1"}};
    EXPECT_THROW(applyWrestler(roster, "A", renamed), OperationRefused);
    EXPECT_EQ(applyWrestler(roster, "B", draw) + applyWrestler(roster, "name", draw) +
                  healAll(roster),
              0u);
    EXPECT_EQ(deleteWrestler(roster, ""), 0u);
    EXPECT_EQ(moveWrestler(roster, "name", Direction::Down), MoveResult::NotFound);
    EXPECT_EQ(world.files(), before);
}

TEST_F(RosterOps, MovesSwapNeighboursPastPlaceholdersAndRefuseAtTheEnds) {
    using enum Direction;
    for (auto [before, name, direction, after] : {std::tuple{"-ABC", "A", Up, "-ABC"},
                                                  {"-ABC", "C", Down, "-ABC"},
                                                  {"-ABC", "C", Up, "-ACB"},
                                                  {"ABC", "A", Up, "ABC"},
                                                  {"ABC", "B", Up, "ABC"}, // the second place
                                                  {"ABC", "A", Down, "BAC"},
                                                  {"A-B", "B", Up, "AB-"},
                                                  {"B-A", "B", Down, "-BA"},
                                                  {"ABTt", "T", Down, "ABtT"}}) { // the first
        SCOPED_TRACE(std::string(before) + " " + name);
        set(records(before));
        EXPECT_EQ(moveWrestler(roster, name, direction),
                  std::string_view(before) == after ? MoveResult::Refused : MoveResult::Moved);
        EXPECT_EQ(world.roster(), recordBytes(records(after)));
    }
}

TEST_F(RosterOps, InjuredAreWrestlersOutAtLeastOneWeekAndHealingTouchesOnlyThem) {
    const std::vector<Lines> before = {wrestler("Fit", "2", "0"),  wrestler("Fit too", "2", " 0 "),
                                       wrestler("Empty", "2", ""), wrestler("Hurt", "2", "1"),
                                       placeholderWrestler(),      wrestler("Long", "2", " 12 "),
                                       wrestler("Odd", "2", "-3")};
    set(before);
    const auto injured = injuredWrestlers(roster);
    ASSERT_EQ(injured.size(), 2u);
    EXPECT_EQ(injured[0].name + "|" + injured[0].weeks, "Hurt|1");
    EXPECT_EQ(injured[1].name + "|" + injured[1].weeks, "Long| 12 ");

    EXPECT_EQ(healAll(roster), 2u);
    auto after = before;
    after[3][Line::Injury] = after[5][Line::Injury] = " 0 ";
    EXPECT_EQ(world.roster(), recordBytes(after));
}

// A roster cut inside a record is a row of the bad-input catalogue.
TEST_F(RosterOps, AnUnreadableInjuryIsReportedAndNothingIsWritten) {
    set({wrestler("A"), wrestler("B", "2", "three")});
    expectFails({[&] { injuredWrestlers(roster); }, [&] { healAll(roster); }}, 20 + Line::Injury);
}

} // namespace
} // namespace hv::roster
