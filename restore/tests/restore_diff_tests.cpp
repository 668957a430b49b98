#include "restore/restore_diff.h"

#include "roster/roster_ops.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace hv::restore {
namespace {

using namespace hv::test;
using Lines = std::vector<std::string>;

class RestoreDiff : public ::testing::Test {
protected:
    std::string folder() const { return world.game.string(); }
    roster::RosterFile roster() const { return {folder(), "save1"}; }
    void edit(const char* name, WrestlerRecord::Line line, const char* value) const {
        roster::setWrestlerFields(roster(), name, {{line, value}});
    }

    GameWorld world;
};

// Each file of a point is compared as the change left it: with the next newer point's kept
// version, else the file now; a file written since by another program is compared as it is now.
TEST_F(RestoreDiff, APointIsToldFileByFileAsItsChangeLeftTheFiles) {
    struct Case {
        const char* name;
        std::function<void()> changes; // point 1 is the first of them
        Lines expected;
    };
    const Case cases[] = {
        {"an edit, the later changes to its file not its own",
         [this] {
             edit("Axe", WrestlerRecord::Draw, "55");
             edit("Axe", WrestlerRecord::Draw, "60");
             roster::deleteWrestler(roster(), "Blade");
         },
         {"Roster: Axe: Draw 50 -> 55"}},
        {"written by another program between this change and the next",
         [this] {
             edit("Axe", WrestlerRecord::Draw, "55");
             writeFile(world.rosterFile(), world.roster() + crlf(wrestler("Game")));
             edit("Axe", WrestlerRecord::Draw, "60");
         },
         {"Roster: changed outside the editor since; compared as it is now",
          "Roster: Axe: Draw 50 -> 60", "Roster: Game joined"}},
        {"a delete", [this] { roster::deleteWrestler(roster(), "Axe"); }, {"Roster: Axe left"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(world.game / ".hv-restore");
        world.setRoster("save1", {wrestler("Axe"), wrestler("Blade")});
        c.changes();
        EXPECT_EQ(describePoint(folder(), "save1", 1), c.expected);
    }
}

// Two versions of one file, as bytes.
TEST(RestoreDiffVersions, RecordsMatchByNameAndOccurrenceAndBadFilesBySize) {
    const auto axe = wrestler("Axe"), blade = wrestler("Blade"), p = placeholderWrestler();
    std::vector<std::string> header(30, "x"), changed;
    header[1] = "WCW";
    changed = header;
    changed[6] = "2500000";
    changed[8] = "B";
    changed[21] = "300";
    struct Case {
        const char* file;
        std::string before, after;
        Lines expected;
    };
    const Case cases[] = {
        {"save1/CONTROLLED/YourFed.hv1",
         recordBytes({axe, blade, axe}),
         recordBytes({axe, blade, withLine(axe, 12, "90")}),
         {"Roster: Axe: Morale 75 -> 90"}},
        {"save1/Controlled/yourfed.hv1",
         recordBytes({axe, p, blade}),
         recordBytes({blade, axe, p, p}),
         {"Roster: order changed", "Roster: placeholder records 1 -> 2"}},
        {"save1/Controlled/yourfed.hv1",
         recordBytes({axe}),
         recordBytes({axe}) + "Blade\r\n",
         {"Roster: changed (118 bytes -> 125 bytes)"}},
        {"save2/background/wcwmanagers.hv1",
         crlf({"Jim", "m", "Sue", "f"}),
         crlf({"Jim", "f", "Ann", "f"}),
         {"WCW managers: Jim: Sex m -> f", "WCW managers: Sue: Name Sue -> Ann"}},
        {"save1/Saved Game/save1.hv1",
         crlf(header) + "game\r\n",
         crlf(changed) + "game\r\nmore\r\n",
         {"Save game: Fed's bank account $ x -> 2500000",
          "Save game: U.S. Heavyweight Champion x -> B", "Save game: Feud 1 level x -> 300",
          "Save game: the game's data after line 30 changed (6 bytes -> 12 bytes)"}},
        {"saveslots.hv1",
         crlf({"One", "Two", "Three", "Four"}),
         crlf({"One", "", "Three", "Four"}),
         {"Slot names: Save 2 Two -> \"\""}},
        {"save1/Background/otherbig.hv1", "x", "x", {"Indy: unchanged"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(diffVersions(c.file, c.before, c.after), c.expected);
    }
}

} // namespace
} // namespace hv::restore
