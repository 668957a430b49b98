#pragma once

// options.dat, the editor's own settings file in its working folder: line 1 is the game
// folder; the lines after it belong to the HTML report and are kept.

#include <filesystem>
#include <string>
#include <string_view>

namespace hv {

std::filesystem::path optionsPath(const std::filesystem::path& workDir);

// The game folder: the first value of options.dat by field read. Throws GameFileError when
// the file is missing or empty.
std::string readGameFolder(const std::filesystem::path& workDir);

// Writes `folder` as line 1 and the remaining values of the old file, each on a line of its
// own, through "temp" in the working folder. A missing options.dat is created.
void changeGameFolder(const std::filesystem::path& workDir, std::string_view folder);

} // namespace hv
