#include "roster/batch_ops.h"

#include "gamefiles/restore.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

namespace hv::roster {
namespace {

using namespace hv::test;
using Lines = std::vector<std::string>;
using Line = WrestlerRecord::Line;

Lines with(Lines record, std::initializer_list<std::pair<Line, std::string>> lines) {
    for (const auto& [line, value] : lines)
        record.at(line) = value;
    return record;
}

class BatchOps : public ::testing::Test {
protected:
    void SetUp() override { world.setRoster("save1", records); }

    static std::string shown(const BatchPlan& plan) {
        std::string out;
        for (const auto& l : plan.lines)
            out += l.name + " " + std::string(kWrestlerFields[l.field].name) + ":" + l.before +
                   "->" + l.after + "|";
        return out + std::to_string(plan.wrestlers);
    }

    std::vector<Lines> records = {
        with(wrestler("Axe", "3"), {{Line::Draw, " 65 "},
                                    {Line::FinisherType, "p"},
                                    {Line::Morale, "80"},
                                    {Line::TagTeam, "The Axes"},
                                    {Line::Description, "\xC9lan"},
                                    {Line::Weapon, ""}}),
        with(placeholderWrestler(), {{Line::Draw, "40"}, {Line::TagTeam, "x"}}),
        with(wrestler("Blade", "2"), {{Line::Draw, "40"},
                                      {Line::FinisherType, "s"},
                                      {Line::Morale, " 95 "},
                                      {Line::TagTeam, "no"}}),
        with(wrestler("Crow", "1"), {{Line::Draw, ""}, {Line::Morale, "low"}}),
        // A second record of the name, told apart by its place.
        with(wrestler("Axe", "2"), {{Line::Draw, "7"}, {Line::Morale, "3"}}),
    };
    GameWorld world;
    RosterFile roster{world.game.string(), "save1"};
};

TEST_F(BatchOps, ConditionsAndChangesPickAndComputeTheValuesAsShown) {
    struct Case {
        Lines changes, conditions;
        std::string planned;
    };
    const Case cases[] = {
        {{"draw=-3"}, {"draw<40"}, "Axe draw:7-> 4 |1"}, // Crow's blank draw is no number
        {{"draw=+5"}, {"draw="}, "Crow draw:-> 5 |1"},   // ... but counts as 0 when added to
        {{"draw=40"}, {"draw=40", "draw!= 40 "}, "0"},
        {{"draw=41"}, {"draw = 40"}, "Blade draw:40->41|1"},
        {{"draw=65", "morale=+20"},
         {"name~aX"},
         "Axe morale:80-> 100 |Axe draw:7->65|Axe morale:3-> 23 |2"}, // " 65 " is 65
        {{"draw=+0"}, {}, "0"},
        {{"tagteam="}, {"tagteam!=no"}, "Axe tagteam:The Axes->no|1"},
        {{"finishertype=Power Move", "carder=Lower Carder"},
         {"finishertype~sub"},
         "Blade carder:Middle Carder->Lower Carder|Blade finishertype:Submission->Power Move|1"},
        {{"carder=upper carder"},
         {"carder=lower CARDER"},
         "Crow carder:Lower Carder->Upper Carder|1"},
        {{"weapon=Chair"}, {"description~\xE9L", "morale>=80"}, "Axe weapon:->Chair|1"},
        {{"name=Axel"}, {"morale<=3"}, "Axe name:Axe->Axel|1"},
    };
    const auto before = world.files();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.planned);
        EXPECT_EQ(shown(planBatch(roster, parseBatch(c.changes, c.conditions))), c.planned);
    }
    EXPECT_EQ(world.files(), before);
    EXPECT_TRUE(listRestorePoints(world.game, "save1").empty());
}

TEST_F(BatchOps, ApplyWritesOnlyTheChangedLinesInOneRestorePoint) {
    const BatchPlan plan =
        applyBatch(roster, parseBatch({"morale=+25", "stable=Club", "carder=Middle Carder"},
                                      {"draw>=7", "draw<=65"}));
    EXPECT_EQ(plan.wrestlers, 3u);
    records[0] =
        with(records[0], {{Line::Carder, " 2 "}, {Line::Morale, " 105 "}, {Line::Stable, "Club"}});
    records[2] = with(records[2], {{Line::Morale, " 120 "}, {Line::Stable, "Club"}});
    records[4] = with(records[4], {{Line::Morale, " 28 "}, {Line::Stable, "Club"}});
    EXPECT_EQ(world.roster(), recordBytes(records));
    const auto points = listRestorePoints(world.game, "save1");
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].description, "Batch edit: morale=+25, stable=Club, carder=Middle Carder");

    // Nothing to change: no write, no point.
    EXPECT_EQ(applyBatch(roster, parseBatch({"stable=Club"}, {})).wrestlers, 1u); // Crow
    EXPECT_EQ(applyBatch(roster, parseBatch({"stable=Club"}, {})).wrestlers, 0u);
    EXPECT_EQ(listRestorePoints(world.game, "save1").size(), 2u);
}

} // namespace
} // namespace hv::roster
