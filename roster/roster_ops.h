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
std::size_t applyWrestler(const RosterFile& roster, std::string_view key,
                          std::span<const FieldEdit> edits);

// Changes the given fields of every record named `key`, each value as Apply writes its box
// (words to codes, an empty tag team or stable as "no"); every line not given stays as stored,
// in each record of the name. Returns how many records bear the name. A value that breaks the
// field's rule (wrestlerValueProblem) or holds a line break (but in the description, where it
// becomes a blank) is refused, naming the field by `fieldName`, and nothing is written.
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
    std::string weeks;     // line 12 as stored
    std::size_t place = 0; // of his record in the file, from 1
};
std::vector<Injury> injuredWrestlers(const RosterFile& roster);

// Sets line 12 to " 0 " on every injured wrestler; returns how many were healed (nothing is
// written when none).
std::size_t healAll(const RosterFile& roster);

// The spreadsheet file: UTF-8 with a byte order mark, CR LF row ends, a header row "#", the
// field names of `hv roster set` and "base", then one row per record, placeholders included,
// "#" its position in the file. Cells hold the stored lines through the byte table, the carder
// and finisher type as their codes; text cells are quoted, so that a spreadsheet told to take
// quoted cells as text keeps "007" and "5/1999" as they are. Every "base" cell names the
// roster as exported ("hv-" and the hash of its bytes), of which a copy is kept in the slot's
// restore area (".hv-restore/SLOT/sheet-HASH", the newest 10 exports of a slot), so that an
// import tells what the sheet changed from what changed in the roster since.
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
    bool operator==(const FieldChangeLine&) const = default;
};
struct RosterChanges {
    std::vector<FieldChangeLine> lines; // in file order, then field order
    std::size_t wrestlers = 0;          // records with at least one line
    bool twoWay = false;                // a sheet without a base, compared with the roster now
    bool operator==(const RosterChanges&) const = default;
};

// What an import of a sheet without a base says, in one line.
inline constexpr std::string_view kTwoWayNote =
    "The sheet has no \"base\" column, so each cell was compared with the roster as it is now "
    "(a change made since the sheet's export is undone where the sheet differs).";

// Reads a spreadsheet file back, all in one change with one restore point (none under `dryRun`).
// With a base, each row is the record of the base at "#" (rows in any order), and that record is
// the wrestler of the roster now who bears its name (the k-th of a name in the base is the k-th
// of that name now), wherever he stands. A cell that holds the base's value is no change, so
// what the roster gained since stays; a changed cell is written where the roster still holds the
// base's value, and is a conflict where the roster changed it otherwise, or no longer has the
// wrestler: all conflicts are thrown as one ConflictError, nothing written (under `dryRun` too).
// A sheet without a base column is compared with the roster as it is now, row "#" with record
// "#" (twoWay). Number cells (and the carder) that hold the same number, blanks aside, are no
// change; the carder and finisher type also take their words ("Upper Carder", "Power Move"). A
// changed number is written as the game writes numbers. Throws GameFileError naming the file,
// row and column, nothing written, for a row added or missing, a row whose cells are more or
// fewer than the header's, a "#" that is no record's place or comes twice, an unknown column, a
// base no longer kept or not one for every row, a character the byte table lacks, a line break,
// a value the field's rule refuses (wrestlerValueProblem), and a changed placeholder.
RosterChanges importRosterCsv(const RosterFile& roster, const std::filesystem::path& csvFile,
                              bool dryRun);

// The changes, one "NAME<TAB>FIELD: OLD -> NEW" line per field, then "3 wrestlers changed"
// ("1 wrestler would change" under `dryRun`), or just "0 changes".
std::string changesText(const RosterChanges& changes, bool dryRun);

} // namespace hv::roster
