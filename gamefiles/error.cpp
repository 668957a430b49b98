#include "error.h"

namespace hv {
namespace {
std::string describe(const std::filesystem::path& file, const std::string& problem,
                     std::size_t line) {
    std::string text = file.string();
    if (line > 0)
        text += ":" + std::to_string(line);
    return text + ": " + problem;
}
} // namespace

GameFileError::GameFileError(std::filesystem::path file, std::string problem, std::size_t line)
    : std::runtime_error(describe(file, problem, line)), file_(std::move(file)),
      problem_(std::move(problem)), line_(line) {}

} // namespace hv
