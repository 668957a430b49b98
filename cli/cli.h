#pragma once

// The `hv` command-line tool: one subcommand per operation over the same core as the editor.

#include "gamefiles/records.h"

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
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

// Thrown by a command for a usage error (exit 2): a bad field, a value out of range...
struct UsageError {
    std::string message;
};

// The help's list of a record kind's fields and which of them take numbers, wrapped.
std::string fieldList(std::span<const Field> fields);

// An option of a command: "--name VALUE" or "--name=VALUE", or a flag "--name". A command
// declares each of its options once, as one of the handles below, and `run` reads it through
// the same handle; the parser, the synopsis, `--help` and the usage errors come from that.
// (CLI11 words its help and errors its own way; hv's are kept, so the parser is hv's own.)
struct Option {
    std::string name;        // e.g. "--years"
    std::string value;       // its value as the help names it, e.g. "N"; empty for a flag
    std::string help;        // for `hv COMMAND --help`; a "\n" continues under it
    bool repeatable = false; // may be given more than once
};

// "--name": given or not.
struct Flag : Option {
    Flag(std::string n, std::string h) : Option{std::move(n), {}, std::move(h)} {}
};
// "--name VALUE" at most once.
struct Value : Option {
    Value(std::string n, std::string v, std::string h)
        : Option{std::move(n), std::move(v), std::move(h)} {}
};
// "--name VALUE" any number of times, in the order given.
struct Values : Option {
    Values(std::string n, std::string v, std::string h)
        : Option{std::move(n), std::move(v), std::move(h), true} {}
};

// Shared by the commands that can show a change instead of making it.
inline const Flag kDryRun{"--dry-run", "print what would change and write nothing"};

// A command line checked against its command: the positional arguments in order, and the
// options given. Indexing it with a number or iterating it reaches the positional arguments;
// indexing it with one of the command's options gives that option as its kind says (and
// throws std::logic_error for an option the command does not declare).
struct Args {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options; // name, value ("" for a flag)
    std::vector<std::string> declared;                        // the command's option names

    bool operator[](const Flag& flag) const;
    std::optional<std::string> operator[](const Value& option) const;
    std::vector<std::string> operator[](const Values& option) const;
    const std::string& operator[](std::size_t i) const { return positional[i]; }
    std::size_t size() const { return positional.size(); }
    bool empty() const { return positional.empty(); }
    auto begin() const { return positional.begin(); }
    auto end() const { return positional.end(); }
};

// How a command declares what it takes; runCli checks the command line before `run`:
//   const Value kAs{"--as", "NEWNAME", "his name in own (default NAME)"};
//   const Values kWhere{"--where", "COND", "a condition he must meet"};
//   int trade(CliContext& c, const Args& args) {
//       const std::optional<std::string> as = args[kAs]; // args[kDryRun] is a bool,
//       ...                                                // args[kWhere] a vector
//   }
//   {{"trade"}, "NAME FROM TO", {kAs, kWhere, kDryRun}, "Summary.", "Help text.", trade}
// positionals: NAME is one argument, [NAME] may be left out, NAME... is one or more and
// [NAME...] any number; args[0] is the first.
struct Command {
    std::vector<std::string> words; // e.g. {"roster", "set"}
    std::string positionals;        // e.g. "NAME FIELD=VALUE..."
    std::vector<Option> options;
    std::string summary; // one line for `hv --help`
    std::string help;    // the rest of `hv COMMAND --help`
    std::function<int(CliContext&, const Args& args)> run;
};

// `args` (what follows the command's words) checked against the command's declarations;
// UsageError names what is wrong. From `literalFrom` on, arguments count as positional.
Args parseArgs(const Command& c, const std::vector<std::string>& args,
               std::size_t literalFrom = std::string::npos);

// hv's own command groups; each subsystem's lies in its folder (NAME_commands.cpp), named by
// its hv_subsystem(... CLI function) and listed by subsystemCommands(), which the build
// generates.
std::vector<Command> coreCommands();       // slots, rivals list, check
std::vector<Command> gameFolderCommands(); // game-folder show, game-folder set
std::vector<std::vector<Command> (*)()> subsystemCommands();
std::vector<Command> completionCommands(); // completion bash
// Every command, in the order `hv --help` lists them.
std::vector<Command> allCommands();
// The options taken before or among any command's words (--game-folder, --slot, ...).
std::vector<Option> globalOptions();

// Runs the tool in-process (tests call this). Errors go to `err` as one line naming the file
// and the problem; GameFileError and OperationRefused give exit 1. options.dat lies in
// `settingsDir`, by default the working folder.
int runCli(const std::vector<std::string>& args, const std::filesystem::path& workDir,
           std::ostream& out, std::ostream& err, const std::filesystem::path& settingsDir = {});

} // namespace hv::cli
