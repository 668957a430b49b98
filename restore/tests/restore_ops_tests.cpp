#include "restore/restore_ops.h"

#include "gamefiles/error.h"
#include "otherfeds/otherfeds_ops.h"
#include "roster/roster_ops.h"
#include "testsupport/rewrite_steps.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace hv::restore {
namespace {

using namespace hv::test;
namespace fs = std::filesystem;

class RestorePoints : public ::testing::Test {
protected:
    RestorePoints() {
        world.setRoster("save1", {wrestler("Axe"), wrestler("Blade")});
        writeFile(world.slotFile("save1", "Background/ecw.hv1"),
                  crlf(std::vector<std::string>(16, "Ecw Line")));
    }
    ~RestorePoints() override { resetRestoreLinker(); }

    // The game's own files, restore area left out.
    std::vector<std::pair<std::string, std::string>> gameFiles() const {
        auto files = snapshot(world.game);
        std::erase_if(files, [](auto& f) { return f.first.starts_with(".hv-restore"); });
        return files;
    }
    std::vector<RestorePoint> points() const { return listPoints(folder(), "save1"); }
    std::string folder() const { return world.game.string(); }
    roster::RosterFile roster() const { return {folder(), "save1"}; }
    void trade() const {
        otherfeds::TransferWrestler(
            folder(),
            {"save1", otherfeds::Party::Ecw, otherfeds::Party::Indy, "Ecw Line", "", "", {}},
            [] { return 0.5; });
    }

    GameWorld world;
};

TEST_F(RestorePoints, KeepOldBytesOfOneAndTwoFileChangesAndRestoringCanBeUndone) {
    struct Case {
        const char* change;
        std::function<void()> run;
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {"Edit Axe",
         [this] {
             roster::setWrestlerFields(roster(), "Axe", {{WrestlerRecord::Draw, "9"}});
         },
         {"save1/Controlled/yourfed.hv1"}},
        {"Trade Ecw Line: ECW to Indy/Other",
         [this] { trade(); },
         {"save1/Background/otherbig.hv1", "save1/Background/ecw.hv1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        const auto before = gameFiles();
        const std::size_t made = points().size();
        // A second name for the old roster: a kept hard link is that very file, not a copy.
        fs::create_hard_link(world.rosterFile(), world.root.path() / "old-roster");
        c.run();
        const auto after = gameFiles();
        ASSERT_NE(after, before);
        ASSERT_EQ(points().size(), made + 1);
        const RestorePoint point = points().front();
        EXPECT_EQ(point.description, c.change);
        EXPECT_EQ(point.files, c.files);
        if (c.files.size() == 1) {
            EXPECT_TRUE(fs::equivalent(point.kept(0), world.root.path() / "old-roster"));
        }
        fs::remove(world.root.path() / "old-roster");

        const auto undo = applyPoint(folder(), "save1", point.id);
        EXPECT_EQ(gameFiles(), before);
        EXPECT_EQ(points().front().description,
                  "Restore " + std::to_string(point.id) + " (" + c.change + ")");
        applyPoint(folder(), "save1", undo);
        EXPECT_EQ(gameFiles(), after);
    }
    EXPECT_THROW(applyPoint(folder(), "save1", 99), OperationRefused);
    EXPECT_TRUE(listPoints(folder(), "save2").empty());
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

    // A trade whose second replace fails keeps the one file it did replace, and undoes it.
    const auto files = gameFiles();
    {
        RewriteStepFailure failure(RewriteStep::Replace, 2);
        EXPECT_THROW(trade(), GameFileError);
    }
    ASSERT_EQ(points().size(), 2u);
    EXPECT_EQ(points().front().files, std::vector<std::string>{"save1/Background/otherbig.hv1"});
    applyPoint(folder(), "save1", points().front().id);
    EXPECT_EQ(gameFiles(), files);
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
