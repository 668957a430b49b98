#pragma once

// Record files: fixed runs of lines, back to back, with no header or end marker. A file is
// read once and indexed by the offset of each record; changes are kept as a list of edits
// and written as pieces, so that the untouched runs of records are copied whole from the
// bytes as read and only changed records are formatted anew.

#include "error.h"
#include "temp_rewrite.h"
#include "text.h"

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hv {

inline constexpr std::string_view kPlaceholderName = "name";

// The untyped part: bytes, record offsets and edits.
class RecordBytes {
public:
    // Throws GameFileError (file and line) for a file that ends inside a record. A file with
    // bare LF ends or without a final line end is read as if it ended every line in CR LF,
    // but `save` and `prepare` refuse it: a rewrite would change every line end at once.
    RecordBytes(FileBytes source, std::filesystem::path file, std::size_t linesPerRecord);
    // As above; when `source` holds exactly the bytes of `known` (unedited), its index is taken
    // from `known` instead of being made anew, and sameAsKnown() says so.
    RecordBytes(FileBytes source, std::filesystem::path file, std::size_t linesPerRecord,
                const RecordBytes& known);
    bool sameAsKnown() const { return sameAsKnown_; }

    const std::filesystem::path& file() const { return file_; }
    std::size_t size() const { return starts_.size() - 1; }
    std::size_t byteSize() const { return bytes().size(); }
    // 1-based line number of a record's first line.
    std::size_t firstLine(std::size_t record) const { return record * perRecord_ + 1; }
    // Line `line` (0-based) of a record, without its line end.
    std::string_view line(std::size_t record, std::size_t line) const;
    // Whether the record's first line is exactly `text`; looks at no more bytes than that.
    bool firstLineIs(std::size_t record, std::string_view text) const;
    // The record's lines with their line ends, as stored.
    std::string_view text(std::size_t record) const;

    // Edits, all relative to the file as read; nothing is written until `save`.
    void replace(std::size_t record, std::string text);
    // Replaces one line (0-based) of a record, keeping the rest of it as stored.
    void replaceLine(std::size_t record, std::size_t line, std::string_view text);
    void drop(std::size_t record);
    void swap(std::size_t a, std::size_t b);
    void append(std::string text);
    bool changed() const { return !edits_.empty() || !appended_.empty(); }

    // The new file: untouched runs of records as one piece each, edited records as their
    // new text, appended records last.
    std::vector<std::string_view> pieces() const;
    // Writes the new file through the safe rewrite (nothing when unchanged), the old version
    // kept in `scope`'s restore point; saveWithoutRestorePoint, for a file no point keeps.
    // `prepare` writes and syncs the temporary file without putting it in place. A change of a
    // game file goes through editRecordFile or editFiles (file_change.h), which do both.
    void save(const RestoreScope& scope, const std::filesystem::path& tempName) const;
    void saveWithoutRestorePoint(const std::filesystem::path& tempName) const;
    std::unique_ptr<PendingRewrite> prepare(const RestoreScope& scope,
                                            const std::filesystem::path& tempName) const;
    // The new file as pieces() make it, held in memory and indexed from the edits rather than
    // by reading its bytes again (as a file read of those bytes would be).
    std::unique_ptr<RecordBytes> edited() const;
    // The file now holds these records (place, text with its line ends) in place of the ones
    // held there: written over the held bytes where each keeps its length (no edits pending),
    // else the bytes are made anew. Throws GameFileError for a text that is no whole record.
    void putRecords(std::span<const std::pair<std::size_t, std::string>> records);

private:
    RecordBytes(std::filesystem::path file, std::string bytes, std::size_t linesPerRecord,
                std::vector<std::size_t> starts)
        : file_(std::move(file)), bytes_(std::move(bytes)), perRecord_(linesPerRecord),
          starts_(std::move(starts)) {}

    struct Edit {
        enum Kind { Replace, Line, Drop, Take } kind;
        std::string text;  // Replace: the record; Line: the line, both with their line ends
        std::size_t index; // Take: the record whose text goes here; Line: which line
    };

    std::string_view bytes() const { return bytes_.view(); }
    void index();
    void refuseBadLineEnds() const;

    std::filesystem::path file_;
    FileBytes bytes_;
    std::size_t perRecord_;
    std::vector<std::size_t> starts_;       // offset of each record, then the end of the file
    std::optional<std::size_t> badLineEnd_; // the first line not ended by CR LF
    bool sameAsKnown_ = false;
    std::map<std::size_t, Edit> edits_;
    std::vector<std::string> appended_;
};

// Appends a record's lines, each followed by CR LF.
template <class Record> void appendRecord(std::string& out, const Record& record) {
    for (const auto& line : record.lines)
        appendTextLine(out, line);
}

template <class Record> std::string recordText(const Record& record) {
    std::string out;
    appendRecord(out, record);
    return out;
}

template <class Record> std::string serializeRecords(const std::vector<Record>& records) {
    std::string out;
    for (const auto& r : records)
        appendRecord(out, r);
    return out;
}

// A record file of one kind (`Record::kLines` lines a record). Records are found by their
// name line, compared exactly; placeholder records ("name") are never listed or matched.
template <class Record> class RecordFile : public RecordBytes {
    RecordFile(FileBytes bytes, std::filesystem::path file)
        : RecordBytes(std::move(bytes), std::move(file), Record::kLines) {}
    RecordFile(FileBytes bytes, std::filesystem::path file, const RecordBytes& known)
        : RecordBytes(std::move(bytes), std::move(file), Record::kLines, known) {}

public:
    RecordFile(std::string bytes, std::filesystem::path file)
        : RecordBytes(FileBytes(std::move(bytes)), std::move(file), Record::kLines) {}
    static RecordFile read(const std::filesystem::path& file) {
        return RecordFile(FileBytes(file), file);
    }
    // As read(), indexed from `known` when the file holds its bytes (sameAsKnown()).
    static RecordFile read(const std::filesystem::path& file, const RecordBytes* known) {
        return known ? RecordFile(FileBytes(file), file, *known) : read(file);
    }

    std::string_view name(std::size_t record) const { return line(record, 0); }
    bool isPlaceholder(std::size_t record) const {
        return Record::kHasPlaceholders && firstLineIs(record, kPlaceholderName);
    }
    bool isNamed(std::size_t record, std::string_view key) const {
        return firstLineIs(record, key) && !(Record::kHasPlaceholders && key == kPlaceholderName);
    }
    std::optional<std::size_t> findFirst(std::string_view key) const {
        for (std::size_t i = 0; i < size(); ++i)
            if (isNamed(i, key))
                return i;
        return std::nullopt;
    }
    // Names in file order, placeholders left out.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        out.reserve(size());
        for (std::size_t i = 0; i < size(); ++i)
            if (!isPlaceholder(i))
                out.emplace_back(name(i));
        return out;
    }
    Record record(std::size_t index) const {
        Record r;
        r.firstLine = firstLine(index);
        const std::string_view all = text(index);
        LineReader reader(all);
        for (auto& l : r.lines)
            l = reader.next();
        return r;
    }

    using RecordBytes::append;
    using RecordBytes::replace;
    void replace(std::size_t index, const Record& r) { replace(index, recordText(r)); }
    void append(const Record& r) { append(recordText(r)); }
};

} // namespace hv
