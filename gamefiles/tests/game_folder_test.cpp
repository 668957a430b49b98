#include "gamefiles/game_folder.h"

#include "testsupport/test_support.h"

#include <gtest/gtest.h>

using namespace hv;
using hv::test::TempDir;
using hv::test::writeFile;
namespace fs = std::filesystem;

TEST(GameFolderLayout, EverySpellingReachesTheSameFile) {
    TempDir dir;
    const fs::path game = dir.path() / "game";
    writeFile(game / "save1" / "controlled" / "YourFed.HV1", "x");
    writeFile(game / "save1" / "background" / "wwf.hv1", "w");
    writeFile(game / "save1" / "Saved Game" / "save1.hv1", "s");

    const fs::path roster = game / "save1" / "controlled" / "YourFed.HV1";
    for (std::string_view spelling : {"/Controlled/yourfed.hv1", "/controlled/yourfed.hv1",
                                      "\\controlled\\yourfed.hv1", "\\Controlled/YOURFED.hv1"})
        EXPECT_EQ(resolveBelow(game / "save1", spelling), roster) << spelling;

    EXPECT_EQ(slotFilePath(game.string(), "save1", GameFile::Roster), roster);
    EXPECT_EQ(slotFilePath(game.string(), "save1", GameFile::WwfRoster),
              game / "save1" / "background" / "wwf.hv1");
    EXPECT_EQ(resolveBelow(game, "save1\\Saved Game\\save1.hv1"),
              game / "save1" / "Saved Game" / "save1.hv1");
}

TEST(GameFolderLayout, ExactMatchWinsAndChoiceIsDeterministic) {
    TempDir dir;
    writeFile(dir.path() / "Background" / "b.hv1", "");
    writeFile(dir.path() / "background" / "b.hv1", "");
    writeFile(dir.path() / "BACKGROUND" / "b.hv1", "");
    EXPECT_EQ(resolveBelow(dir.path(), "background/b.hv1"), dir.path() / "background/b.hv1");
    EXPECT_EQ(resolveBelow(dir.path(), "Background/b.hv1"), dir.path() / "Background/b.hv1");
    // No exact match: the first of the sorted case-insensitive matches, every time.
    EXPECT_EQ(resolveBelow(dir.path(), "BackGround/b.hv1"), dir.path() / "BACKGROUND/b.hv1");
}

TEST(GameFolderLayout, NewFilesTakeTheFirstSpelling) {
    TempDir dir;
    fs::create_directories(dir.path() / "save2");
    EXPECT_EQ(slotFilePath(dir.path().string(), "save2", GameFile::Roster),
              dir.path() / "save2" / "Controlled" / "yourfed.hv1");
    EXPECT_EQ(slotTempPath(dir.path().string(), "save2", GameFile::WcwManagers),
              dir.path() / "save2" / "background" / "temp");
    // An existing folder of another case is still used for a file that does not exist yet.
    fs::create_directories(dir.path() / "save2" / "CONTROLLED");
    EXPECT_EQ(slotTempPath(dir.path().string(), "save2", GameFile::Roster),
              dir.path() / "save2" / "CONTROLLED" / "yourfed.tmp");
}

TEST(GameFolderLayout, SlotNames) {
    EXPECT_TRUE(isSlotName("save4"));
    EXPECT_FALSE(isSlotName("save5"));
    EXPECT_FALSE(isSlotName("Save1"));
}
