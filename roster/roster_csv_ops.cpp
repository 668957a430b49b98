// The roster as a spreadsheet file and back.

#include "roster_ops.h"

#include "gamefiles/csv.h"
#include "gamefiles/error.h"
#include "gamefiles/file_change.h"
#include "gamefiles/merge.h"
#include "gamefiles/options.h"
#include "gamefiles/restore.h"
#include "gamefiles/system_path.h"
#include "gamefiles/text.h"
#include "gamefiles/unicode.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>

namespace hv::roster {
namespace {

namespace fs = std::filesystem;
using Line = WrestlerRecord::Line;

constexpr std::string_view kPosition = "#";

void appendRow(std::string& out, const std::vector<std::pair<std::string, bool>>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += ',';
        appendCsvCell(out, cells[i].first, cells[i].second);
    }
    out += kLineEnd;
}

class CsvReader {
public:
    CsvReader(const fs::path& file) : file_(file) {}

    [[noreturn]] void refuse(std::size_t row, std::size_t column, const std::string& problem,
                             std::optional<Line> line = std::nullopt) const {
        std::string cell = csvCell(row, column);
        if (line)
            cell += " (" + std::string(kWrestlerFields[*line].name) + ")";
        refuseChange(file_, cell + ": " + problem);
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

// The export's copy of the roster lies in the slot's restore area, which the game never
// reads, named by the hash of its bytes: the same roster exported twice is one copy.
constexpr std::string_view kBaseColumn = "base";
constexpr std::string_view kBasePrefix = "hv-";
constexpr std::string_view kBaseFilePrefix = "sheet-";
constexpr std::size_t kBasesKept = 10;

fs::path baseArea(const RosterFile& roster) {
    return pathFromBytes(roster.gameFolder) / std::string(kRestoreFolder) / roster.slot;
}

std::string baseId(std::string_view bytes) {
    StateHasher hasher;
    hasher.add(bytes);
    std::string id(16, '0');
    for (std::uint64_t hash = hasher.state().hash, i = 16; i-- > 0; hash >>= 4)
        id[i] = "0123456789abcdef"[hash & 15];
    return id;
}

std::optional<std::string> readIfThere(const fs::path& file) {
    try {
        return readFileBytes(file);
    } catch (const GameFileError&) {
        return std::nullopt;
    }
}

// Keeps `bytes` as the base of a sheet, and only the newest kBasesKept bases of the slot.
void keepSheetBase(const RosterFile& roster, std::string_view bytes, const std::string& id) {
    const fs::path area = baseArea(roster);
    const fs::path file = area / (std::string(kBaseFilePrefix) + id);
    std::error_code error;
    if (readIfThere(file) == bytes) {
        fs::last_write_time(file, fs::file_time_type::clock::now(), error); // newest again
    } else {
        // Not a game file: a copy cut short by a crash fails the hash an import checks.
        const fs::path temp = area / "sheet.tmp";
        fs::create_directories(area, error);
        {
            std::ofstream out(temp, std::ios::binary | std::ios::trunc);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            if (!out.flush())
                error = std::make_error_code(std::errc::io_error);
        }
        if (!error)
            fs::rename(temp, file, error);
        if (error) {
            fs::remove(temp, error);
            throw GameFileError(file, "the sheet's base (the roster as exported) cannot be kept "
                                      "here; nothing was exported");
        }
    }
    std::vector<std::pair<fs::file_time_type, fs::path>> bases;
    for (fs::directory_iterator it(area, error), end; !error && it != end; it.increment(error))
        if (it->path().filename().string().starts_with(kBaseFilePrefix))
            bases.emplace_back(it->last_write_time(error), it->path());
    std::ranges::sort(bases, std::greater<>());
    for (std::size_t i = kBasesKept; i < bases.size(); ++i)
        fs::remove(bases[i].second, error);
}

} // namespace

std::string rosterCsv(const RosterFile& roster) {
    // The base is kept under the lock, so that no import reads a half-pruned area.
    const GameFolderLock lock(roster.gameFolder);
    std::string bytes = readFileBytes(roster.file);
    const std::string hash = baseId(bytes);
    keepSheetBase(roster, bytes, hash);
    const std::string id = std::string(kBasePrefix) + hash;
    const WrestlerFile file(std::move(bytes), roster.file);

    std::string out(kUtf8Bom);
    std::vector<std::pair<std::string, bool>> cells{{std::string(kPosition), false}};
    for (const Field& f : kWrestlerFields)
        cells.emplace_back(std::string(f.name), false);
    cells.emplace_back(std::string(kBaseColumn), false);
    appendRow(out, cells);
    for (std::size_t i = 0; i < file.size(); ++i) {
        cells.assign(1, {std::to_string(i + 1), false});
        for (const Field& f : kWrestlerFields) {
            const std::string_view value = file.line(i, f.line);
            // Numbers bare, so that a spreadsheet computes with them; all else quoted.
            const bool number = f.kind == FieldKind::Number && isNumberValue(value);
            cells.emplace_back(bytesToUtf8(value), !number);
        }
        cells.emplace_back(id, true);
        appendRow(out, cells);
    }
    return out;
}

void exportRosterCsv(const RosterFile& roster, const fs::path& target, const fs::path& workDir) {
    refuseOutputPath(target, workDir, roster.gameFolder, "CSV file");
    const std::string text = rosterCsv(roster);
    TempRewrite(target, "hv-csv.tmp", text);
}

namespace {

// Which record of the roster now each record of the base is: the k-th of a name in the base
// is the k-th of that name now; none when the roster has fewer of that name now.
std::vector<std::optional<std::size_t>> matchByName(const WrestlerFile& base,
                                                    const WrestlerFile& now) {
    std::map<std::string_view, std::vector<std::size_t>> byName;
    for (std::size_t i = 0; i < now.size(); ++i)
        if (!now.isPlaceholder(i))
            byName[now.name(i)].push_back(i);
    std::map<std::string_view, std::size_t> seen;
    std::vector<std::optional<std::size_t>> out(base.size());
    for (std::size_t i = 0; i < base.size(); ++i) {
        if (base.isPlaceholder(i))
            continue;
        const std::size_t k = seen[base.name(i)]++;
        if (auto it = byName.find(base.name(i)); it != byName.end() && k < it->second.size())
            out[i] = it->second[k];
    }
    return out;
}

// A wrestler the sheet renamed, whose sheet was imported already, bears his new name now: his
// row is his record when exactly one record bears the new name now, no record of the base bore
// it, and no other row gives it. Rows the import refuses anyway are left to it.
void matchRenamed(const WrestlerFile& base, const WrestlerFile& now,
                  const std::vector<CsvRow>& rows, std::size_t nameColumn,
                  std::vector<std::optional<std::size_t>>& nowOf) {
    std::map<std::string, std::vector<std::size_t>> renamedTo; // new name -> base records
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const auto position = parseNumber(rows[r][0]);
        if (!position || *position < 1 || static_cast<std::size_t>(*position) > base.size() ||
            rows[r].size() <= nameColumn)
            continue;
        const std::size_t b = static_cast<std::size_t>(*position) - 1;
        std::string name;
        for (std::size_t pos = 0; pos < rows[r][nameColumn].size();) {
            const auto c = nextUtf8(rows[r][nameColumn], pos);
            const auto byte = c ? unicodeToByte(*c) : std::nullopt;
            if (!byte)
                break;
            name.push_back(static_cast<char>(*byte));
        }
        if (!nowOf[b] && !base.isPlaceholder(b) && name != base.name(b))
            renamedTo[name].push_back(b);
    }
    for (const auto& [name, records] : renamedTo) {
        if (records.size() != 1 || base.findFirst(name))
            continue;
        std::optional<std::size_t> only;
        std::size_t count = 0;
        for (std::size_t i = 0; i < now.size(); ++i)
            if (now.isNamed(i, name)) {
                only = i;
                ++count;
            }
        if (count == 1)
            nowOf[records.front()] = only;
    }
}

} // namespace

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
    std::optional<std::size_t> baseColumn;
    for (std::size_t c = 1; c < width; ++c) {
        if (header[c] == kBaseColumn) {
            if (baseColumn)
                reader.refuse(1, c + 1, "\"base\" is given twice");
            baseColumn = c;
            columns.emplace_back();
            continue;
        }
        const Field* f = findField(kWrestlerFields, header[c]);
        if (f == nullptr)
            reader.refuse(1, c + 1, "\"" + header[c] + "\" is not a field of a wrestler");
        for (const auto& known : columns)
            if (known == static_cast<Line>(f->line))
                reader.refuse(1, c + 1, "\"" + header[c] + "\" is given twice");
        columns.emplace_back(static_cast<Line>(f->line));
    }

