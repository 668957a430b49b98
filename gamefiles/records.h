#pragma once

// Record files: fixed runs of lines, back to back, with no header or end marker.

#include "error.h"
#include "text.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

inline constexpr std::string_view kPlaceholderName = "name";

// One wrestler of the player's roster (and of an export file).
struct WrestlerRecord {
    static constexpr std::size_t kLines = 19;
    enum Line : std::size_t {
        Name,
        Draw,
        Entertainment,
        Wages,
        Value,
        Description,
        Carder,
        Alignment,
        Contract,
        Finisher,
        TagTeam,
        Injury,
        Morale,
        Stable,
        Manager,
        Weapon,
        FinisherType,
        Style,
        Retirement
    };
    std::array<std::string, kLines> lines;
    std::size_t firstLine = 0; // 1-based line of the record in its file, 0 when not read

    const std::string& name() const { return lines[Name]; }
    bool isPlaceholder() const { return lines[Name] == kPlaceholderName; }
};

// One wrestler of a rival federation.
struct OtherFedRecord {
    static constexpr std::size_t kLines = 16;
    enum Line : std::size_t {
        Name,
        Draw,
        Entertainment,
        Wages,
        Value,
        Description,
        Carder,
        Potential,
        AlterEgo,
        Alignment,
        Finisher,
        TagTeam,
        Weapon,
        FinisherType,
        Style,
        Retirement
    };
    std::array<std::string, kLines> lines;
    std::size_t firstLine = 0;

    const std::string& name() const { return lines[Name]; }
    bool isPlaceholder() const { return lines[Name] == kPlaceholderName; }
};

// The error for a file that ends after `have` of a record's `want` lines.
GameFileError recordCutShort(const std::filesystem::path& file, std::size_t firstLine,
                             std::size_t have, std::size_t want, std::size_t missingLine);

// Parses whole records; a file that ends inside a record is an error naming its line.
template <class Record>
std::vector<Record> parseRecords(std::string_view bytes, const std::filesystem::path& file) {
    std::vector<Record> records;
    // Reserving up front avoids moving every record again as the vector grows.
    records.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) /
                        Record::kLines +
                    1);
    LineReader reader(bytes);
    while (!reader.atEnd()) {
        Record& r = records.emplace_back();
        r.firstLine = reader.lineNumber();
        for (std::size_t i = 0; i < Record::kLines; ++i) {
            if (reader.atEnd())
                throw recordCutShort(file, r.firstLine, i, Record::kLines, reader.lineNumber());
            r.lines[i] = reader.next();
        }
    }
    return records;
}

template <class Record> std::vector<Record> readRecords(const std::filesystem::path& file) {
    return parseRecords<Record>(readFileBytes(file), file);
}

// Names in file order, placeholders left out.
template <class Record> std::vector<std::string> listNames(const std::vector<Record>& records) {
    std::vector<std::string> names;
    names.reserve(records.size());
    for (const auto& r : records)
        if (!r.isPlaceholder())
            names.push_back(r.name());
    return names;
}

// Names straight from the file bytes, placeholders left out, without building the records:
// the fast path for filling lists. A file that ends inside a record is still an error.
template <class Record>
std::vector<std::string> scanNames(std::string_view bytes, const std::filesystem::path& file) {
    std::vector<std::string> names;
    LineReader reader(bytes);
    while (!reader.atEnd()) {
        const std::size_t first = reader.lineNumber();
        std::string_view name = reader.next();
        for (std::size_t i = 1; i < Record::kLines; ++i) {
            if (reader.atEnd())
                throw recordCutShort(file, first, i, Record::kLines, reader.lineNumber());
            reader.next();
        }
        if (name != kPlaceholderName)
            names.emplace_back(name);
    }
    return names;
}

template <class Record> std::vector<std::string> readNames(const std::filesystem::path& file) {
    return scanNames<Record>(readFileBytes(file), file);
}

// The first record whose name is exactly `name` (case-sensitive, no trimming).
template <class Record>
const Record* findFirstByName(const std::vector<Record>& records, std::string_view name) {
    for (const auto& r : records)
        if (r.name() == name)
            return &r;
    return nullptr;
}

template <class Record> void appendRecord(std::string& out, const Record& record) {
    for (const auto& line : record.lines)
        appendTextLine(out, line);
}

template <class Record> std::string serializeRecords(const std::vector<Record>& records) {
    std::string out;
    std::size_t size = 0;
    for (const auto& r : records)
        for (const auto& l : r.lines)
            size += l.size() + 2;
    out.reserve(size);
    for (const auto& r : records)
        appendRecord(out, r);
    return out;
}

// Carder code (line 7) shown as words: 3, 2, 1 compared as numbers. Empty when it is none.
std::string_view carderName(std::string_view line);
// The code for a shown carder name, if it is one of the three.
std::optional<int> carderCode(std::string_view shown);
// Finisher type (line 17), compared exactly: "p" -> "Power Move", "s" -> "Submission".
std::string_view finisherTypeName(std::string_view line);
std::optional<std::string_view> finisherTypeCode(std::string_view shown);

// The record "Add Blank Wrestler" writes.
WrestlerRecord blankWrestler();

// Weeks out injured (line 12) as a number. An empty or blank line counts as 0 (the editor
// itself writes one when the box is cleared); other text that is no number is an error.
long long injuryWeeks(const WrestlerRecord& record, const std::filesystem::path& file);

} // namespace hv
