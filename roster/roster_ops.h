#pragma once

// Operations on the player's own roster file. Each one reads the whole file first and, when
// it changes something, writes it once through TempRewrite, so a failure leaves the file as
// it was. Placeholder records ("name") are never listed, matched or changed and keep their
// place, except that a move may step a wrestler past one.

#include "gamefiles/game_folder.h"
#include "gamefiles/merge.h"
#include "gamefiles/records.h"
#include "gamefiles/restore.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hv::roster {

using hv::RosterFile;

using WrestlerFile = RecordFile<WrestlerRecord>;

struct RosterListing {
    std::vector<std::string> names; // placeholders left out
    std::size_t records = 0;        // placeholders counted
    // The wrestler the reordering window selects at first: that of the second record, or of
    // the first when the second is a placeholder or missing.
    std::optional<std::string> reorderSelection;
};
RosterListing listRoster(const RosterFile& roster);
std::vector<std::string> rosterNames(const RosterFile& roster);
// As above; `read` gets what the file held, from the bytes the names came from.
std::vector<std::string> rosterNames(const RosterFile& roster, FileState& read);
std::optional<WrestlerRecord> findWrestler(const RosterFile& roster, std::string_view name);

// The managers the player's federation may give a wrestler: those of its managers file when
// the slot's federation is "WWF" or "WCW", none otherwise.
std::vector<std::string> federationManagers(const std::string& gameFolder, std::string_view slot);

// The editor's boxes, one per record line. The carder and finisher type hold the words shown
// ("Upper Carder", "Power Move"); any other text there keeps the record's own line.
using WrestlerBoxes = std::array<std::string, WrestlerRecord::kLines>;

// The label of the box for a record line, as the roster editor shows it.
std::string_view boxLabel(WrestlerRecord::Line line);

// The boxes filled from a record, codes shown as words; a code that is none of the offered
// ones is shown as stored.
WrestlerBoxes boxesFor(const WrestlerRecord& record);

// Names a field in refusals.
using FieldName = std::string_view (*)(WrestlerRecord::Line);

// An empty tag team or stable means "no".
void fillEmptyGroups(WrestlerBoxes& boxes);

// Writes the boxes into every record named `key`; returns how many were changed (nothing is
// written when none was). An empty tag team or stable is written as "no". A value equal to the
// record's stored line is written back as it is; in a changed one a line break in the
// description becomes a blank, and one in any other box is refused, as is the placeholder name
// as the new name and text that is no number in a number field.
std::size_t ApplyWrestler(const RosterFile& roster, std::string_view key,
                          const WrestlerBoxes& boxes);

// A box the user changed, as an edit of the line it shows (`stored`: the line when he was
// shown): the carder and finisher type words become their codes, and any other text in those
// two boxes is no edit, so the record's line stays.
std::optional<FieldEdit> boxEdit(WrestlerRecord::Line line, std::string_view stored,
                                 std::string_view typed);

// Merges the edits (FieldEdit::line a record line) into every record named `key` as it is
// now, under the game folder's lock: a field nobody edited keeps what the file holds, so a
// change made meanwhile by the game or `hv` stays. An empty tag team or stable of the merged
// record becomes "no". Throws ConflictError, nothing written, when a field was changed both
// here and in the file; the same refusals as above for what an edit writes. Returns how many
// records matched; nothing is written when none did or none changed.
std::size_t ApplyWrestler(const RosterFile& roster, std::string_view key,
                          std::span<const FieldEdit> edits);

// Changes the given fields of every record named `key`, as Apply does; the fields not given
// are those of the first record of that name. Returns how many records were changed. Refusals
// name a field by `fieldName`.
std::size_t
setWrestlerFields(const RosterFile& roster, std::string_view key,
                  const std::vector<std::pair<WrestlerRecord::Line, std::string>>& fields,
                  FieldName fieldName = boxLabel);

// Appends the blank record "Add Blank Wrestler" writes.
void addBlankWrestler(const RosterFile& roster);

// Removes every record named `name`; returns how many (nothing is written when none).
std::size_t deleteWrestler(const RosterFile& roster, std::string_view name);

enum class Direction { Up, Down };
enum class MoveResult { Moved, Refused, NotFound };

// Swaps the first record named `name` with its neighbour in the file. Refused, and nothing
// written, for Up from positions 1 and 2 and for Down from the last position.
MoveResult moveWrestler(const RosterFile& roster, std::string_view name, Direction direction);

struct Injury {
    std::string name;
    std::string weeks; // line 12 as stored
};
std::vector<Injury> injuredWrestlers(const RosterFile& roster);

// Sets line 12 to " 0 " on every injured wrestler; returns how many were healed (nothing is
// written when none).
std::size_t healAll(const RosterFile& roster);

// The spreadsheet file: UTF-8 with a byte order mark, CR LF row ends, a header row "#" and the
// field names of `hv roster set`, then one row per record, placeholders included, "#" its
// position in the file. Cells hold the stored lines through the byte table, the carder and
// finisher type as their codes; text cells are quoted, so that a spreadsheet told to take
// quoted cells as text keeps "007" and "5/1999" as they are.
std::string rosterCsv(const RosterFile& roster);
// Writes rosterCsv to `target`, refused as an export file is where it would replace one of the
// editor's own files or a file of the game folder.
void exportRosterCsv(const RosterFile& roster, const std::filesystem::path& target,
                     const std::filesystem::path& workDir);

// One field of one record that a batch edit or a spreadsheet import changes: the record
// (0-based), its name as stored, the field and both values.
struct FieldChangeLine {
    std::size_t record;
    std::string name;
    WrestlerRecord::Line field;
    std::string before, after;
};
struct RosterChanges {
    std::vector<FieldChangeLine> lines; // in file order, then field order
    std::size_t wrestlers = 0;          // records with at least one line
};

// Reads a spreadsheet file back: rows are matched by "#", in any order, and every cell that differs
// from the stored line is written, all in one change with one restore point (none under `dryRun`).
// Number cells (and the carder) that hold the stored number, blanks aside, are no change;
// the carder and finisher type also take their words ("Upper Carder", "Power Move"). A changed
// number is written as the game writes numbers. Throws GameFileError naming the file, row and
// column, nothing written, for a row added or missing, a "#" that is no record's place or comes
// twice, an unknown column, a character the byte table lacks, a line break, text in a number field,
// a changed placeholder and the placeholder name as a new name.
RosterChanges importRosterCsv(const RosterFile& roster, const std::filesystem::path& csvFile,
                              bool dryRun);

// The changes, one "NAME<TAB>FIELD: OLD -> NEW" line per field, then "3 wrestlers changed"
// ("1 wrestler would change" under `dryRun`), or just "0 changes".
std::string changesText(const RosterChanges& changes, bool dryRun);

} // namespace hv::roster
