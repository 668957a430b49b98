#include "csv.h"

#include "error.h"

#include <algorithm>

namespace hv {

void appendCsvCell(std::string& out, std::string_view text, bool quote) {
    if (!quote && text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

std::string csvCell(std::size_t row, std::size_t column) {
    return "row " + std::to_string(row) + ", column " + std::to_string(column);
}

std::vector<CsvRow> parseCsv(std::string_view text, const std::filesystem::path& file) {
    if (text.starts_with(kUtf8Bom))
        text.remove_prefix(kUtf8Bom.size());
    std::vector<CsvRow> rows;
    CsvRow row;
    std::string cell;
    std::size_t i = 0;
    const auto endRow = [&] {
        row.push_back(std::move(cell));
        cell.clear();
        rows.push_back(std::move(row));
        row.clear();
    };
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"' && cell.empty()) {
            // A quoted cell runs to the quote that is not doubled.
            const std::size_t column = row.size() + 1;
            for (++i;; ++i) {
                if (i >= text.size())
                    throw GameFileError(file, csvCell(rows.size() + 1, column) +
                                                  ": a quote is opened and never closed");
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        cell += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += text[i];
            }
            if (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n')
                throw GameFileError(file, csvCell(rows.size() + 1, column) +
                                              ": text follows the closing quote");
            continue;
        }
        if (c == ',') {
            row.push_back(std::move(cell));
            cell.clear();
        } else if (c == '\r' || c == '\n') {
            endRow();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            cell += c;
        }
        ++i;
    }
    if (!cell.empty() || !row.empty() || (!text.empty() && text.back() == '"'))
        endRow();
    while (!rows.empty() &&
           std::ranges::all_of(rows.back(), [](const std::string& s) { return s.empty(); }))
        rows.pop_back();
    return rows;
}

} // namespace hv