    // The sheet's base: the roster as exported, which tells what the sheet changed. A sheet
    // without one is compared with the roster as it is now, row by row.
    std::optional<WrestlerFile> kept;
    if (baseColumn && rows.size() > 1) {
        const std::string& id = rows[1].size() > *baseColumn ? rows[1][*baseColumn] : "";
        const fs::path copy =
            baseArea(roster) /
            (std::string(kBaseFilePrefix) + id.substr(std::min(id.size(), kBasePrefix.size())));
        std::optional<std::string> bytes;
        if (id.starts_with(kBasePrefix) && id.size() == kBasePrefix.size() + 16 &&
            id.find_first_not_of("0123456789abcdef", kBasePrefix.size()) == std::string::npos)
            bytes = readIfThere(copy);
        if (!bytes || baseId(*bytes) != id.substr(kBasePrefix.size()))
            reader.refuse(2, *baseColumn + 1,
                          "the sheet's base \"" + id +
                              "\" (the roster as exported) is no longer "
                              "kept; only the newest " +
                              std::to_string(kBasesKept) +
                              " exports of a slot are. Export the roster again, or delete the "
                              "\"base\" column to compare the sheet with the roster as it is now");
        kept.emplace(std::move(*bytes), copy);
    }
    const WrestlerFile& base = kept ? *kept : file;
    std::vector<std::optional<std::size_t>> nowOf;
    if (kept) {
        nowOf = matchByName(base, file);
        if (auto name = std::ranges::find(columns, std::optional<Line>(Line::Name));
            name != columns.end())
            matchRenamed(base, file, rows, static_cast<std::size_t>(name - columns.begin()), nowOf);
    } else
        for (std::size_t i = 0; i < file.size(); ++i)
            nowOf.emplace_back(i);

