#include "cli.h"

#include "gamefiles/error.h"
#include "gamefiles/options.h"
#include "gamefiles/system_path.h"

#include <ostream>
#include <system_error>

namespace fs = std::filesystem;

namespace hv::cli {
namespace {

// Both commands work on options.dat itself, so --game-folder is not consulted.
int show(CliContext& c, const Args&) {
    c.out << c.savedGameFolder() << "\n";
    c.out << "from " << pathBytes(optionsPath(c.settingsDir)) << "\n";
    return kOk;
}

int set(CliContext& c, const Args& args) {
    const fs::path folder = tidyFolder(pathFromBytes(args[0]), c.workDir);
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        throw OperationRefused("\"" + pathBytes(folder) + "\" is not an existing folder");
    changeGameFolder(c.settingsDir, pathBytes(folder));
    return kOk;
}

} // namespace

std::vector<Command> gameFolderCommands() {
    return {
        {{"game-folder", "show"},
         "",
         {},
         "Print the game folder named by options.dat.",
         "Prints line 1 of options.dat as the editor reads it: a value in double quotes is\n"
         "printed without them, any other value up to the first comma and without its outer\n"
         "blanks. A second line, \"from FILE\", names the options.dat that was read.\n"
         "--game-folder does not change what this command reads. Exits 1 when options.dat\n"
         "is missing or names no folder.",
         show},
        {{"game-folder", "set"},
         "DIR",
         {},
         "Write DIR as the game folder in options.dat.",
         "Changes line 1 of options.dat as the editor's folder chooser does. DIR must be an\n"
         "existing folder; a relative DIR counts from the working folder. It is written as an\n"
         "absolute path without a trailing separator, in double quotes when it holds a comma\n"
         "or begins or ends with a blank. Every byte after line 1 is kept as it is; a missing\n"
         "options.dat is created. A DIR holding a double quote cannot be stored and is\n"
         "refused. --game-folder does not change what this command writes or where. An\n"
         "editor that is open goes on working on the folder it loaded (its windows name it in\n"
         "their captions) until its folder chooser moves or it is started again.",
         set},
    };
}

} // namespace hv::cli
