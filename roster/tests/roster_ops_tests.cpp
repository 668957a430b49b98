#include "roster/roster_ops.h"

#include "gamefiles/error.h"
#include "gamefiles/temp_rewrite.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

namespace hv::roster {
namespace {

using hv::test::GameWorld;
using hv::test::placeholderWrestler;
using hv::test::readFile;
using hv::test::recordBytes;
using hv::test::snapshot;
using hv::test::withLine;
using hv::test::wrestler;
using Lines = std::vector<std::string>;
using Line = WrestlerRecord::Line;

class RosterOps : public ::testing::Test {
protected:
    void setRoster(const std::vector<Lines>& records) { world.setRoster("save1", records); }
    std::string rosterBytes() const { return readFile(roster.file); }

    GameWorld world;
    RosterFile roster{world.game.string(), "save1"};
};

WrestlerBoxes boxesOf(const Lines& record) {
    WrestlerRecord r;
    std::copy(record.begin(), record.end(), r.lines.begin());
    return boxesFor(r);
}

TEST_F(RosterOps, NamesAndLookUpSkipPlaceholdersAndTakeTheFirstMatch) {
    setRoster({placeholderWrestler(), wrestler("A"), wrestler("Name"), wrestler(" name"),
               withLine(wrestler("A"), Line::Draw, "99")});
    EXPECT_EQ(rosterNames(roster), (std::vector<std::string>{"A", "Name", " name", "A"}));
    ASSERT_TRUE(findWrestler(roster, "A"));
    EXPECT_EQ(findWrestler(roster, "A")->lines[Line::Draw], "50");
    EXPECT_FALSE(findWrestler(roster, "name"));
    EXPECT_FALSE(findWrestler(roster, "a"));
}

TEST_F(RosterOps, BoxesShowCodesAsWordsAndOtherValuesAsStored) {
    const auto shown = boxesOf(wrestler("A", " 3 "));
    EXPECT_EQ(shown[Line::Carder], "Upper Carder");
    EXPECT_EQ(shown[Line::FinisherType], "Power Move");
    const auto odd = boxesOf(withLine(wrestler("A", "7"), Line::FinisherType, "P"));
    EXPECT_EQ(odd[Line::Carder], "7");
    EXPECT_EQ(odd[Line::FinisherType], "P");
}

TEST_F(RosterOps, ApplyRenamesTheRecordFoundByItsOldName) {
    setRoster({placeholderWrestler(), wrestler("Old"), wrestler("B")});
    auto boxes = boxesOf(wrestler("Old"));
    boxes[Line::Name] = "New";

    EXPECT_EQ(ApplyWrestler(roster, "Old", boxes), 1u);

    // Carder "2" was shown as "Middle Carder" and so comes back as a number line.
    EXPECT_EQ(rosterBytes(), recordBytes({placeholderWrestler(),
                                          withLine(withLine(wrestler("Old"), Line::Name, "New"),
                                                   Line::Carder, " 2 "),
                                          wrestler("B")}));
    EXPECT_EQ(rosterNames(roster), (std::vector<std::string>{"New", "B"}));
}

TEST_F(RosterOps, ApplyWritesCodesForOfferedWordsAndKeepsTheLineForOtherText) {
    setRoster({wrestler("A", " 1"), wrestler("B", "x")});
    auto a = boxesOf(wrestler("A", " 1"));
    a[Line::Carder] = "Upper Carder";
    a[Line::FinisherType] = "Submission";
    auto b = boxesOf(wrestler("B", "x"));
    b[Line::Carder] = "upper carder";
    b[Line::FinisherType] = "Flying";

    ApplyWrestler(roster, "A", a);
    ApplyWrestler(roster, "B", b);

    EXPECT_EQ(rosterBytes(), recordBytes({withLine(withLine(wrestler("A"), Line::Carder, " 3 "),
                                                   Line::FinisherType, "s"),
                                          wrestler("B", "x")}));
}

TEST_F(RosterOps, ApplyWritesNoForAnEmptyTagTeamOrStableButKeepsAnEmptyManager) {
    setRoster({wrestler("A")});
    auto boxes =
        boxesOf(withLine(withLine(wrestler("A"), Line::TagTeam, "The Team"), Line::Stable, "X"));
    boxes[Line::TagTeam].clear();
    boxes[Line::Stable].clear();
    boxes[Line::Manager].clear();
    fillEmptyGroups(boxes);

    ApplyWrestler(roster, "A", boxes);

    auto expected = withLine(wrestler("A"), Line::Carder, " 2 ");
    expected[Line::Manager] = "";
    EXPECT_EQ(rosterBytes(), recordBytes({expected}));
}

TEST_F(RosterOps, ApplyChangesAndDeleteRemovesEveryRecordOfTheNameButNoPlaceholder) {
    const Lines second = withLine(wrestler("Twin"), Line::Draw, "10");
    setRoster({wrestler("Twin"), placeholderWrestler(), second, wrestler("Other")});
    auto boxes = boxesOf(wrestler("Twin"));
    boxes[Line::Weapon] = "Ladder";

    EXPECT_EQ(ApplyWrestler(roster, "Twin", boxes), 2u);
    const Lines changed =
        withLine(withLine(wrestler("Twin"), Line::Carder, " 2 "), Line::Weapon, "Ladder");
    EXPECT_EQ(rosterBytes(),
              recordBytes({changed, placeholderWrestler(), changed, wrestler("Other")}));

    EXPECT_EQ(deleteWrestler(roster, "Twin"), 2u);
    EXPECT_EQ(rosterBytes(), recordBytes({placeholderWrestler(), wrestler("Other")}));
}

TEST_F(RosterOps, NothingIsWrittenWhenNoRecordMatches) {
    // Bare LF endings would come back as CR LF if the file were rewritten.
    const std::string bare = "name\n" + std::string(18, '\n') + "A\n" + std::string(18, '\n');
    hv::test::writeFile(roster.file, bare);
    const auto before = snapshot(world.root.path());

    EXPECT_EQ(ApplyWrestler(roster, "B", boxesOf(wrestler("B"))), 0u);
    EXPECT_EQ(ApplyWrestler(roster, "name", boxesOf(wrestler("X"))), 0u);
    EXPECT_EQ(deleteWrestler(roster, "B"), 0u);
    EXPECT_EQ(deleteWrestler(roster, "name"), 0u);
    EXPECT_EQ(deleteWrestler(roster, ""), 0u);
    EXPECT_EQ(healAll(roster), 0u);
    EXPECT_EQ(moveWrestler(roster, "B", Direction::Up), MoveResult::NotFound);
    EXPECT_EQ(moveWrestler(roster, "name", Direction::Down), MoveResult::NotFound);

    EXPECT_EQ(snapshot(world.root.path()), before);
}

TEST_F(RosterOps, LineBreaksNeverReachTheFile) {
    setRoster({wrestler("A")});
    auto boxes = boxesOf(wrestler("A"));
    boxes[Line::Description] = "Tall\r\n\r\nand\nstrong\r";
    ApplyWrestler(roster, "A", boxes);
    EXPECT_EQ(rosterBytes(), recordBytes({withLine(withLine(wrestler("A"), Line::Carder, " 2 "),
                                                   Line::Description, "Tall and strong ")}));

    const auto before = rosterBytes();
    for (Line line : {Line::Name, Line::Finisher, Line::Manager, Line::Carder}) {
        auto broken = boxesOf(wrestler("A"));
        broken[line] = "two\nlines";
        EXPECT_THROW(ApplyWrestler(roster, "A", broken), OperationRefused) << line;
    }
    auto placeholderName = boxesOf(wrestler("A"));
    placeholderName[Line::Name] = "name";
    EXPECT_THROW(ApplyWrestler(roster, "A", placeholderName), OperationRefused);
    EXPECT_EQ(rosterBytes(), before);
}

TEST_F(RosterOps, AddAppendsTheBlankRecordLast) {
    setRoster({wrestler("A"), placeholderWrestler()});
    addBlankWrestler(roster);
    addBlankWrestler(roster);
    const Lines blank = hv::test::blankWrestlerLines();
    EXPECT_EQ(rosterBytes(), recordBytes({wrestler("A"), placeholderWrestler(), blank, blank}));
    EXPECT_EQ(rosterNames(roster).back(), "Your Wrestler");

    // Bare LF endings and a last line without one are written back ended by CR LF, so the
    // new record starts on a line of its own.
    std::string bare = recordBytes({wrestler("A")});
    std::erase(bare, '\r');
    bare.pop_back();
    hv::test::writeFile(roster.file, bare);
    addBlankWrestler(roster);
    EXPECT_EQ(rosterBytes(), recordBytes({wrestler("A"), blank}));
}

// Names in file order, placeholders shown as "-".
std::vector<std::string> order(const RosterFile& roster) {
    std::vector<std::string> names;
    for (const auto& r : readRoster(roster))
        names.push_back(r.isPlaceholder() ? "-" : r.name());
    return names;
}

TEST_F(RosterOps, MovesSwapNeighboursAndRefuseAtTheEnds) {
    using V = std::vector<std::string>;
    setRoster({placeholderWrestler(), wrestler("A"), wrestler("B"), wrestler("C")});
    EXPECT_EQ(moveWrestler(roster, "A", Direction::Up), MoveResult::Refused);
    EXPECT_EQ(moveWrestler(roster, "C", Direction::Down), MoveResult::Refused);
    EXPECT_EQ(moveWrestler(roster, "C", Direction::Up), MoveResult::Moved);
    EXPECT_EQ(order(roster), (V{"-", "A", "C", "B"}));

    setRoster({wrestler("A"), wrestler("B"), wrestler("C")});
    EXPECT_EQ(moveWrestler(roster, "A", Direction::Up), MoveResult::Refused);
    EXPECT_EQ(moveWrestler(roster, "B", Direction::Up), MoveResult::Refused);
    EXPECT_EQ(moveWrestler(roster, "A", Direction::Down), MoveResult::Moved);
    EXPECT_EQ(order(roster), (V{"B", "A", "C"}));

    setRoster({wrestler("A"), placeholderWrestler(), wrestler("B")});
    EXPECT_EQ(moveWrestler(roster, "B", Direction::Up), MoveResult::Moved);
    EXPECT_EQ(order(roster), (V{"A", "B", "-"}));
    EXPECT_EQ(rosterNames(roster), (V{"A", "B"}));

    const Lines secondTwin = withLine(wrestler("Twin"), Line::Draw, "1");
    setRoster({wrestler("A"), wrestler("B"), wrestler("Twin"), secondTwin});
    moveWrestler(roster, "Twin", Direction::Down);
    EXPECT_EQ(rosterBytes(),
              recordBytes({wrestler("A"), wrestler("B"), secondTwin, wrestler("Twin")}));
}

TEST_F(RosterOps, AMoveExchangesExactlyTwoNeighbouringRecords) {
    std::vector<Lines> records;
    for (const char* n : {"A", "B", "name", "C", "D", "name", "E"})
        records.push_back(std::string_view(n) == "name" ? placeholderWrestler() : wrestler(n));
    for (const char* n : {"A", "B", "C", "D", "E"}) {
        for (Direction direction : {Direction::Up, Direction::Down}) {
            setRoster(records);
            const auto result = moveWrestler(roster, n, direction);
            auto expected = records;
            if (result == MoveResult::Moved) {
                std::size_t p = 0;
                while (expected[p][0] != n)
                    ++p;
                std::swap(expected[p], expected[direction == Direction::Up ? p - 1 : p + 1]);
                EXPECT_NE(expected, records);
            }
            EXPECT_EQ(rosterBytes(), recordBytes(expected)) << n;
        }
    }
}

TEST_F(RosterOps, ReorderingStartsAtTheSecondRecordOrElseTheFirst) {
    auto selectionOf = [&](const std::vector<Lines>& records) {
        setRoster(records);
        return listRoster(roster).reorderSelection;
    };
    EXPECT_EQ(selectionOf({placeholderWrestler(), wrestler("A"), wrestler("B")}), "A");
    EXPECT_EQ(selectionOf({wrestler("A"), wrestler("B"), wrestler("C")}), "B");
    EXPECT_EQ(selectionOf({wrestler("A"), placeholderWrestler(), wrestler("B")}), "A");
    EXPECT_EQ(selectionOf({placeholderWrestler(), placeholderWrestler(), wrestler("A")}),
              std::nullopt);
    EXPECT_EQ(selectionOf({}), std::nullopt);
}

TEST_F(RosterOps, InjuredAreWrestlersOutAtLeastOneWeekAndHealingTouchesOnlyThem) {
    const std::vector<Lines> records = {wrestler("Fit", "2", "0"),  wrestler("Fit too", "2", " 0 "),
                                        wrestler("Empty", "2", ""), wrestler("Hurt", "2", "1"),
                                        placeholderWrestler(),      wrestler("Long", "2", " 12 "),
                                        wrestler("Odd", "2", "-3")};
    setRoster(records);

    const auto injured = injuredWrestlers(roster);
    ASSERT_EQ(injured.size(), 2u);
    EXPECT_EQ(injured[0].name, "Hurt");
    EXPECT_EQ(injured[1].name, "Long");
    EXPECT_EQ(injured[1].weeks, " 12 ");

    EXPECT_EQ(healAll(roster), 2u);
    auto expected = records;
    expected[3][Line::Injury] = " 0 ";
    expected[5][Line::Injury] = " 0 ";
    EXPECT_EQ(rosterBytes(), recordBytes(expected));
    EXPECT_TRUE(injuredWrestlers(roster).empty());
}

TEST_F(RosterOps, AFailedRewriteLeavesTheRosterAsItWas) {
    setRoster({placeholderWrestler(), wrestler("A"), wrestler("B", "2", "4"), wrestler("C")});
    const auto before = snapshot(world.root.path());
    auto boxes = boxesOf(wrestler("A"));
    const std::vector<std::function<void()>> changes = {
        [&] { ApplyWrestler(roster, "A", boxes); },
        [&] { addBlankWrestler(roster); },
        [&] { deleteWrestler(roster, "A"); },
        [&] { moveWrestler(roster, "C", Direction::Up); },
        [&] { healAll(roster); },
    };
    rewriteSyscalls().rename = [](const char*, const char*) {
        errno = EACCES;
        return -1;
    };
    for (const auto& change : changes) {
        try {
            change();
            ADD_FAILURE() << "the rewrite did not fail";
        } catch (const GameFileError& e) {
            EXPECT_EQ(e.file(), roster.file);
        }
        EXPECT_EQ(snapshot(world.root.path()), before);
    }
    resetRewriteSyscalls();
}

TEST_F(RosterOps, ATruncatedRosterOrAnUnreadableInjuryIsReportedAndNothingIsWritten) {
    auto bytes = recordBytes({wrestler("A"), wrestler("B", "2", "3")});
    bytes.resize(bytes.size() - 10);
    hv::test::writeFile(roster.file, bytes);
    const auto before = snapshot(world.root.path());
    auto boxes = boxesOf(wrestler("A"));
    const std::vector<std::function<void()>> operations = {
        [&] { rosterNames(roster); },
        [&] { ApplyWrestler(roster, "A", boxes); },
        [&] { addBlankWrestler(roster); },
        [&] { deleteWrestler(roster, "A"); },
        [&] { moveWrestler(roster, "A", Direction::Down); },
        [&] { injuredWrestlers(roster); },
        [&] { healAll(roster); },
    };
    auto expectReported = [&](const auto& calls, std::size_t line) {
        for (const auto& operation : calls) {
            try {
                operation();
                ADD_FAILURE() << "no error";
            } catch (const GameFileError& e) {
                EXPECT_EQ(e.file(), roster.file);
                EXPECT_EQ(e.line(), line);
            }
        }
    };
    expectReported(operations, 38); // the first line that is missing
    EXPECT_EQ(snapshot(world.root.path()), before);

    setRoster({wrestler("A"), wrestler("B", "2", "three")});
    const auto unreadable = snapshot(world.root.path());
    expectReported(std::vector<std::function<void()>>{[&] { injuredWrestlers(roster); },
                                                      [&] { healAll(roster); }},
                   20 + Line::Injury);
    EXPECT_EQ(snapshot(world.root.path()), unreadable);
}

} // namespace
} // namespace hv::roster
