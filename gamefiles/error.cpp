#include "error.h"

#include "check.h"
#include "text.h"

namespace hv {

GameFileError::GameFileError(std::filesystem::path file, std::string problem, std::size_t line)
    : std::runtime_error(problemText(file, line, problem)), file_(std::move(file)),
      problem_(std::move(problem)), line_(line) {}

void refuseChange(const std::filesystem::path& file, std::string_view problem, std::size_t line) {
    throw GameFileError(file, std::string(problem) + std::string(kNothingWritten), line);
}

void refuseOperation(std::string_view sentences) {
    throw OperationRefused(std::string(sentences) + std::string(kNothingWrittenSentence));
}

void refuseLineBreak(const std::filesystem::path& file, std::string_view what,
                     std::string_view value) {
    if (hasLineBreak(value))
        refuseChange(file, "the " + std::string(what) +
                               " holds a line break, which would split it over two lines");
}

void refuseNonNumber(const std::filesystem::path& file, std::string_view what,
                     std::string_view value) {
    if (!isNumberValue(value))
        refuseChange(file, "the " + std::string(what) + " is not a number: \"" +
                               std::string(value) + "\"");
}

} // namespace hv