    RosterChanges changes;
    changes.twoWay = !kept;
    std::map<std::size_t, WrestlerRecord> changed;
    std::vector<Conflict> conflicts;
    // Rows come in any order (a spreadsheet may have sorted them); "#" names the record.
    std::vector<std::size_t> rowOf(base.size(), 0);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const CsvRow& row = rows[r];
        const std::size_t rowNo = r + 1;
        // A row cut short (or run on) would blank fields or take cells for other fields.
        if (row.size() != header.size())
            refuseChange(csvFile, "row " + std::to_string(rowNo) + ": " +
                                      std::to_string(row.size()) + " cells, but the header has " +
                                      std::to_string(header.size()));
        const auto position = parseNumber(row[0]);
        if (!position || *position < 1)
            reader.refuse(rowNo, 1,
                          "\"#\" is \"" + row[0] + "\", not a record's place in the roster");
        if (static_cast<std::size_t>(*position) > base.size())
            reader.refuse(rowNo, 1,
                          "\"#\" is " + std::to_string(*position) + " but the roster has " +
                              std::to_string(base.size()) + " records; rows cannot be added");
        const std::size_t record = static_cast<std::size_t>(*position) - 1;
        if (rowOf[record] != 0)
            reader.refuse(rowNo, 1,
                          "\"#\" " + std::to_string(*position) + " is also in row " +
                              std::to_string(rowOf[record]));
        rowOf[record] = rowNo;
        if (baseColumn && row[*baseColumn] != rows[1][*baseColumn])
            reader.refuse(rowNo, *baseColumn + 1,
                          "the base is \"" + row[*baseColumn] + "\", but row 2's is \"" +
                              rows[1][*baseColumn] + "\"; a sheet holds one export");
        for (std::size_t c = width; c < row.size(); ++c)
            if (!row[c].empty())
                reader.refuse(rowNo, c + 1, "a cell beyond the last column");
        const std::optional<std::size_t> now = nowOf[record];
        for (std::size_t c = 1; c < width; ++c) {
            if (!columns[c])
                continue;
            const Line line = *columns[c];
            const Field& field = kWrestlerFields[line];
            std::string value = reader.bytes(row[c], rowNo, c + 1, line);
            if (auto code = field.code(value))
                value = std::move(*code);
            const std::string_view read = base.line(record, line);
            // A spreadsheet drops the game's blanks around a number.
            if (field.sameValue(read, value))
                continue; // not changed in the sheet: whatever the roster holds now stays
            if (base.isPlaceholder(record))
                reader.refuse(rowNo, c + 1,
                              "record " + std::to_string(record + 1) +
                                  " is a placeholder (\"name\"), which is never changed",
                              line);
            if (hasLineBreak(value))
                reader.refuse(rowNo, c + 1,
                              "a line break; the game's files hold one line per value", line);
            if (auto problem = field.refusal(value))
                reader.refuse(rowNo, c + 1, "\"" + value + "\" " + std::string(*problem), line);
            // A changed number as the game writes one.
            if (auto n = parseNumber(value); n && field.numberLike())
                value = numberLine(*n);
            const std::string record_ =
                "row " + std::to_string(rowNo) + " (" + std::string(base.name(record)) + ")";
            if (!now) {
                conflicts.push_back({record_ + ", no longer in the roster", std::string(field.name),
                                     line, value, std::string(read), ""});
                continue;
            }
            const std::string_view stored = file.line(*now, line);
            switch (mergeValue(read, value, stored, field.numberLike())) {
            case Merge::Already:
                continue;
            case Merge::Conflict:
                conflicts.push_back({record_, std::string(field.name), line, value,
                                     std::string(read), std::string(stored)});
                continue;
            case Merge::Write:
                break;
            }
            auto [it, fresh] = changed.try_emplace(*now, file.record(*now));
            it->second.lines[line] = value;
            changes.lines.push_back(
                {*now, std::string(file.name(*now)), line, std::string(stored), std::move(value)});
        }
    }
    if (const auto missing = std::ranges::find(rowOf, 0u); missing != rowOf.end())
        reader.refuse(rows.size() + 1, 1,
                      "record " + std::to_string(missing - rowOf.begin() + 1) + " of " +
                          std::to_string(base.size()) + " is missing; rows cannot be removed");
    if (!conflicts.empty())
        throw ConflictError(std::move(conflicts), "sheet");

    std::ranges::stable_sort(changes.lines, {}, &FieldChangeLine::record);
    changes.wrestlers = changed.size();
    if (dryRun || changed.empty())
        return changes;
    // Read under the lock above already: the sheet is checked before any point is opened.
    editFiles(roster.gameFolder, roster.slot, "Import " + pathBytes(csvFile.filename()),
              [&](FileChange& change) {
                  for (const auto& [record, lines] : changed)
                      file.replace(record, recordText(lines));
                  change.write(file, roster.temp);
              });
    return changes;
}

std::string changesText(const RosterChanges& changes, bool dryRun) {
    std::string out = changes.twoWay ? std::string(kTwoWayNote) + "\n" : "";
    if (changes.lines.empty())
        return out + "0 changes\n";
    for (const FieldChangeLine& c : changes.lines)
        out += c.name + "\t" + std::string(kWrestlerFields[c.field].name) + ": " + c.before +
               " -> " + c.after + "\n";
    return out + std::to_string(changes.wrestlers) +
           (changes.wrestlers == 1 ? " wrestler" : " wrestlers") +
           (dryRun ? " would change" : " changed") + "\n";
}

} // namespace hv::roster
