#include "save_game.h"

#include "error.h"
#include "text.h"

namespace hv {

SaveHeader parseSaveGame(std::string_view bytes, const std::filesystem::path& file) {
    SaveHeader header;
    LineReader reader(bytes);
    for (std::size_t i = 0; i < SaveHeader::kLines; ++i) {
        if (reader.atEnd())
            throw GameFileError(file,
                                "save game is too short: " + std::to_string(i) +
                                    " lines, at least " + std::to_string(SaveHeader::kLines) +
                                    " expected",
                                i + 1); // the first missing line
        header.lines[i] = std::string(reader.next());
    }
    // Everything after line 30 is the game's: keep it byte for byte.
    header.rest.assign(bytes.substr(reader.position()));
    return header;
}

SaveHeader readSaveGame(const std::filesystem::path& file) {
    return parseSaveGame(readFileBytes(file), file);
}

std::string serializeSaveGame(const SaveHeader& header) {
    std::string out;
    for (const auto& line : header.lines)
        appendTextLine(out, line);
    out += header.rest;
    return out;
}

std::string readFederationName(const std::filesystem::path& saveGameFile) {
    const std::string bytes = readFileBytes(saveGameFile);
    LineReader reader(bytes);
    for (int i = 0; i < 2; ++i) {
        if (reader.atEnd())
            throw GameFileError(saveGameFile, "save game ends before the federation name", 2);
        std::string_view line = reader.next();
        if (i == 1)
            return fieldReadFirst(line);
    }
    return {};
}

std::optional<std::string> OtherBigFed(std::string_view federation) {
    if (federation == "WWF")
        return "WCW";
    if (federation == "WCW")
        return "WWF";
    return std::nullopt;
}

} // namespace hv
