#include "cli/cli.h"

#include "exchange/exchange_ops.h"
#include "gamefiles/error.h"
#include "gamefiles/game_folder_lock.h"
#include "gamefiles/system_path.h"

#include <ostream>

namespace hv::cli {
namespace {

const Value kOutput{"--output", "FILE", "the file to write (default NAME.hve)"};
const Flag kOverwrite{"--overwrite", "replace the wrestler of the same name"};
const Value kAs{"--as", "NEWNAME", "append the wrestler under NEWNAME"};

using exchange::RosterFile;

// A relative file name counts from the working folder, as the exchange window's exports do.
std::filesystem::path inWorkDir(const CliContext& c, const std::string& file) {
    return c.workDir / pathFromBytes(file);
}

RosterFile rosterOf(const CliContext& c) {
    return RosterFile(c.gameFolder(), c.slot);
}

int exportCommand(CliContext& c, const Args& args) {
    const std::string& name = args[0];
    const auto output = args[kOutput];
    const std::filesystem::path target =
        output ? inWorkDir(c, *output) : c.workDir / pathFromBytes(exchange::exportFileName(name));
    exchange::exportWrestler(rosterOf(c), name, target, c.workDir);
    c.out << pathBytes(target) << "\n";
    return kOk;
}

int previewCommand(CliContext& c, const Args& args) {
    c.out << exchange::previewFile(inWorkDir(c, args[0]));
    return kOk;
}

int importCommand(CliContext& c, const Args& args) {
    const bool overwrite = args[kOverwrite];
    const auto as = args[kAs];
    if (overwrite && as)
        throw UsageError{"give --overwrite or --as, not both"};
    const std::filesystem::path file = inWorkDir(c, args[0]);
    const RosterFile roster = rosterOf(c);
    const GameFolderLock lock(roster.gameFolder); // the clash found is the one resolved
    const exchange::ImportResult result = exchange::importWrestler(roster, file);
    if (result.appended)
        return kOk;
    if (overwrite)
        exchange::overwriteWrestler(roster, result.name, file, &result.clashing);
    else if (as)
        exchange::importAs(roster, file, *as);
    else
        throw GameFileError(roster.file, "\"" + result.name +
                                             "\" is already in the roster; nothing was imported "
                                             "(use --overwrite or --as NEWNAME)");
    return kOk;
}

} // namespace

std::vector<Command> exchangeCommands() {
    return {
        {{"export"},
         "NAME",
         {kOutput},
         "Write a wrestler to an export file (.hve).",
         "Writes every record named NAME (exact, case-sensitive) of the slot's\n"
         "Controlled/yourfed.hv1, byte for byte and in roster order, to FILE, and prints\n"
         "the file's name. Without --output the file is NAME followed by \".hve\" in the\n"
         "working folder; characters that cannot stand in a file name (path separators,\n"
         "control characters, \\ : * ? \" < > |, trailing dots and blanks) become \"_\" and\n"
         "a device name such as CON gets a leading \"_\", so the file always lands in\n"
         "that folder. An existing export of the same wrestler is replaced. Refused\n"
         "(exit 1, nothing written) when no wrestler bears the name, when FILE already\n"
         "holds another wrestler (two names can give one file name) or is no export\n"
         "file, and when FILE is options.dat, arrange.tmp or temp of the working folder,\n"
         "saveslots.hv1 or a file in a slot folder of the game, or lies under\n"
         ".hv-restore.",
         exportCommand},
        {{"preview"},
         "FILE",
         {},
         "Print an export file's wrestler as readable text.",
         "Prints the first record of FILE as the exchange window's preview shows it.\n"
         "Refused (exit 1) for a file of fewer than 19 lines, one whose first 19 lines do\n"
         "not all end in CR LF, or whose line 7 (carder) holds no number. Nothing is\n"
         "written.",
         previewCommand},
        {{"import"},
         "FILE",
         {kOverwrite, kAs},
         "Add an export file's wrestler to the roster.",
         "Appends the first record (19 lines) of FILE to the slot's\n"
         "Controlled/yourfed.hv1, unless a wrestler of the same name (exact) is already\n"
         "there. Such a clash is resolved by the option, which matters only then:\n"
         "  --overwrite     every record of that name becomes the imported record, in\n"
         "                  its place (\"Yes\" in the conflict window);\n"
         "  --as NEWNAME    the record is appended under NEWNAME, taken as given even if\n"
         "                  that name is in the roster too (\"No\", then \"Apply\").\n"
         "A clash without either option: exit 1, a message naming the wrestler, nothing\n"
         "written. A file of fewer than 19 lines, or whose first 19 lines do not all end\n"
         "in CR LF, is refused.",
         importCommand},
    };
}

} // namespace hv::cli
