#pragma once

// Comma-separated text as spreadsheet programs write it (RFC 4180): a cell in double quotes
// may hold commas, line breaks and doubled quotes; rows end in CR LF, LF or CR.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Appends a cell, in quotes when `quote` or when it needs them.
void appendCsvCell(std::string& out, std::string_view text, bool quote);

using CsvRow = std::vector<std::string>;

// The rows of `text`, a leading byte order mark skipped. Empty rows at the end (a final line
// end, blank lines, rows of empty cells) are left out. Throws GameFileError for `file` naming
// the row and column of a quote left open or text after a closing quote.
std::vector<CsvRow> parseCsv(std::string_view text, const std::filesystem::path& file);

// "row R, column C" as refusals name a cell (both 1-based).
std::string csvCell(std::size_t row, std::size_t column);

} // namespace hv
