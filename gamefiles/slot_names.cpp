#include "slot_names.h"

#include "error.h"
#include "game_folder.h"
#include "system_path.h"
#include "text.h"

namespace hv {

SaveSlotNames parseSaveSlotNames(std::string_view bytes, const std::filesystem::path& file) {
    SaveSlotNames names;
    LineReader reader(bytes);
    for (std::size_t i = 0; i < names.names.size(); ++i) {
        if (reader.atEnd())
            throw GameFileError(file, "names only " + std::to_string(i) + " of the four save slots",
                                i + 1); // the first missing line
        names.names[i] = std::string(reader.next());
    }
    return names;
}

SaveSlotNames readSaveSlotNames(const std::string& gameFolder) {
    std::error_code ec;
    if (!std::filesystem::is_directory(pathFromBytes(gameFolder), ec))
        throw GameFileError(pathFromBytes(gameFolder), "game folder does not exist");
    const auto file = saveSlotNamesPath(gameFolder);
    return parseSaveSlotNames(readFileBytes(file), file);
}

} // namespace hv
