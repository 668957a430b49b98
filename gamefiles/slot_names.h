#pragma once

// "saveslots.hv1" at the root of the game folder: the display names of the four slots.

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace hv {

inline constexpr std::string_view kNoSavedGame = "No Saved Game";

struct SaveSlotNames {
    std::array<std::string, 4> names;
};

// Reads the first four lines; fewer is an error naming the file.
SaveSlotNames parseSaveSlotNames(std::string_view bytes, const std::filesystem::path& file);
SaveSlotNames readSaveSlotNames(const std::string& gameFolder);

} // namespace hv
