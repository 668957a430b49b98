// The roster as a spreadsheet file and back.

#include "roster_ops.h"

#include "gamefiles/csv.h"
#include "gamefiles/error.h"
#include "gamefiles/options.h"
#include "gamefiles/restore.h"
#include "gamefiles/system_path.h"
#include "gamefiles/text.h"
#include "gamefiles/unicode.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace hv::roster {
namespace {

namespace fs = std::filesystem;
using Line = WrestlerRecord::Line;

constexpr std::string_view kPosition = "#";

// Fields compared as numbers: the carder is a code the game reads as one.
bool numberLike(Line line) {
    return kWrestlerFields[line].kind == FieldKind::Number || line == Line::Carder;
}

void appendRow(std::string& out, const std::vector<std::pair<std::string, bool>>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += ',';
        appendCsvCell(out, cells[i].first, cells[i].second);
    }
    out += kLineEnd;
}

// Equal as stored, or as numbers in a number field: a spreadsheet drops the game's blanks.
bool sameValue(Line line, std::string_view stored, std::string_view cell) {
    if (stored == cell)
        return true;
    return numberLike(line) && isNumberValue(stored) && isNumberValue(cell) &&
           parseNumber(stored) == parseNumber(cell);
}

class CsvReader {
public:
    CsvReader(const fs::path& file) : file_(file) {}

    [[noreturn]] void refuse(std::size_t row, std::size_t column, const std::string& problem,
                             std::optional<Line> line = std::nullopt) const {
        std::string cell = csvCell(row, column);
        if (line)
            cell += " (" + std::string(kWrestlerFields[*line].name) + ")";
        throw GameFileError(file_, cell + ": " + problem + "; nothing was written");
    }

    // The game's bytes for a cell's UTF-8 text.
    std::string bytes(std::string_view text, std::size_t row, std::size_t column, Line line) const {
        std::string out;
        for (std::size_t pos = 0; pos < text.size();) {
            const auto c = nextUtf8(text, pos);
            if (!c)
                refuse(row, column, "the text is not UTF-8", line);
            const auto byte = unicodeToByte(*c);
            if (!byte) {
                char code[16];
                std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(*c));
                refuse(row, column,
                       "the character " + std::string(code) +
                           " cannot be stored in the game's files",
                       line);
            }
            out.push_back(static_cast<char>(*byte));
        }
        return out;
    }

private:
    fs::path file_;
};

} // namespace

std::string rosterCsv(const RosterFile& roster) {
    const WrestlerFile file = WrestlerFile::read(roster.file);
    std::string out(kUtf8Bom);
    std::vector<std::pair<std::string, bool>> cells{{std::string(kPosition), false}};
    for (const Field& f : kWrestlerFields)
        cells.emplace_back(std::string(f.name), false);
    appendRow(out, cells);
    for (std::size_t i = 0; i < file.size(); ++i) {
        cells.assign(1, {std::to_string(i + 1), false});
        for (const Field& f : kWrestlerFields) {
            const std::string_view value = file.line(i, f.line);
            // Numbers bare, so that a spreadsheet computes with them; all else quoted.
            const bool number = f.kind == FieldKind::Number && isNumberValue(value);
            cells.emplace_back(bytesToUtf8(value), !number);
        }
        appendRow(out, cells);
    }
    return out;
}

void exportRosterCsv(const RosterFile& roster, const fs::path& target, const fs::path& workDir) {
    refuseOutputPath(target, workDir, roster.gameFolder, "CSV file");
    const std::string text = rosterCsv(roster);
    TempRewrite(target, "hv-csv.tmp", text);
}

