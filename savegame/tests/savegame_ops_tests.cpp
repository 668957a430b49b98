#include "savegame/savegame_ops.h"

#include "gamefiles/error.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

namespace hv::test {
namespace {

using namespace hv::savegame;
using Lines = std::vector<std::string>;
using Files = std::vector<std::pair<std::string, std::string>>;

class SaveGameOps : public ::testing::Test {
protected:
    SaveGameOps() {
        for (const char* level : {" 500 ", "10600", " 15 ", "abc", " 20000 "})
            lines.insert(lines.end(), {" 12345 ", level});
        lines.insert(lines.end(), {"game data 31", "  game data 32, kept  "});
        writeFile(world.slotFile("save2", kSave), crlf(lines));
    }
    SaveGameFile save() const { return SaveGameFile(world.game.string(), "save2"); }
    // The files as they were, but for the save game of "save2" now holding `lines` and, if
    // given, the slot names.
    Files expected(Files before, const std::string& slotNames = {}) const {
        for (auto& [name, bytes] : before) {
            if (name == "Halvorn/save2/Saved Game/save1.hv1")
                bytes = crlf(lines);
            if (name == "Halvorn/saveslots.hv1" && !slotNames.empty())
                bytes = slotNames;
        }
        return before;
    }

    static constexpr const char* kSave = "Saved Game/save1.hv1";
    GameWorld world;
    Lines lines = {"Cole",          "WWF",        "Monday",     "12",
                   "March",         "99",         "250000",     "Champ A",
                   "Vacant",        "Champ C",    "Champ D",    "Champ E",
                   "Team",          "Member One", "Member Two", "Gamma, the one with a comma",
                   "Alpha vs Beta", "",           "\"Quoted\"", " Padded "};
};

TEST_F(SaveGameOps, SettingsChangeOnlyTheSlotNameAndLinesOneAndThreeToSeven) {
    const Files before = world.files();
    const Settings values{"New, Name", "", "Munday", "45", "Smarch", " 2001 ", "-1000"};
    applySettings(save(), values);
    lines[0] = "";
    std::copy(values.begin() + 2, values.end(), lines.begin() + 2);
    EXPECT_EQ(world.files(),
              expected(before, crlf({"First Slot", "New, Name", "No Saved Game", "Fourth Slot"})));
}

TEST_F(SaveGameOps, ShortFilesAreRefusedNamingTheFileAndNothingIsWritten) {
    const auto expectRefused = [&](std::size_t keep, const char* file, auto operation) {
        writeFile(world.slotFile("save2", kSave), crlf(Lines(lines.begin(), lines.begin() + keep)));
        const auto before = world.files();
        try {
            operation();
            ADD_FAILURE() << "not refused";
        } catch (const GameFileError& e) {
            EXPECT_NE(e.file().string().find(file), std::string::npos) << e.what();
        }
        EXPECT_EQ(world.files(), before);
    };
    const Settings settings{"a", "b", "c", "d", "e", "f", "g"};
    expectRefused(29, "save1.hv1", [&] { applyFeuds(save(), {}); });
    expectRefused(11, "save1.hv1", [&] { applyTitles(save(), {}); });
    expectRefused(6, "save1.hv1", [&] { applySettings(save(), settings); });
    writeFile(world.game / "saveslots.hv1", crlf({"One", "Two", "Three"}));
    expectRefused(32, "saveslots.hv1", [&] { applySettings(save(), settings); });
}

TEST_F(SaveGameOps, FeudsAreReadAsWholeLinesAndWrittenWithMarkersAndNumberLines) {
    Feuds feuds = readFeuds(save());
    const int levels[] = {500, 10600, 15, 15, 10600};
    const bool valid[] = {true, true, true, false, false};
    for (std::size_t f = 0; f < kFeuds; ++f) {
        EXPECT_EQ(feuds[f].level, levels[f]);
        EXPECT_EQ(feuds[f].levelValid, valid[f]);
    }
    EXPECT_EQ(levelNote(4, feuds[4]),
              "Feud 5 (\"Padded\"): the stored level \" 20000 \" is not a number from 15 to "
              "10600; shown as 10600.");

    feuds[1].deleted = true;
    feuds[1].level = kMinLevel;
    feuds[3].text = "ignored"; // a feud not deleted keeps its stored line
    const auto before = world.files();
    applyFeuds(save(), feuds);
    const Lines written = {" 500 ", " 15 ", " 15 ", " 15 ", " 10600 "};
    for (std::size_t f = 0; f < kFeuds; ++f) {
        if (f == 1)
            lines[15 + f] = "";
        lines[20 + 2 * f] = " 33023 ";
        lines[21 + 2 * f] = written[f];
    }
    EXPECT_EQ(world.files(), expected(before));
}

} // namespace
} // namespace hv::test
