#pragma once

// The roster table: every record of one federation file as a row and every field as a cell,
// edited in place and written as one change. Qt-free, under the table window.
//
// How a cell shows, refuses and stores a value, and how the edits reach the file, is kept in
// the few "cell" functions and applyTableEdits below, so that the table follows the field rules
// and the write of the other windows from one place.

#include "roster/batch_ops.h"

#include "gamefiles/game_folder.h"
#include "gamefiles/merge.h"
#include "gamefiles/record_file.h"
#include "gamefiles/records.h"
#include "gamefiles/restore.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hv::table {

enum class RecordKind { Wrestler, Rival };

// One federation file the table can show.
struct TableSource {
    std::string caption; // the federation as the trading window names it
    RecordKind kind;
    SlotFile file;
};

// The player's own roster, then the rival files trading knows: the other big federation (when
// the player runs one), ECW and Indy/Other.
std::vector<TableSource> tableSources(const std::string& gameFolder, std::string_view slot);

// The fields of a record kind, in line order.
std::span<const Field> tableFields(RecordKind kind);

// A federation file as read: its records indexed over the bytes, and the state of those bytes.
struct TableFile {
    RecordBytes records;
    FileState read;
};
TableFile readTableFile(const TableSource& source);

bool isPlaceholder(const RecordBytes& records, std::size_t record);

// The cell rules. `line` is a line of the kind's record. A value is stored bytes; `typed` is
// what the user typed, already in bytes.
// How a stored value shows in its cell: the carder and finisher type codes as their words.
std::string cellShown(RecordKind kind, std::size_t line, std::string_view stored);
// Whether the cell sorts and adds as a number.
bool cellIsNumber(RecordKind kind, std::size_t line);
// Why the cell cannot take `typed`, as a whole sentence, or nothing when it can.
std::optional<std::string> cellProblem(RecordKind kind, std::size_t line, std::string_view typed);
// The bytes to store for `typed` (which cellProblem took) in place of `stored`: the stored
// bytes themselves when `typed` is how they show.
std::string cellStored(RecordKind kind, std::size_t line, std::string_view typed,
                       std::string_view stored);
// "+N" or "-N" on a number cell: the stored sum (kept at the field's minimum, a blank line
// counting as 0), or nothing when `typed` is no +N/-N or `stored` holds no number.
std::optional<std::string> cellAdded(RecordKind kind, std::size_t line, std::string_view typed,
                                     std::string_view stored);

// Conditions as `hv roster batch --where` takes them, several joined by commas; each names a
// field of the kind's record. Throws roster::BatchSyntaxError.
using TableCondition = roster::Condition;
std::vector<TableCondition> parseConditions(RecordKind kind, std::string_view text);
// Whether a record meets every condition; `lineOf(line)` gives its stored line.
template <class LineOf>
bool meetsConditions(std::span<const TableCondition> conditions, const LineOf& lineOf) {
    for (const TableCondition& c : conditions)
        if (!roster::conditionMet(c, lineOf(c.field->line)))
            return false;
    return true;
}

// A pending edit: the record (0-based place in the file), its name as read, and the edit with
// the bytes shown as its base.
struct TableEdit {
    std::size_t record;
    std::string name;
    FieldEdit edit;
};

// Writes every edit into the file as it is now, as one change with one restore point, merged
// by the base rule of gamefiles/merge.h. A record no longer at its place (another name there)
// is a conflict too. Throws ConflictError, nothing written, on any conflict; GameFileError for
// a value the field refuses. Nothing is written when no line changes.
struct TableApplied {
    std::size_t lines = 0; // lines changed
    // Whether the file held `shown`'s bytes until the change. Its bytes are then `shown`'s with
    // `records` (place, text) put in (RecordBytes::putRecords) and nothing else new.
    bool asShown = false;
    std::vector<std::pair<std::size_t, std::string>> records;
};
TableApplied applyTableEdits(const TableSource& source, std::span<const TableEdit> edits,
                             const RecordBytes& shown);

} // namespace hv::table
