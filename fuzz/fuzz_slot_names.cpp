// saveslots.hv1: the four slot names, read at start-up and rewritten by the settings editor.

#include "fuzz/fuzz_support.h"
#include "gamefiles/slot_names.h"
#include "gamefiles/text.h"
#include "savegame/savegame_ops.h"

using namespace hv;

HV_FUZZ_TARGET(bytes) {
    const bool readable =
        fuzz::readOrNothing([&] { return parseSaveSlotNames(bytes, "saveslots.hv1"); }).has_value();

    const std::string game = fuzz::resetScratch() / "game";
    const auto names = fuzz::put("game/saveslots.hv1", bytes);
    std::string save;
    for (int i = 1; i <= 30; ++i)
        save += "line " + std::to_string(i) + "\r\n";
    fuzz::put("game/save2/Saved Game/save1.hv1", save);
    const savegame::SaveGameFile slot(game, "save2");
    savegame::Settings settings;
    try {
        // Writing back the settings that were read changes neither file.
        settings = savegame::readSettings(slot);
        savegame::applySettings(slot, settings);
        fuzz::require(readable, "only four slot names are rewritten");
        if (fuzz::crlfOnly(bytes))
            fuzz::require(fuzz::bytesOf(names) == bytes, "unchanged slot names keep every byte");
        fuzz::require(fuzz::bytesOf(slot.file) == save, "unchanged settings keep the save game");
    } catch (const GameFileError&) {
        // Refused: a file whose lines do not all end in CR LF, or a lone CR, which is read
        // as part of its line but may not be written in a value.
        fuzz::require(!readable || !fuzz::crlfOnly(bytes) || hasLineBreak(settings[0]),
                      "four readable slot names can be written back");
    }
}
