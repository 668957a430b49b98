#include "cli/cli.h"
#include "cli/output.h"

#include "gamefiles/assignments.h"
#include "gamefiles/error.h"
#include "gamefiles/game_folder_lock.h"
#include "gamefiles/save_game.h"
#include "gamefiles/text.h"
#include "savegame/savegame_ops.h"

#include <bitset>
#include <ostream>

namespace hv::cli {
namespace {

using namespace hv::savegame;

SaveGameFile saveOf(const CliContext& c) {
    return SaveGameFile(c.gameFolder(), c.slot);
}

// FIELD=VALUE with a field of `fields` (none: "N=..." with the index as its name).
Assignment assignment(const std::string& arg, const char* form,
                      std::span<const Field> fields = {}) {
    const auto a = parseAssignment(arg, fields);
    if (!a)
        throw UsageError{std::string("expected ") + form + ", not \"" + arg + "\""};
    return *a;
}

// N from 1 to `count`, as given on the command line.
std::size_t indexArg(const std::string& text, std::size_t count) {
    const auto n = parseNumber(text);
    if (!n || text.find(' ') != std::string::npos || *n < 1 || *n > static_cast<long long>(count))
        throw UsageError{"expected a number from 1 to " + std::to_string(count) + ", not \"" +
                         text + "\""};
    return static_cast<std::size_t>(*n - 1);
}

std::string_view fedField(Setting s) {
    return kSettingFields[static_cast<std::size_t>(s)].name;
}

int fedShow(CliContext& c, const Args& args) {
    return printTable(c, args, TextLayout::FieldLines, [&] {
        const Settings settings = readSettings(saveOf(c));
        Table table;
        for (std::size_t s = 0; s < kSettings; ++s) {
            const auto setting = static_cast<Setting>(s);
            table.columns.push_back({kSettingFields[s].name, setting == Setting::Day ||
                                                                 setting == Setting::Year ||
                                                                 setting == Setting::Bank});
        }
        table.add(1, {settings.begin(), settings.end()});
        return table;
    });
}

int fedSet(CliContext& c, const Args& args) {
    std::vector<std::pair<std::size_t, std::string>> changes;
    for (const auto& arg : args) {
        const Assignment a = assignment(arg, "FIELD=VALUE", kSettingFields);
        if (a.field == nullptr)
            throw UsageError{"unknown field \"" + std::string(a.name) +
                             "\"; see `hv fed set --help`"};
        changes.emplace_back(static_cast<std::size_t>(a.field - kSettingFields.data()), a.value);
    }
    const SaveGameFile save = saveOf(c);
    const GameFolderLock lock(save.gameFolder); // the fields not given are written as read
    Settings settings = readSettings(save);
    for (auto& [s, value] : changes)
        settings[s] = std::move(value);
    applySettings(save, settings, fedField);
    return kOk;
}

int titlesShow(CliContext& c, const Args& args) {
    return printTable(c, args, TextLayout::ColonPair, [&] {
        const Titles titles = readTitles(saveOf(c));
        const auto names = titleNames(titles.federation);
        Table table{{{"title"}, {"holder"}}, {}};
        for (std::size_t t = 0; t < kTitles; ++t)
            table.add(static_cast<long long>(t) + 1,
                      {names ? std::string((*names)[t]) : "Title " + std::to_string(t + 1),
                       titles.holders[t]});
        return table;
    });
}

int titlesSet(CliContext& c, const Args& args) {
    std::vector<std::pair<std::size_t, std::string>> changes;
    for (const auto& arg : args) {
        const Assignment a = assignment(arg, "N=HOLDER");
        changes.emplace_back(indexArg(std::string(a.name), kTitles), a.value);
    }
    const SaveGameFile save = saveOf(c);
    const GameFolderLock lock(save.gameFolder);
    Holders holders = readTitles(save).holders;
    for (auto& [t, holder] : changes)
        holders[t] = std::move(holder);
    applyTitles(save, holders);
    return kOk;
}

// The feuds as read, each stored level that had to be moved into range noted on stderr.
Feuds feudsOf(const CliContext& c, const SaveGameFile& save) {
    Feuds feuds = readFeuds(save);
    for (std::size_t f = 0; f < kFeuds; ++f)
        if (!feuds[f].levelValid)
            c.err << "hv: note: " << levelNote(f, feuds[f]) << "\n";
    return feuds;
}

int feudsShow(CliContext& c, const Args& args) {
    return printTable(c, args, TextLayout::NumberedLines, [&] {
        const Feuds feuds = feudsOf(c, saveOf(c));
        Table table{{{"feud"}, {"level", true}}, {}};
        for (std::size_t f = 0; f < kFeuds; ++f)
            table.add(static_cast<long long>(f) + 1,
                      {feuds[f].text, std::to_string(feuds[f].level)});
        return table;
    });
}

int feudsSet(CliContext& c, const Args& args) {
    std::vector<std::pair<std::size_t, int>> changes;
    for (const auto& arg : args) {
        const Assignment a = assignment(arg, "N=LEVEL");
        const std::string_view text = a.value;
        const auto level = a.number;
        if (!level || text.find(' ') != std::string::npos || *level < kMinLevel ||
            *level > kMaxLevel)
            throw UsageError{"expected a level from 15 to 10600, not \"" + std::string(text) +
                             "\""};
        changes.emplace_back(indexArg(std::string(a.name), kFeuds), static_cast<int>(*level));
    }
    const SaveGameFile save = saveOf(c);
    const GameFolderLock lock(save.gameFolder);
    Feuds feuds = readFeuds(save);
    std::bitset<kFeuds> named;
    for (auto [f, level] : changes) {
        feuds[f].level = level;
        named.set(f);
    }
    applyFeudLevels(save, feuds, named);
    return kOk;
}

int feudsDelete(CliContext& c, const Args& args) {
    std::vector<std::size_t> deleted;
    for (const auto& arg : args)
        deleted.push_back(indexArg(arg, kFeuds));
    const SaveGameFile save = saveOf(c);
    const GameFolderLock lock(save.gameFolder);
    Feuds feuds = readFeuds(save);
    std::bitset<kFeuds> named;
    for (std::size_t f : deleted) {
        feuds[f].deleted = true;
        feuds[f].level = kMinLevel;
        named.set(f);
    }
    applyFeudLevels(save, feuds, named);
    return kOk;
}

const char* const kSaveFile =
    "Works on \"Saved Game/save1.hv1\" of the slot; every line the command does\n"
    "not change is kept byte for byte.";

const char* const kFeudsWrite =
    "A change writes only the feuds it names: the level as a number line (\" 15 \")\n"
    "and, for a deleted feud, an emptied text line. Every other line stays byte for\n"
    "byte, the markers and the other feuds' levels too (the feud editor's \"Apply\n"
    "Change\" rewrites all five). `feuds show` notes on stderr a stored level that is\n"
    "no number from 15 to 10600, and shows the nearest valid level.\n";

} // namespace

std::vector<Command> saveGameCommands() {
    return {
        {{"fed", "show"},
         "",
         {kFormat},
         "Print the federation settings of the slot.",
         std::string("Prints one \"field: value\" line for each of slotname (the slot's line\n"
                     "of saveslots.hv1), commissioner, weekday, day, month, year and bank\n"
                     "(save lines 1 and 3 to 7), as stored.\n") +
             kSaveFile,
         fedShow},
        {{"fed", "set"},
         "FIELD=VALUE...",
         {},
         "Change federation settings, as \"Fed Edit\" does.",
         std::string(fieldList(kSettingFields, false) +
                     "\n"
                     "Values are written as given, byte for byte and unchecked, as the window\n"
                     "writes what its boxes hold; fields not given keep the file's text. The\n"
                     "slot's line of saveslots.hv1 and save lines 1 and 3 to 7 are rewritten\n"
                     "together; a value holding a line break is refused.\n") +
             kSaveFile,
         fedSet},
        {{"titles", "show"},
         "",
         {kFormat},
         "Print the holders of the five titles.",
         std::string("Prints \"TITLE: HOLDER\" for save lines 8 to 12, with the title names of\n"
                     "the slot's federation (\"WWF\" or \"WCW\", line 2) or \"Title 1\" to\n"
                     "\"Title 5\" for any other federation.\n") +
             kSaveFile,
         titlesShow},
        {{"titles", "set"},
         "N=HOLDER...",
         {},
         "Change title holders, as the titles window does.",
         std::string("N is the title's number, 1 to 5 (save lines 8 to 12). A holder is written\n"
                     "as given: any wrestler name, or \"Vacant\"; the others keep the file's\n"
                     "text.\n") +
             kSaveFile,
         titlesSet},
        {{"feuds", "show"},
         "",
         {kFormat},
         "Print the five feuds and their levels.",
         std::string("Prints \"feud N: TEXT\" and \"level N: LEVEL\" for feuds 1 to 5; an empty\n"
                     "text is an empty feud slot.\n") +
             kFeudsWrite + kSaveFile,
         feudsShow},
        {{"feuds", "set"},
         "N=LEVEL...",
         {},
         "Change feud levels.",
         std::string("N is the feud's number, 1 to 5; LEVEL a whole number from 15 to 10600.\n") +
             kFeudsWrite + kSaveFile,
         feudsSet},
        {{"feuds", "delete"},
         "N...",
         {},
         "Delete feuds: empty their text and set their level to 15.",
         std::string(kFeudsWrite) + kSaveFile,
         feudsDelete},
    };
}

} // namespace hv::cli
