#pragma once

// Validation of every file the editor reads, for "hv check", and the one wording of a file
// problem that check, hv's errors and the windows' messages all share.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

struct CheckProblem {
    std::filesystem::path file;
    std::size_t line = 0; // 0: the problem is about the whole file
    std::string message;
};

// "path:line: message", or "path: message" without a line.
std::string problemText(const std::filesystem::path& file, std::size_t line,
                        std::string_view message);
inline std::string problemText(const CheckProblem& p) {
    return problemText(p.file, p.line, p.message);
}

// Why line `line` (0-based) of a wrestler's record cannot hold `value`, or nothing when it
// can: the one rule of each field that `hv roster set`, `hv roster batch`, the spreadsheet
// import, the windows and `hv check` share. A number field takes a number or a blank line
// (which the game reads as 0), the carder a number (the game picks the card by it), the name
// anything but the placeholder's "name". The phrase fits after the field's name: "draw" +
// " is not a number". Line breaks are refused apart: a stored lone CR goes back as it is.
std::optional<std::string_view> wrestlerValueProblem(std::size_t line, std::string_view value);

// Every file of the game folder the editor reads: saveslots.hv1, and in each slot the roster,
// the save game header (numbers and feud levels), the rival rosters and the managers files.
// A problem is worded as the operation that reads the file words its failure.
std::vector<CheckProblem> checkGameFolder(const std::string& gameFolder);

// options.dat in the working folder: readable, naming a game folder on line 1, CR LF ends.
std::vector<CheckProblem> checkOptions(const std::filesystem::path& workDir);

// An export file (*.hve) as import and preview read it: 19 lines ended by CR LF, a carder
// code that is a number.
std::vector<CheckProblem> checkExportFile(const std::filesystem::path& file);

} // namespace hv
