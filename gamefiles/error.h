#pragma once

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace hv {

// Every failure of a game-file operation: which file, which line (0 = none) and why.
class GameFileError : public std::runtime_error {
public:
    GameFileError(std::filesystem::path file, std::string problem, std::size_t line = 0);

    const std::filesystem::path& file() const { return file_; }
    const std::string& problem() const { return problem_; }
    std::size_t line() const { return line_; }

private:
    std::filesystem::path file_;
    std::string problem_;
    std::size_t line_;
};

// How a refusal of a change ends: it was refused before any file was written.
inline constexpr std::string_view kNothingWritten = "; nothing was written";
// The same as the last sentence of a message made of sentences.
inline constexpr std::string_view kNothingWrittenSentence = " Nothing was written.";

// Refuses a change: throws a GameFileError for `file` (and `line`), `problem` and
// kNothingWritten its message.
[[noreturn]] void refuseChange(const std::filesystem::path& file, std::string_view problem,
                               std::size_t line = 0);

// Refuses a value holding a CR or LF, which would split it over two lines of `file`: throws a
// GameFileError naming the file and `what` (e.g. "value of \"Finsher\"").
void refuseLineBreak(const std::filesystem::path& file, std::string_view what,
                     std::string_view value);

// Throws a GameFileError for `file` when `value` is not what the game reads as a number.
void refuseNonNumber(const std::filesystem::path& file, std::string_view what,
                     std::string_view value);

// A refusal that is not about one file (bad argument, nothing selected, ...).
class OperationRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Refuses a change for a reason made of sentences: throws OperationRefused with `sentences` and
// kNothingWrittenSentence its message.
[[noreturn]] void refuseOperation(std::string_view sentences);

} // namespace hv
