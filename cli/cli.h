#pragma once

// The `hv` command-line tool: one subcommand per operation over the same core as the editor.

#include "gamefiles/records.h"

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

namespace hv::cli {

inline constexpr int kOk = 0;
inline constexpr int kRefused = 1; // an operation refused, or a check found problems
inline constexpr int kUsage = 2;

// What a command gets: the resolved global options and the output streams.
struct CliContext {
    std::filesystem::path workDir;     // relative file and folder names count from here
    std::filesystem::path settingsDir; // where options.dat is looked for
    std::string gameFolderOption;      // --game-folder, empty when not given
    std::string slot = "save1";        // --slot
    std::ostream& out;
    std::ostream& err;

    // --game-folder, or savedGameFolder().
    std::string gameFolder() const;
    // Line 1 of options.dat (throws GameFileError; OperationRefused, saying how to set one,
    // when there is no options.dat).
    std::string savedGameFolder() const;
};

// Thrown by a command for a usage error (exit 2): wrong number of arguments, bad field...
struct UsageError {
    std::string message;
};

// Throws a UsageError unless exactly `count` arguments were given.
void expectArgs(const std::vector<std::string>& args, std::size_t count);

// The help's list of a record kind's fields and which of them take numbers, wrapped.
std::string fieldList(std::span<const Field> fields);

struct Command {
    std::vector<std::string> words; // e.g. {"roster", "set"}
    std::string synopsis;           // e.g. "NAME FIELD=VALUE..."
    std::string summary;            // one line for `hv --help`
    std::string help;               // the rest of `hv COMMAND --help`
    std::function<int(CliContext&, const std::vector<std::string>& args)> run;
};

// Command groups, each defined beside the operations it drives.
std::vector<Command> coreCommands();       // slots, rivals list, check
std::vector<Command> rosterCommands();     // roster ..., injuries ...
std::vector<Command> gameFolderCommands(); // game-folder show, game-folder set
std::vector<Command> otherFedCommands();   // rivals show, trade
std::vector<Command> saveGameCommands();   // fed ..., titles ..., feuds ...
std::vector<Command> managerCommands();    // managers ...
std::vector<Command> exchangeCommands();   // export, preview, import
std::vector<Command> reportCommands();     // report
std::vector<Command> restoreCommands();    // restore list, restore apply

// Runs the tool in-process (tests call this). Errors go to `err` as one line naming the file
// and the problem; GameFileError and OperationRefused give exit 1. options.dat lies in
// `settingsDir`, by default the working folder.
int runCli(const std::vector<std::string>& args, const std::filesystem::path& workDir,
           std::ostream& out, std::ostream& err, const std::filesystem::path& settingsDir = {});

} // namespace hv::cli
