#pragma once

// Operations on a slot's save game header and on the slot names, shared by the federation
// settings, title holders and feud windows and by `hv`. Each reads what it needs first and
// writes through the safe rewrite, so a failure leaves every file as it was. Lines the
// operation does not change are copied byte for byte, however many follow the header.

#include "gamefiles/merge.h"
#include "gamefiles/restore.h"

#include <array>
#include <bitset>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hv::savegame {

// The save game of one slot and the temporary file beside it.
struct SaveGameFile {
    SaveGameFile(const std::string& gameFolder, std::string_view slot);
    std::string gameFolder;
    std::string slot;
    std::filesystem::path file;
    std::filesystem::path temp;
};

// --- Federation settings: the slot's name in saveslots.hv1 and save lines 1, 3 to 7 ---

enum class Setting { SlotName, Commissioner, Weekday, Day, Month, Year, Bank };
inline constexpr std::size_t kSettings = 7;
using Settings = std::array<std::string, kSettings>; // indexed by Setting

// The offered values of the settings with lists (empty for the others).
std::vector<std::string_view> settingChoices(Setting setting);

// Lines 1 to 7 by line read, and the slot's line of saveslots.hv1. A slot name that is none
// of "save1" to "save4" has no line there and reads as empty.
Settings readSettings(const SaveGameFile& save);
// As above; `read` gets what the save game and saveslots.hv1 held, in that order, from the
// bytes the settings came from.
Settings readSettings(const SaveGameFile& save, std::array<FileState, 2>& read);

// The caption of a setting's box in the federation settings window.
std::string_view settingLabel(Setting setting);
using SettingName = std::string_view (*)(Setting);

// Writes the slot's line of saveslots.hv1 and save lines 1, 3 to 7 exactly as given; both
// temporary files are complete before either file is replaced. A value as stored goes back
// byte for byte; any other value holding a line break, or a year or bank account that is no
// number, is refused, naming the setting by `name`.
void applySettings(const SaveGameFile& save, const Settings& settings,
                   SettingName name = settingLabel);
// Merges the edits (FieldEdit::line a Setting) into the files as they are now, under the game
// folder's lock, as gamefiles/merge.h tells: a setting nobody edited keeps what the files hold.
// Throws ConflictError, nothing written, for a setting changed both here and in the file.
// Writes nothing when nothing changes; otherwise as applySettings.
void applySettingEdits(const SaveGameFile& save, std::span<const FieldEdit> edits);

// --- Title holders: save lines 8 to 12 ---

inline constexpr std::size_t kTitles = 5;
using Holders = std::array<std::string, kTitles>;

// The names of the five titles of "WWF" or "WCW" (exact); none for any other federation.
std::optional<std::array<std::string_view, kTitles>> titleNames(std::string_view federation);

struct Titles {
    std::string federation; // line 2 by line read
    Holders holders;        // lines 8 to 12 by line read
};
Titles readTitles(const SaveGameFile& save);
Titles readTitles(const SaveGameFile& save, FileState& read);

// "Vacant", then the roster's wrestlers in file order, placeholders left out.
std::vector<std::string> titleCandidates(const SaveGameFile& save);

// Writes lines 8 to 12; a holder as stored goes back byte for byte, any other holding a line
// break is refused.
void applyTitles(const SaveGameFile& save, const Holders& holders);
// Merges the edits (FieldEdit::line the title, 0 to 4) as applySettingEdits does.
void applyTitleEdits(const SaveGameFile& save, std::span<const FieldEdit> edits);

// --- Feuds: save lines 16 to 30 ---

inline constexpr std::size_t kFeuds = 5;
inline constexpr int kMinLevel = 15;
inline constexpr int kMaxLevel = 10600;
inline constexpr long long kFeudMarker = 33023;

struct Feud {
    std::string text;        // the line as one value (blanks and enclosing quotes removed)
    std::string storedText;  // the text line as stored
    bool deleted = false;    // Apply empties the text line; otherwise it stays as stored
    int level = kMinLevel;   // within kMinLevel..kMaxLevel
    std::string storedLevel; // the level line as stored
    bool levelValid = true;  // false: storedLevel was no number in range, `level` is nearest
};
using Feuds = std::array<Feud, kFeuds>;

Feuds readFeuds(const SaveGameFile& save);
Feuds readFeuds(const SaveGameFile& save, FileState& read);

// The 0-based save lines of feud `f`'s text and level, the lines of its edits.
inline constexpr std::size_t feudTextLine(std::size_t f) {
    return 15 + f;
}
inline constexpr std::size_t feudLevelLine(std::size_t f) {
    return 21 + 2 * f;
}

// What a window or `hv` says about a stored level it had to move into range.
std::string levelNote(std::size_t feudIndex, const Feud& feud);

// Writes all five feuds as the feud editor's "Apply Change" does: the text line of a deleted
// feud emptied (any other kept byte for byte, whatever `text` says), and the marker 33023 and
// the level as number lines on 21 to 30. A level outside the range is refused.
void applyFeuds(const SaveGameFile& save, const Feuds& feuds);
// Merges the edits (on feudTextLine, an emptied text, and feudLevelLine, a level as a number
// line) as applySettingEdits does; when anything changes, every marker is written as 33023. A
// level edit that is no number from 15 to 10600 is refused.
void applyFeudEdits(const SaveGameFile& save, std::span<const FieldEdit> edits);
// Writes only the feuds in `which`: each one's level as a number line and, for a deleted one,
// its emptied text line; every other line stays as stored, the markers and the other levels
// too. For `hv feuds set` and `hv feuds delete`, which change what they name and nothing else.
void applyFeudLevels(const SaveGameFile& save, const Feuds& feuds, std::bitset<kFeuds> which);

} // namespace hv::savegame
