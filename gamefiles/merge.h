#pragma once

// Changes prepared from an earlier read: a window's boxes, an exported sheet, a plan shown in a
// question. The file may have moved on since (the game saved, `hv` ran, another window wrote),
// so such a change carries what it read, its base, and is merged into the file as it is when
// the change is written, under the game folder's lock:
//   - a value the user did not change is not written at all, so what happened since stays;
//   - a value the user changed, where the file still holds the base, takes the user's value;
//   - a value that already holds the user's value needs nothing;
//   - a value the user and the file both changed, differently, is a conflict: nothing is
//     written, and the refusal names the record, the field and the three values.

#include "error.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

// Whether two stored values of one field are the same value: equal bytes, or in a field the
// game reads as a number, the same number (blanks around it aside; an empty line is 0).
bool sameStored(std::string_view a, std::string_view b, bool asNumber);

// One value a change prepared from an earlier read: where it lies, what was read there, and
// what the user made of it.
struct FieldEdit {
    std::size_t line = 0; // 0-based line of the record, or of the part of the file it changes
    std::string base;     // the stored value when the change was prepared
    std::string value;    // what the user made of it
};

enum class Merge {
    Write,    // the file still holds the base: write the user's value
    Already,  // the file already holds the user's value: nothing to write
    Conflict, // the user and the file both changed it, differently
};
Merge mergeValue(std::string_view base, std::string_view mine, std::string_view now, bool asNumber);

// A value both the user and the file changed since the user's read.
struct Conflict {
    std::string record;   // as the player knows it: a wrestler's name, "row 5 (Axe)", "Save game"
    std::string field;    // as the windows label it (or as `hv` names it)
    std::size_t line = 0; // the FieldEdit's line, so that a window finds its box
    std::string mine, base, now; // stored bytes
};

// The refusal of a change with conflicts; nothing was written. Its message lists every
// conflict, one a line: `Axe: Morale: yours " 50 ", read " 32 ", now " 40 "`.
class ConflictError : public OperationRefused {
public:
    explicit ConflictError(std::vector<Conflict> conflicts, std::string_view mineLabel = "yours");
    const std::vector<Conflict>& conflicts() const { return conflicts_; }

private:
    std::vector<Conflict> conflicts_;
};

// One line of the message: `RECORD: FIELD: MINE "x", read "y", now "z"`.
std::string conflictLine(const Conflict& conflict, std::string_view mineLabel = "yours");

// Merges `edits` into `lines`, a record as it is now; each line's caption and whether it is a
// number come from `describe(line)`, which returns a pair {caption, asNumber}. Lines with a
// conflict are left as they are; the conflicts are returned, and the caller writes nothing
// when there is any. Returns whether any line changed through `changed`.
template <class Lines, class Describe>
std::vector<Conflict> mergeEdits(Lines& lines, std::span<const FieldEdit> edits,
                                 std::string_view record, Describe describe,
                                 bool* changed = nullptr) {
    std::vector<Conflict> conflicts;
    for (const FieldEdit& edit : edits) {
        auto& now = lines[edit.line];
        const auto [caption, asNumber] = describe(edit.line);
        switch (mergeValue(edit.base, edit.value, now, asNumber)) {
        case Merge::Write:
            now = edit.value;
            if (changed)
                *changed = true;
            break;
        case Merge::Already:
            break;
        case Merge::Conflict:
            conflicts.push_back({std::string(record), std::string(caption), edit.line, edit.value,
                                 edit.base, std::string(now)});
            break;
        }
    }
    return conflicts;
}

} // namespace hv
