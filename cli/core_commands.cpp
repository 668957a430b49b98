#include "cli.h"
#include "output.h"

#include "gamefiles/check.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/options.h"
#include "gamefiles/records.h"
#include "gamefiles/save_game.h"
#include "gamefiles/slot_names.h"
#include "gamefiles/system_path.h"
#include "otherfeds/otherfeds_ops.h"

#include <ostream>

namespace hv::cli {
namespace {

int slots(CliContext& c, const Args& args) {
    return printTable(c, args, TextLayout::ColonPair, [&] {
        const SaveSlotNames names = readSaveSlotNames(c.gameFolder());
        Table table{{{"slot"}, {"name"}}, {}};
        for (std::size_t i = 0; i < names.names.size(); ++i)
            table.add(static_cast<long long>(i) + 1, {std::string(kSlots[i]), names.names[i]});
        return table;
    });
}

Table rivalsTable(CliContext& c, const Args& args) {
    const std::string folder = c.gameFolder();
    GameFile file;
    if (args[0] == "ecw") {
        file = GameFile::EcwRoster;
    } else if (args[0] == "indy") {
        file = GameFile::IndyRoster;
    } else if (args[0] == "rival") {
        const auto saveGame = slotFilePath(folder, c.slot, GameFile::SaveGame);
        const std::string federation = readFederationName(saveGame);
        const auto other = OtherBigFed(federation);
        if (!other)
            throw GameFileError(saveGame,
                                "the federation \"" + federation +
                                    "\" is neither WWF nor WCW, so it has no rival "
                                    "big federation",
                                2);
        file = *other == "WWF" ? GameFile::WwfRoster : GameFile::WcwRoster;
    } else {
        throw UsageError{"expected rival, ecw or indy, not \"" + args[0] + "\""};
    }
    const auto rivals = RecordFile<OtherFedRecord>::read(slotFilePath(folder, c.slot, file));
    Table table{fieldColumns(kOtherFedFields), {}};
    for (std::size_t i = 0; i < rivals.size(); ++i)
        if (!rivals.isPlaceholder(i)) {
            const auto shown = otherfeds::shownLines(rivals.record(i));
            table.add(static_cast<long long>(i) + 1, {shown.begin(), shown.end()});
        }
    return table;
}

int rivalsList(CliContext& c, const Args& args) {
    return printTable(c, args, TextLayout::FirstValue, [&] { return rivalsTable(c, args); });
}

int check(CliContext& c, const Args& args) {
    std::vector<CheckProblem> problems;
    for (const std::string& file : args) { // export files: only they are checked
        auto more = checkExportFile(c.workDir / pathFromBytes(file));
        problems.insert(problems.end(), more.begin(), more.end());
    }
    std::error_code ec;
    if (args.empty() && c.gameFolderOption.empty() &&
        !std::filesystem::exists(optionsPath(c.settingsDir), ec))
        c.savedGameFolder(); // refused, saying how to set the folder
    // options.dat is checked whenever it is there, and must be when it names the folder.
    if (args.empty() &&
        (c.gameFolderOption.empty() || std::filesystem::exists(optionsPath(c.settingsDir), ec)))
        problems = checkOptions(c.settingsDir);
    if (args.empty() && (problems.empty() || !c.gameFolderOption.empty())) {
        auto more = checkGameFolder(c.gameFolder());
        problems.insert(problems.end(), more.begin(), more.end());
    }
    for (const auto& p : problems)
        c.out << problemText(p) << "\n";
    return problems.empty() ? kOk : kRefused;
}

} // namespace

std::vector<Command> coreCommands() {
    return {
        {{"slots"},
         "",
         {kFormat},
         "Print the names of the four save slots.",
         "Prints one line per slot, \"save1: NAME\" to \"save4: NAME\", from saveslots.hv1.",
         slots},
        {{"rivals", "list"},
         "rival|ecw|indy",
         {kFormat},
         "Print the names of a rival federation of the slot.",
         "rival  the other big federation (WCW when the slot's federation is WWF, WWF when it\n"
         "       is WCW; an error for any other federation)\n"
         "ecw    ECW\n"
         "indy   the Indy/Other pool\n"
         "Names are printed in file order, one per line; placeholder records are left out.\n"
         "--format tsv and json give every field of each, as `hv rivals show` shows them,\n"
         "and as \"#\" the place of his record in the file.",
         rivalsList},
        {{"check"},
         "[EXPORTFILE...]",
         {},
         "Validate every file of every slot of the game folder, or export files.",
         "Reads every file the editor reads, as the editor reads it: options.dat (when\n"
         "it names the folder or is present), saveslots.hv1, and in every slot the roster,\n"
         "the save game header, the rival rosters and the managers files. Prints one line\n"
         "per problem, \"path:line: message\", worded as the editor's windows word it:\n"
         "missing, unreadable or folder-shaped files, line ends other than CR LF, files\n"
         "cut inside a record, short save games or slot lists, codes and feud levels that\n"
         "are no valid numbers, manager lines the game's field read would split.\n"
         "Given export files (.hve), it checks only them, as import and preview read\n"
         "them: 19 lines ended by CR LF and a carder code that is a number.\n"
         "Exits 1 when it found any problem, 0 when it found none.",
         check},
    };
}

} // namespace hv::cli
