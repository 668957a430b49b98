#include "gamefiles/game_folder.h"

#include "testsupport/test_support.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

namespace fs = std::filesystem;

TEST(GameFolderLayout, EverySpellingReachesTheSameFileAndNewFilesTakeTheFirst) {
    hv::test::TempDir dir;
    const fs::path game = dir.path(), roster = game / "save1/controlled/YourFed.HV1";
    hv::test::writeFile(roster, "x");
    hv::test::writeFile(game / "save1/background/wwf.hv1", "w");
    for (std::string_view spelling : {"/Controlled/yourfed.hv1", "/controlled/yourfed.hv1",
                                      "\\controlled\\yourfed.hv1", "\\Controlled/YOURFED.hv1"})
        EXPECT_EQ(resolveBelow(game / "save1", spelling), roster) << spelling;
    EXPECT_EQ(resolveBelow(game, "SAVE1\\Background\\wwf.hv1"), game / "save1/background/wwf.hv1");
    EXPECT_EQ(slotFilePath(game.string(), "save1", GameFile::Roster), roster);
    EXPECT_TRUE(isSlotName("save4"));
    EXPECT_FALSE(isSlotName("save5") || isSlotName("Save1"));

    // An exact match wins, or else the first of the sorted case-insensitive matches.
    for (const char* folder : {"backGround", "bACKGROUND", "BackGround"})
        hv::test::writeFile(game / "x" / folder / "b.hv1", "");
    EXPECT_EQ(resolveBelow(game, "x/bACKGROUND/b.hv1"), game / "x/bACKGROUND/b.hv1");
    EXPECT_EQ(resolveBelow(game, "x/BACKGROUND/b.hv1"), game / "x/BackGround/b.hv1");

    // A file not there yet takes the first spelling, or that of a folder already there.
    fs::create_directories(game / "save2");
    EXPECT_EQ(slotFilePath(game.string(), "save2", GameFile::Roster),
              game / "save2/Controlled/yourfed.hv1");
    EXPECT_EQ(slotTempPath(game.string(), "save2", GameFile::WcwManagers),
              game / "save2/background/temp");
    fs::create_directories(game / "save2/CONTROLLED");
    EXPECT_EQ(slotTempPath(game.string(), "save2", GameFile::Roster),
              game / "save2/CONTROLLED/yourfed.tmp");
}

} // namespace
} // namespace hv
