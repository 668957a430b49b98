#include "savegame_ops.h"

#include "gamefiles/error.h"
#include "gamefiles/file_change.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/header_value.h"
#include "gamefiles/records.h"
#include "gamefiles/save_game.h"
#include "gamefiles/slot_names.h"
#include "gamefiles/text.h"

#include <algorithm>
#include <functional>
#include <map>

namespace hv::savegame {
namespace {

namespace fs = std::filesystem;

using Replacements = std::map<std::size_t, std::string>; // 1-based line number -> new text

// A file's bytes, refused unless it has at least `needed` lines.
std::string readLines(const fs::path& file, std::size_t needed, std::string_view what) {
    std::string bytes = readFileBytes(file);
    LineReader reader(bytes);
    std::size_t count = 0;
    while (count < needed && !reader.atEnd()) {
        reader.next();
        ++count;
    }
    if (count < needed)
        throw GameFileError(file,
                            "has only " + std::to_string(count) + " lines; " + std::string(what) +
                                " needs " + std::to_string(needed),
                            count + 1); // the first missing line
    return bytes;
}

FileState stateOf(std::string_view bytes) {
    StateHasher hasher;
    hasher.add(bytes);
    return hasher.state();
}

// The first `lines` lines are rewritten only when every one of them ends in CR LF, as the
// game writes them: a new line among old ones must not end differently.
void refuseOtherLineEnds(std::string_view bytes, std::size_t lines, const fs::path& file) {
    LineReader reader(bytes);
    for (std::size_t i = 0; i < lines && !reader.atEnd(); ++i)
        reader.next();
    if (auto line = lineWithoutCrLf(bytes.substr(0, reader.position())))
        refuseChange(file, kNotCrLf, *line);
}

// Lines 1..n of `bytes` by line read (the file is known to have them).
std::vector<std::string> firstLines(std::string_view bytes, std::size_t n) {
    std::vector<std::string> lines;
    LineReader reader(bytes);
    while (lines.size() < n && !reader.atEnd())
        lines.emplace_back(reader.next());
    return lines;
}

// The file with the given lines replaced by text lines; every other byte as it was, and so is
// a line given as it is stored.
std::string withReplacedLines(std::string_view bytes, const Replacements& replaced) {
    std::string out;
    out.reserve(bytes.size() + 64);
    LineReader reader(bytes);
    const std::size_t last = replaced.empty() ? 0 : replaced.rbegin()->first;
    for (std::size_t number = 1; number <= last && !reader.atEnd(); ++number) {
        const std::size_t start = reader.position();
        const std::string_view line = reader.next();
        if (auto it = replaced.find(number); it != replaced.end() && it->second != line)
            appendTextLine(out, it->second);
        else
            out.append(bytes.substr(start, reader.position() - start));
    }
    out.append(bytes.substr(reader.position()));
    return out;
}

// Refuses a value holding a line break unless it is the line as stored: a lone CR read from
// the file goes back where it was, but a new value must not split a line.
void refuseNewLineBreak(const fs::path& file, std::string_view what, std::string_view value,
                        std::string_view stored) {
    if (value != stored)
        refuseLineBreak(file, what, value);
}

std::optional<std::size_t> slotIndex(std::string_view slot) {
    for (std::size_t i = 0; i < std::size(kSlots); ++i)
        if (kSlots[i] == slot)
            return i;
    return std::nullopt;
}

constexpr std::string_view kSettingsUse = "the federation settings editor";
constexpr std::string_view kTitlesUse = "the title holders editor";
constexpr std::string_view kFeudsUse = "the feud editor";
constexpr std::size_t kSettingsLines = 7;
constexpr std::size_t kTitleLines = 12;
constexpr std::size_t kFeudLines = 30;
constexpr std::size_t kFirstTitleLine = 8;
constexpr std::size_t kFirstFeudLine = 16;
constexpr std::size_t kFirstMarkerLine = 21;

static_assert(kSettingFields.size() == kSettings);

// The save line of a setting after the slot name.
std::size_t settingLine(std::size_t s) {
    return kSettingFields[s].line;
}

} // namespace

SaveGameFile::SaveGameFile(const std::string& folder, std::string_view slotName)
    : gameFolder(folder), slot(slotName), file(slotFilePath(folder, slotName, GameFile::SaveGame)),
      temp(slotTempPath(folder, slotName, GameFile::SaveGame)) {}

std::vector<std::string_view> settingChoices(Setting setting) {
    std::vector<std::string_view> out;
    for (const Choice& c : kSettingFields[static_cast<std::size_t>(setting)].choices)
        out.push_back(c.words);
    return out;
}

Settings readSettings(const SaveGameFile& save) {
    std::array<FileState, 2> read;
    return readSettings(save, read);
}

Settings readSettings(const SaveGameFile& save, std::array<FileState, 2>& read) {
    Settings settings;
    const fs::path namesFile = saveSlotNamesPath(save.gameFolder);
    const std::string namesBytes = readFileBytes(namesFile);
    read[1] = stateOf(namesBytes);
    const SaveSlotNames names = parseSaveSlotNames(namesBytes, namesFile);
    if (auto index = slotIndex(save.slot))
        settings[0] = names.names[*index];
    const std::string bytes = readLines(save.file, kSettingsLines, kSettingsUse);
    read[0] = stateOf(bytes);
    const auto lines = firstLines(bytes, kSettingsLines);
    for (std::size_t s = 1; s < kSettings; ++s)
        settings[s] = lines[settingLine(s) - 1];
    return settings;
}

std::string_view settingLabel(Setting setting) {
    return kSettingFields[static_cast<std::size_t>(setting)].caption;
}

namespace {

void settingsChange(FileChange& change, const SaveGameFile& save, const Settings& settings,
                    SettingName name) {
    const fs::path namesFile = saveSlotNamesPath(save.gameFolder);
    const std::string names = readFileBytes(namesFile);
    const SaveSlotNames stored = parseSaveSlotNames(names, namesFile); // four names at least
    const std::string bytes = readLines(save.file, kSettingsLines, kSettingsUse);
    const auto storedLines = firstLines(bytes, kSettingsLines);
    const auto index = slotIndex(save.slot);
    refuseNewLineBreak(namesFile, kSettingFields[0].checkName(), settings[0],
                       index ? std::string_view(stored.names[*index]) : std::string_view());
    for (std::size_t s = 1; s < kSettings; ++s)
        refuseNewLineBreak(save.file, kSettingFields[s].checkName(), settings[s],
                           storedLines[settingLine(s) - 1]);
    for (std::size_t s = 1; s < kSettings; ++s)
        if (kSettingFields[s].kind == FieldKind::Number &&
            settings[s] != storedLines[settingLine(s) - 1])
            refuseNonNumber(save.file,
                            "value of \"" + std::string(name(static_cast<Setting>(s))) + "\"",
                            settings[s]);

    refuseOtherLineEnds(names, std::size(kSlots), namesFile);
    Replacements nameLine;
    if (index)
        nameLine[*index + 1] = settings[0];
    const std::string newNames = withReplacedLines(names, nameLine);

    refuseOtherLineEnds(bytes, SaveHeader::kLines, save.file);
    Replacements lines;
    for (std::size_t s = 1; s < kSettings; ++s)
        lines[settingLine(s)] = settings[s];
    const std::string newSave = withReplacedLines(bytes, lines);

    change.write(namesFile, namesFile.stem().string() + ".tmp", newNames);
    change.write(save.file, save.temp, newSave);
}

// The settings `make` gives from the files as they are now (none: nothing to write), written
// to the slot names and the save game as one change.
void applySettings(const SaveGameFile& save, SettingName name,
                   const std::function<std::optional<Settings>()>& make) {
    editFiles(save.gameFolder, save.slot, "Change the federation settings",
              [&](FileChange& change) {
                  if (const auto settings = make())
                      settingsChange(change, save, *settings, name);
              });
}

} // namespace

void applySettings(const SaveGameFile& save, const Settings& settings, SettingName name) {
    applySettings(save, name, [&] { return std::optional(settings); });
}

void applySettingEdits(const SaveGameFile& save, std::span<const FieldEdit> edits) {
    applySettings(save, settingLabel, [&]() -> std::optional<Settings> {
        const Settings now = readSettings(save);
        Settings merged = now;
        auto conflicts = mergeEdits(merged, edits, "Federation settings", [](std::size_t s) {
            return std::pair{kSettingFields[s].caption, kSettingFields[s].numberLike()};
        });
        if (!conflicts.empty())
            throw ConflictError(std::move(conflicts));
        if (merged == now)
            return std::nullopt;
        return merged;
    });
}

std::optional<std::array<std::string_view, kTitles>> titleNames(std::string_view federation) {
    using Names = std::array<std::string_view, kTitles>;
    if (federation == "WWF")
        return Names{"WWF World Champion", "Interconental Champion", "European Champion",
                     "Lightweight Champion", "Hardcore Champion"};
    if (federation == "WCW")
        return Names{"WCW World Champion", "U.S. Heavyweight Champion", "Television Champion",
                     "Cruiserweight Champion", "Hardcore Champion"};
    return std::nullopt;
}

Titles readTitles(const SaveGameFile& save) {
    FileState read;
    return readTitles(save, read);
}

Titles readTitles(const SaveGameFile& save, FileState& read) {
    const std::string bytes = readLines(save.file, kTitleLines, kTitlesUse);
    read = stateOf(bytes);
    const auto lines = firstLines(bytes, kTitleLines);
    Titles titles;
    titles.federation = lines[1];
    for (std::size_t t = 0; t < kTitles; ++t)
        titles.holders[t] = lines[kFirstTitleLine - 1 + t];
    return titles;
}

std::vector<std::string> titleCandidates(const SaveGameFile& save) {
    std::vector<std::string> names{"Vacant"};
    const auto roster = RecordFile<WrestlerRecord>::read(
        slotFilePath(save.gameFolder, save.slot, GameFile::Roster));
    for (auto& name : roster.names())
        names.push_back(std::move(name));
    return names;
}

namespace {

void titlesChange(FileChange& change, const SaveGameFile& save, const Holders& holders) {
    const std::string bytes = readLines(save.file, kTitleLines, kTitlesUse);
    const auto stored = firstLines(bytes, kTitleLines);
    Replacements lines;
    for (std::size_t t = 0; t < kTitles; ++t) {
        refuseNewLineBreak(save.file, "holder of title " + std::to_string(t + 1), holders[t],
                           stored[kFirstTitleLine - 1 + t]);
        lines[kFirstTitleLine + t] = holders[t];
    }
    refuseOtherLineEnds(bytes, SaveHeader::kLines, save.file);
    change.write(save.file, save.temp, withReplacedLines(bytes, lines));
}

// The holders `make` gives from the save game as it is now (none: nothing to write), as one
// change.
void applyTitles(const SaveGameFile& save, const std::function<std::optional<Holders>()>& make) {
    editFiles(save.gameFolder, save.slot, "Change the title holders", [&](FileChange& change) {
        if (const auto holders = make())
            titlesChange(change, save, *holders);
    });
}

} // namespace

void applyTitles(const SaveGameFile& save, const Holders& holders) {
    applyTitles(save, [&] { return std::optional(holders); });
}

void applyTitleEdits(const SaveGameFile& save, std::span<const FieldEdit> edits) {
    applyTitles(save, [&]() -> std::optional<Holders> {
        const Holders now = readTitles(save).holders;
        Holders merged = now;
        auto conflicts = mergeEdits(merged, edits, "Title holders", [](std::size_t t) {
            return std::pair{"holder of title " + std::to_string(t + 1), false};
        });
        if (!conflicts.empty())
            throw ConflictError(std::move(conflicts));
        if (merged == now)
            return std::nullopt;
        return merged;
    });
}

Feuds readFeuds(const SaveGameFile& save) {
    FileState read;
    return readFeuds(save, read);
}

Feuds readFeuds(const SaveGameFile& save, FileState& read) {
    const std::string bytes = readLines(save.file, kFeudLines, kFeudsUse);
    read = stateOf(bytes);
    const auto lines = firstLines(bytes, kFeudLines);
    Feuds feuds;
    for (std::size_t f = 0; f < kFeuds; ++f) {
        Feud& feud = feuds[f];
        feud.storedText = lines[kFirstFeudLine - 1 + f];
        feud.text = headerValue(feud.storedText);
        feud.storedLevel = lines[kFirstMarkerLine + 2 * f]; // the line after the marker
        const auto level = parseNumber(headerValue(feud.storedLevel));
        feud.levelValid = level && *level >= kMinLevel && *level <= kMaxLevel;
        feud.level = !level ? kMinLevel
                            : static_cast<int>(std::clamp<long long>(*level, kMinLevel, kMaxLevel));
    }
    return feuds;
}

std::string levelNote(std::size_t feudIndex, const Feud& feud) {
    return "Feud " + std::to_string(feudIndex + 1) + " (\"" + feud.text +
           "\"): the stored level \"" + feud.storedLevel + "\" is not a number from " +
           std::to_string(kMinLevel) + " to " + std::to_string(kMaxLevel) + "; shown as " +
           std::to_string(feud.level) + ".";
}

namespace {

void feudsChange(FileChange& change, const SaveGameFile& save, const Feuds& feuds,
                 std::bitset<kFeuds> which, bool markers) {
    Replacements lines;
    for (std::size_t f = 0; f < kFeuds; ++f) {
        const Feud& feud = feuds[f];
        if (!which[f])
            continue;
        if (feud.level < kMinLevel || feud.level > kMaxLevel)
            refuseOperation("The level of feud " + std::to_string(f + 1) + " is " +
                            std::to_string(feud.level) + ", not a whole number from " +
                            std::to_string(kMinLevel) + " to " + std::to_string(kMaxLevel) + ".");
        if (feud.deleted)
            lines[kFirstFeudLine + f] = "";
        if (markers)
            lines[kFirstMarkerLine + 2 * f] = numberLine(kFeudMarker);
        lines[kFirstMarkerLine + 2 * f + 1] = numberLine(feud.level);
    }
    const std::string bytes = readLines(save.file, kFeudLines, kFeudsUse);
    refuseOtherLineEnds(bytes, SaveHeader::kLines, save.file);
    change.write(save.file, save.temp, withReplacedLines(bytes, lines));
}

void writeFeuds(const SaveGameFile& save, const Feuds& feuds, std::bitset<kFeuds> which,
                bool markers) {
    editFiles(save.gameFolder, save.slot, "Change the feuds",
              [&](FileChange& change) { feudsChange(change, save, feuds, which, markers); });
}

void feudEditsChange(FileChange& change, const SaveGameFile& save,
                     std::span<const FieldEdit> edits);

} // namespace

void applyFeuds(const SaveGameFile& save, const Feuds& feuds) {
    writeFeuds(save, feuds, std::bitset<kFeuds>().set(), true);
}

void applyFeudLevels(const SaveGameFile& save, const Feuds& feuds, std::bitset<kFeuds> which) {
    writeFeuds(save, feuds, which, false);
}

void applyFeudEdits(const SaveGameFile& save, std::span<const FieldEdit> edits) {
    for (const FieldEdit& edit : edits) {
        const bool text = edit.line >= kFirstFeudLine - 1 && edit.line < kFirstMarkerLine - 1;
        const bool level = edit.line >= kFirstMarkerLine && edit.line < kFeudLines &&
                           (edit.line - kFirstMarkerLine) % 2 == 0;
        if (!text && !level)
            throw OperationRefused("Line " + std::to_string(edit.line + 1) +
                                   " of the save game holds no feud text or level. Nothing was "
                                   "written.");
        if (text)
            continue;
        const auto number = parseNumber(edit.value);
        if (!number || *number < kMinLevel || *number > kMaxLevel)
            refuseOperation("The level of feud " +
                            std::to_string((edit.line - kFirstMarkerLine) / 2 + 1) + " is \"" +
                            edit.value + "\", not a whole number from " +
                            std::to_string(kMinLevel) + " to " + std::to_string(kMaxLevel) + ".");
    }
    editFiles(save.gameFolder, save.slot, "Change the feuds",
              [&](FileChange& change) { feudEditsChange(change, save, edits); });
}

namespace {

void feudEditsChange(FileChange& change, const SaveGameFile& save,
                     std::span<const FieldEdit> edits) {
    const std::string bytes = readLines(save.file, kFeudLines, kFeudsUse);
    const auto before = firstLines(bytes, kFeudLines);
    auto lines = before;
    auto conflicts = mergeEdits(lines, edits, "Feuds", [](std::size_t line) {
        if (line < kFirstMarkerLine - 1)
            return std::pair{"Feud " + std::to_string(line - (kFirstFeudLine - 1) + 1), false};
        return std::pair{"Level of feud " + std::to_string((line - kFirstMarkerLine) / 2 + 1),
                         true};
    });
    if (!conflicts.empty())
        throw ConflictError(std::move(conflicts));
    if (lines == before)
        return;
    for (std::size_t f = 0; f < kFeuds; ++f)
        lines[kFirstMarkerLine - 1 + 2 * f] = numberLine(kFeudMarker);
    Replacements replaced;
    for (std::size_t l = kFirstFeudLine - 1; l < kFeudLines; ++l) {
        refuseNewLineBreak(save.file, "feud line " + std::to_string(l + 1), lines[l], before[l]);
        if (lines[l] != before[l])
            replaced[l + 1] = lines[l];
    }
    refuseOtherLineEnds(bytes, SaveHeader::kLines, save.file);
    change.write(save.file, save.temp, withReplacedLines(bytes, replaced));
}

} // namespace

} // namespace hv::savegame
