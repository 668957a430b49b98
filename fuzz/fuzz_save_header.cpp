// The save game: its 30-line header, the game's lines after it, and what the federation
// settings, title holders and feud editors read from it.

#include "fuzz/fuzz_support.h"
#include "gamefiles/save_game.h"
#include "savegame/savegame_ops.h"

using namespace hv;

HV_FUZZ_TARGET(bytes) {
    const auto header = fuzz::readOrNothing([&] { return parseSaveGame(bytes, "save1.hv1"); });
    if (header) {
        const std::string written = serializeSaveGame(*header);
        if (fuzz::crlfOnly(bytes))
            fuzz::require(written == bytes, "an unchanged save game is written back byte for byte");
        const SaveHeader back = parseSaveGame(written, "save1.hv1");
        fuzz::require(back.lines == header->lines && back.rest == header->rest,
                      "a written header reads back");
        OtherBigFed(readFederationName(fuzz::put("fed.hv1", bytes)));
    }

    const std::string game = fuzz::resetScratch() / "game";
    fuzz::put("game/saveslots.hv1", "One\r\nTwo\r\nThree\r\nFour\r\n");
    const savegame::SaveGameFile save(game, "save1");
    fuzz::put("game/save1/Saved Game/save1.hv1", bytes);
    try {
        for (const auto& feud : savegame::readFeuds(save))
            fuzz::require(feud.level >= savegame::kMinLevel && feud.level <= savegame::kMaxLevel,
                          "a feud level is shown within its range");
        savegame::readSettings(save);
        const auto titles = savegame::readTitles(save);
        fuzz::require(header.has_value(), "only a full header is read by the editors");
        // Writing the holders that were read changes nothing.
        savegame::applyTitles(save, titles.holders);
        if (fuzz::crlfOnly(bytes))
            fuzz::require(fuzz::bytesOf(save.file) == bytes, "unchanged holders keep every byte");
    } catch (const GameFileError&) {
    } catch (const OperationRefused&) {
    }
}
