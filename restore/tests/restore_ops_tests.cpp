#include "restore/restore_ops.h"

#include "gamefiles/error.h"
#include "gamefiles/game_folder.h"
#include "otherfeds/otherfeds_ops.h"
#include "roster/roster_ops.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace hv::restore {
namespace {

using namespace hv::test;
namespace fs = std::filesystem;

class RestorePoints : public ::testing::Test {
protected:
    RestorePoints() {
        world.setRoster("save1", {wrestler("Axe"), wrestler("Blade")});
        writeFile(world.slotFile("save1", "Background/ecw.hv1"),
                  crlf(std::vector<std::string>(16, "Ecw Line")) + crlf(rivalWrestler("Dee")));
    }
    ~RestorePoints() override { resetRestoreLinker(); }

    std::vector<RestorePoint> points() const { return listPoints(folder(), "save1"); }
    std::string folder() const { return world.game.string(); }
    roster::RosterFile roster() const { return {folder(), "save1"}; }
    void trade(otherfeds::Party from = otherfeds::Party::Ecw,
               otherfeds::Party to = otherfeds::Party::Indy,
               const std::string& name = "Ecw Line") const {
        otherfeds::TransferWrestler(folder(), {"save1", from, to, name, name, "2", {}},
                                    [] { return 0.5; });
    }
    void edit(const char* name, const char* draw) const {
        roster::setWrestlerFields(roster(), name, {{WrestlerRecord::Draw, draw}});
    }

    GameWorld world;
};

// (What each point keeps, byte for byte, is the model test's; here how it is kept and named.)
TEST_F(RestorePoints, KeepTheReplacedFileItselfAndNameEachChange) {
    // A second name for the old roster: a kept hard link is that very file, not a copy.
    fs::create_hard_link(world.rosterFile(), world.root.path() / "old-roster");
    edit("Axe", "9");
    trade();
    const auto made = points();
    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(made[1].description, "Edit Axe");
    EXPECT_TRUE(fs::equivalent(made[1].kept(0), world.root.path() / "old-roster"));
    EXPECT_EQ(made[0].description, "Trade Ecw Line: ECW to Indy/Other");
    EXPECT_EQ(made[0].files, (std::vector<std::string>{"save1/Background/otherbig.hv1",
                                                       "save1/Background/ecw.hv1"}));
    // Undoing an undo is a redo, and the names stay flat.
    applyPoint(folder(), "save1", 1);
    applyPoint(folder(), "save1", points().front().id);
    EXPECT_EQ(points().front().description, "Redo of Edit Axe");
    applyPoint(folder(), "save1", points().front().id);
    EXPECT_EQ(points().front().description, "Undo of Edit Axe");
}

// A file written by another program since the last change the restore undoes is named as a
// player knows it, and only an explicit yes overwrites it.
TEST_F(RestorePoints, AFileChangedSinceIsNamedAndOnlyOverwrittenWhenAllowed) {
    edit("Axe", "9");
    trade(otherfeds::Party::Ecw, otherfeds::Party::Own, "Dee");
    const auto roster = world.rosterFile(), ecw = world.slotFile("save1", "Background/ecw.hv1");
    const std::string original = readFile(points().back().kept(0));
    writeFile(ecw, readFile(ecw) + "game\r\n");
    EXPECT_EQ(planRestore(folder(), "save1", 1).changedSince,
              std::vector<std::string>{"the ECW roster of Save 1 (ecw.hv1)"});
    const auto files = world.files();
    try {
        applyPoint(folder(), "save1", 1);
        ADD_FAILURE() << "restored over a newer file";
    } catch (const OperationRefused& e) {
        EXPECT_TRUE(std::string(e.what()).starts_with("the ECW roster of Save 1 (ecw.hv1) was"))
            << e.what();
    }
    EXPECT_EQ(world.files(), files);
    applyPoint(folder(), "save1", 1, planRestore(folder(), "save1", 1).id);
    EXPECT_EQ(readFile(roster), original);

    // A point of an earlier version, which recorded the FNV-1a hash, is still told apart; one
    // from before what changes leave was recorded asks nothing.
    edit("Axe", "5");
    const fs::path manifest = points().front().folder / "point.txt";
    const std::string text = readFile(manifest);
    const std::size_t at = text.find("state "), end = text.find('\n', at) + 1;
    const std::string now = readFile(roster);
    std::uint64_t fnv = 0xcbf29ce484222325ULL;
    for (unsigned char c : now)
        fnv = (fnv ^ c) * 0x100000001b3ULL;
    std::ostringstream legacy;
    legacy << "left " << now.size() << " " << std::hex << fnv << "\n";
    writeFile(manifest, text.substr(0, at) + legacy.str() + text.substr(end));
    const auto changed = [&] {
        return !planRestore(folder(), "save1", points().front().id).changedSince.empty();
    };
    EXPECT_FALSE(changed());
    writeFile(roster, "game\r\n");
    EXPECT_TRUE(changed());
    writeFile(manifest, text.substr(0, at) + text.substr(end));
    EXPECT_FALSE(changed());

    const std::pair<const char*, const char*> names[] = {
        {"/g/save3/background/WWFMANAGERS.hv1", "the WWF managers of Save 3 (WWFMANAGERS.hv1)"},
        {"/g/save9/Background/ecw.hv1", "ecw.hv1"},
    };
    for (const auto& [path, name] : names)
        EXPECT_EQ(playerFileName(path), name);
}

TEST_F(RestorePoints, AFailedLinkIsCopiedAndAnImpossibleCopyRefusesTheChange) {
    const std::string old = world.roster();
    restoreLinker() = [](const fs::path&, const fs::path&, std::error_code& error) {
        error = std::make_error_code(std::errc::cross_device_link);
    };
    roster::deleteWrestler(roster(), "Blade");
    ASSERT_EQ(points().size(), 1u);
    EXPECT_EQ(readFile(points().front().kept(0)), old);
    EXPECT_EQ(fs::hard_link_count(points().front().kept(0)), 1u);

    // Something in the way of the copy: the roster keeps every byte, and no point is left.
    restoreLinker() = [](const fs::path&, const fs::path& link, std::error_code& error) {
        fs::create_directory(link);
        error = std::make_error_code(std::errc::operation_not_permitted);
    };
    const auto before = snapshot(world.root.path());
    EXPECT_THROW(roster::deleteWrestler(roster(), "Axe"), GameFileError);
    EXPECT_EQ(snapshot(world.root.path()), before);
    EXPECT_EQ(points().size(), 1u);
    resetRestoreLinker();
    // (A change of two files that fails halfway is put back, or its point undoes it: the
    // failure sweep.)
}

TEST_F(RestorePoints, OnlyTheNewestFiftyAreKeptAndNoChangeMakesNoPoint) {
    for (int i = 0; i < 52; ++i)
        roster::addBlankWrestler(roster());
    roster::deleteWrestler(roster(), "Nobody");
    const auto kept = points();
    ASSERT_EQ(kept.size(), kRestorePointsKept);
    EXPECT_EQ(kept.front().id, 52u);
    EXPECT_EQ(kept.back().id, 3u);
    EXPECT_FALSE(fs::exists(world.game / ".hv-restore/save1/2"));
}

} // namespace
} // namespace hv::restore