RosterChanges importRosterCsv(const RosterFile& roster, const fs::path& csvFile, bool dryRun) {
    // From the read of the roster to its replace, so that no other change made meanwhile is lost.
    const GameFolderLock lock(roster.gameFolder);
    const CsvReader reader(csvFile);
    const std::vector<CsvRow> rows = parseCsv(readFileBytes(csvFile), csvFile);
    WrestlerFile file = WrestlerFile::read(roster.file);

    // The header names the columns; a column left out is no change.
    std::vector<std::optional<Line>> columns;
    const CsvRow header = rows.empty() ? CsvRow{} : rows.front();
    std::size_t width = header.size();
    while (width > 0 && header[width - 1].empty())
        --width;
    if (width == 0 || header[0] != kPosition)
        reader.refuse(1, 1, "the first column must be \"#\"");
    columns.emplace_back();
    for (std::size_t c = 1; c < width; ++c) {
        const Field* f = findField(kWrestlerFields, header[c]);
        if (f == nullptr)
            reader.refuse(1, c + 1, "\"" + header[c] + "\" is not a field of a wrestler");
        for (const auto& known : columns)
            if (known == static_cast<Line>(f->line))
                reader.refuse(1, c + 1, "\"" + header[c] + "\" is given twice");
        columns.emplace_back(static_cast<Line>(f->line));
    }

    RosterChanges changes;
    std::map<std::size_t, WrestlerRecord> changed;
    // Rows come in any order (a spreadsheet may have sorted them); "#" names the record.
    std::vector<std::size_t> rowOf(file.size(), 0);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const CsvRow& row = rows[r];
        const std::size_t rowNo = r + 1;
        const auto position = parseNumber(row[0]);
        if (!position || *position < 1)
            reader.refuse(rowNo, 1,
                          "\"#\" is \"" + row[0] + "\", not a record's place in the roster");
        if (static_cast<std::size_t>(*position) > file.size())
            reader.refuse(rowNo, 1,
                          "\"#\" is " + std::to_string(*position) + " but the roster has " +
                              std::to_string(file.size()) + " records; rows cannot be added");
        const std::size_t record = static_cast<std::size_t>(*position) - 1;
        if (rowOf[record] != 0)
            reader.refuse(rowNo, 1,
                          "\"#\" " + std::to_string(*position) + " is also in row " +
                              std::to_string(rowOf[record]));
        rowOf[record] = rowNo;
        for (std::size_t c = width; c < row.size(); ++c)
            if (!row[c].empty())
                reader.refuse(rowNo, c + 1, "a cell beyond the last column");
        for (std::size_t c = 1; c < width; ++c) {
            const Line line = *columns[c];
            // A spreadsheet may leave out empty cells at the end of a row.
            std::string value = reader.bytes(c < row.size() ? row[c] : "", rowNo, c + 1, line);
            if (line == Line::Carder)
                if (auto code = carderCode(value))
                    value = numberLine(*code);
            if (line == Line::FinisherType)
                if (auto code = finisherTypeCode(value))
                    value = std::string(*code);
            const std::string_view stored = file.line(record, line);
            if (sameValue(line, stored, value))
                continue;
            if (file.isPlaceholder(record))
                reader.refuse(rowNo, c + 1,
                              "record " + std::to_string(record + 1) +
                                  " is a placeholder (\"name\"), which is never changed",
                              line);
            if (hasLineBreak(value))
                reader.refuse(rowNo, c + 1,
                              "a line break; the game's files hold one line per value", line);
            if (numberLike(line) && !isNumberValue(value))
                reader.refuse(rowNo, c + 1, "\"" + value + "\" is not a number", line);
            if (line == Line::Name && value == kPlaceholderName)
                reader.refuse(rowNo, c + 1,
                              "\"name\" marks the game's placeholder records and cannot be a "
                              "wrestler's name",
                              line);
            // A changed number as the game writes one.
            if (auto n = parseNumber(value); n && numberLike(line))
                value = numberLine(*n);
            auto [it, fresh] = changed.try_emplace(record, file.record(record));
            it->second.lines[line] = value;
            changes.lines.push_back({record, std::string(file.name(record)), line,
                                     std::string(stored), std::move(value)});
        }
    }
    if (const auto missing = std::ranges::find(rowOf, 0u); missing != rowOf.end())
        reader.refuse(rows.size() + 1, 1,
                      "record " + std::to_string(missing - rowOf.begin() + 1) + " of " +
                          std::to_string(file.size()) + " is missing; rows cannot be removed");

    changes.wrestlers = changed.size();
    if (dryRun || changed.empty())
        return changes;
    const RestoreScope point(roster.gameFolder, roster.slot,
                             "Import " + pathBytes(csvFile.filename()));
    for (const auto& [record, lines] : changed)
        file.replace(record, recordText(lines));
    file.save(roster.temp);
    return changes;
}

std::string changesText(const RosterChanges& changes, bool dryRun) {
    if (changes.lines.empty())
        return "0 changes\n";
    std::string out;
    for (const FieldChangeLine& c : changes.lines)
        out += c.name + "\t" + std::string(kWrestlerFields[c.field].name) + ": " + c.before +
               " -> " + c.after + "\n";
    return out + std::to_string(changes.wrestlers) +
           (changes.wrestlers == 1 ? " wrestler" : " wrestlers") +
           (dryRun ? " would change" : " changed") + "\n";
}

} // namespace hv::roster
