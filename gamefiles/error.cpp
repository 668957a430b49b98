#include "error.h"

namespace hv {
namespace {
std::string describe(const std::filesystem::path& file, const std::string& problem,
                     std::size_t line) {
    // Built with append: GCC 12 warns falsely (-Wrestrict) on chained string operator+.
    std::string text = file.string();
    if (line > 0) {
        text.append(":");
        text.append(std::to_string(line));
    }
    text.append(": ");
    text.append(problem);
    return text;
}
} // namespace

GameFileError::GameFileError(std::filesystem::path file, std::string problem, std::size_t line)
    : std::runtime_error(describe(file, problem, line)), file_(std::move(file)),
      problem_(std::move(problem)), line_(line) {}

} // namespace hv
