#pragma once

// Validation of a whole game folder, for "hv check".

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace hv {

struct CheckProblem {
    std::filesystem::path file;
    std::size_t line = 0;
    std::string message;
};

std::vector<CheckProblem> checkGameFolder(const std::string& gameFolder);

} // namespace hv
