#include "cli.h"

#include "gamefiles/error.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/options.h"
#include "gamefiles/restore.h"
#include "gamefiles/system_path.h"
#include "gamefiles/temp_rewrite.h"
#include "hv_version.h"

#include <algorithm>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <streambuf>

namespace hv::cli {
namespace {

// Passes a command's output on and counts it.
class CountingBuffer : public std::streambuf {
public:
    explicit CountingBuffer(std::streambuf* to) : to_(to) {}
    std::size_t count() const { return count_; }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        ++count_;
        return to_->sputc(traits_type::to_char_type(c));
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        count_ += static_cast<std::size_t>(n);
        return to_->sputn(s, n);
    }
    int sync() override { return to_->pubsync(); }

private:
    std::streambuf* to_;
    std::size_t count_ = 0;
};

// How many positional arguments the command takes: NAME counts one, [NAME] none or one,
// NAME... one or more, [NAME...] any number.
std::pair<std::size_t, std::size_t> positionalCount(const Command& c) {
    constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();
    std::size_t min = 0, max = 0;
    for (std::size_t start = 0; start < c.positionals.size();) {
        const std::size_t end = std::min(c.positionals.find(' ', start), c.positionals.size());
        const std::string_view word = std::string_view(c.positionals).substr(start, end - start);
        min += word.starts_with('[') ? 0 : 1;
        max = word.ends_with("...") || word.ends_with("...]") || max == kAny ? kAny : max + 1;
        start = end + 1;
    }
    return {min, max};
}

// The positionals and then each option, or "[OPTION...]" where there are too many to list.
std::string synopsis(const Command& c) {
    std::string text = c.positionals;
    auto add = [&text](const std::string& word) { text += (text.empty() ? "" : " ") + word; };
    if (c.options.size() > 2)
        add("[OPTION...]");
    else
        for (const Option& o : c.options)
            add("[" + o.name + (o.value.empty() ? "" : " " + o.value) + "]" +
                (o.repeatable ? "..." : ""));
    return text;
}

std::string countText(std::size_t n) {
    return std::to_string(n) + " argument" + (n == 1 ? "" : "s");
}

bool given(const Args& args, std::string_view name) {
    return std::ranges::find(args.options, name, &std::pair<std::string, std::string>::first) !=
           args.options.end();
}

// An option read that its command never declared would never be given.
void checkDeclared(const Args& args, const Option& option) {
    if (std::ranges::find(args.declared, option.name) == args.declared.end())
        throw std::logic_error(option.name + " is read but not declared");
}

// The value of `option`, named by args[i]: after its "=", or the next argument (and then `i`
// moves on to it); "" for a flag. UsageError when a flag has one or an option lacks it.
std::string optionValue(const Option& option, const std::vector<std::string>& args,
                        std::size_t& i) {
    const auto equals = args[i].find('=');
    if (option.value.empty()) {
        if (equals != std::string::npos)
            throw UsageError{option.name + " takes no value"};
        return "";
    }
    if (equals != std::string::npos)
        return args[i].substr(equals + 1);
    if (i + 1 >= args.size())
        throw UsageError{option.name + " needs a value"};
    return args[++i];
}

// Each option's line in a help: its name and value, and its help from a common column.
void printOptions(std::ostream& out, std::span<const Option> options) {
    std::size_t width = 0;
    for (const Option& o : options)
        width = std::max(width, o.name.size() + 1 + o.value.size());
    for (const Option& o : options) {
        const std::string head = o.name + (o.value.empty() ? "" : " " + o.value);
        std::string help = o.help;
        for (auto at = help.find('\n'); at != std::string::npos; at = help.find('\n', at + 1))
            help.insert(at + 1, width + 4, ' ');
        out << "  " << head << std::string(width + 2 - head.size(), ' ') << help
            << (o.repeatable ? " (may be repeated)" : "") << "\n";
    }
}

} // namespace

Args parseArgs(const Command& c, const std::vector<std::string>& args, std::size_t literalFrom) {
    Args parsed;
    for (const Option& o : c.options)
        parsed.declared.push_back(o.name);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (i >= literalFrom || !a.starts_with("--") || a == "--") {
            parsed.positional.push_back(a);
            continue;
        }
        const std::string name = a.substr(0, a.find('='));
        const auto option = std::ranges::find(c.options, name, &Option::name);
        if (option == c.options.end())
            throw UsageError{"unknown option " + name};
        if (!option->repeatable && given(parsed, name))
            throw UsageError{name + " is given twice"};
        parsed.options.emplace_back(name, optionValue(*option, args, i));
    }
    const auto [min, max] = positionalCount(c);
    const std::size_t n = parsed.positional.size();
    if (min == max && n != min)
        throw UsageError{"expected " + countText(min) + ", got " + std::to_string(n)};
    if (n < min || n > max)
        throw UsageError{"expected " + c.positionals + ", got " + countText(n)};
    return parsed;
}

namespace {

std::string joined(const std::vector<std::string>& words) {
    std::string s;
    for (const auto& w : words)
        s += (s.empty() ? "" : " ") + w;
    return s;
}

// The options before or among a command's words, for every command.
const Value kGameFolder{"--game-folder", "DIR",
                        "the game folder (default: line 1 of options.dat, as the\n"
                        "editor reads it; `hv game-folder show` names the file)"};
const Value kSlot{"--slot", "SLOT", "the save slot to work on (default: save1)"};
const Flag kHelp{"--help", "this text; `hv COMMAND --help` describes one command"};
const Flag kVersion{"--version", "the version of hv"};

void printUsage(std::ostream& out, const std::vector<Command>& commands) {
    out << "Usage: hv [--game-folder DIR] [--slot save1|save2|save3|save4] COMMAND [ARGS]\n"
           "\n"
           "Reads and changes the files of a Halvorn game folder.\n"
           "\n"
           "Options:\n";
    printOptions(out, globalOptions());
    out << "\n"
           "Commands:\n";
    // A usage longer than the column puts its summary on the next line, so that the summaries
    // stay readable in an 80-column terminal.
    constexpr std::size_t kColumn = 36;
    std::size_t width = 0;
    for (const auto& c : commands)
        width = std::max(width, joined(c.words).size() + 1 + synopsis(c).size());
    width = std::min(width, kColumn);
    for (const auto& c : commands) {
        std::string head = joined(c.words) + (synopsis(c).empty() ? "" : " " + synopsis(c));
        if (head.size() > width)
            out << "  " << head << "\n" << std::string(width + 4, ' ') << c.summary << "\n";
        else
            out << "  " << head << std::string(width + 2 - head.size(), ' ') << c.summary << "\n";
    }
    out << "\nExit status: 0 success, 1 refused or problems found, 2 usage error.\n";
}

void printCommandHelp(std::ostream& out, const Command& c) {
    out << "Usage: hv [OPTIONS] " << joined(c.words)
        << (synopsis(c).empty() ? "" : " " + synopsis(c)) << "\n\n"
        << c.summary << "\n";
    if (!c.options.empty()) {
        out << "\nOptions:\n";
        printOptions(out, c.options);
    }
    if (!c.help.empty())
        out << "\n" << c.help << (c.help.back() == '\n' ? "" : "\n");
}

// The command whose words start `args` (longest match first).
const Command* match(const std::vector<Command>& commands, const std::vector<std::string>& args,
                     std::size_t& used) {
    const Command* best = nullptr;
    for (const auto& c : commands) {
        if (c.words.size() <= args.size() &&
            std::equal(c.words.begin(), c.words.end(), args.begin()) &&
            (!best || c.words.size() > best->words.size()))
            best = &c;
    }
    used = best ? best->words.size() : 0;
    return best;
}

// The commands of the group named by the first word, such as "restore" for "restore list".
std::vector<const Command*> group(const std::vector<Command>& commands,
                                  const std::vector<std::string>& args) {
    std::vector<const Command*> members;
    for (const auto& c : commands)
        if (!args.empty() && c.words.size() > 1 && c.words.front() == args.front())
            members.push_back(&c);
    return members;
}

// Words joined by ", ", broken before a word that would pass column 78.
std::string wrapped(std::string_view head, const std::vector<std::string_view>& words) {
    std::string text(head);
    std::size_t column = text.size();
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string word = std::string(words[i]) + (i + 1 < words.size() ? "," : ".");
        if (column + 1 + word.size() > 78) {
            text += "\n";
            column = 0;
        } else if (column > 0) {
            text += " ";
            ++column;
        }
        text += word;
        column += word.size();
    }
    return text + "\n";
}

} // namespace

std::vector<Option> globalOptions() {
    return {kGameFolder, kSlot, kHelp, kVersion};
}

std::vector<Command> allCommands() {
    auto groups = subsystemCommands();
    groups.insert(groups.begin(), {coreCommands, gameFolderCommands});
    groups.push_back(completionCommands);
    std::vector<Command> commands;
    for (auto group : groups)
        for (auto& c : group())
            commands.push_back(std::move(c));
    return commands;
}

std::string fieldList(std::span<const Field> fields, bool numbers) {
    std::vector<std::string_view> all, numberFields;
    for (const Field& f : fields) {
        all.push_back(f.name);
        if (f.kind == FieldKind::Number)
            numberFields.push_back(f.name);
    }
    return wrapped("Fields:", all) + (numbers ? wrapped("Number fields:", numberFields) : "");
}

bool Args::operator[](const Flag& flag) const {
    checkDeclared(*this, flag);
    return given(*this, flag.name);
}

std::optional<std::string> Args::operator[](const Value& option) const {
    checkDeclared(*this, option);
    for (const auto& [name, value] : options)
        if (name == option.name)
            return value;
    return std::nullopt;
}

std::vector<std::string> Args::operator[](const Values& option) const {
    checkDeclared(*this, option);
    std::vector<std::string> found;
    for (const auto& [name, value] : options)
        if (name == option.name)
            found.push_back(value);
    return found;
}

std::string CliContext::gameFolder() const {
    if (!gameFolderOption.empty())
        return gameFolderOption;
    return savedGameFolder();
}

std::string CliContext::savedGameFolder() const {
    std::error_code ec;
    if (!std::filesystem::exists(optionsPath(settingsDir), ec) && !ec)
        throw OperationRefused(
            "No game folder is set: run `hv game-folder set DIR`, or pass --game-folder DIR");
    std::string folder = readGameFolder(settingsDir);
    // A relative folder counts from options.dat, as for the editor, which works there.
    if (settingsDir != workDir && pathFromBytes(folder).is_relative())
        folder = pathBytes(settingsDir / pathFromBytes(folder));
    return folder;
}

int runCli(const std::vector<std::string>& args, const std::filesystem::path& workDir,
           std::ostream& out, std::ostream& err, const std::filesystem::path& settingsDir) {
    const std::vector<Command> commands = allCommands();
    CountingBuffer printed(out.rdbuf());
    std::ostream commandOut(&printed);
    CliContext context{
        workDir, settingsDir.empty() ? workDir : settingsDir, {}, "save1", commandOut, err};

    std::vector<std::string> rest;
    std::size_t literalFrom = std::numeric_limits<std::size_t>::max(); // where "--" ended options
    bool help = false;
    // The global options that take a value, and what each sets; the last one given counts.
    const std::pair<const Value*, std::string*> valued[] = {
        {&kGameFolder, &context.gameFolderOption}, {&kSlot, &context.slot}};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto global = std::ranges::find(valued, a.substr(0, a.find('=')),
                                              [](const auto& v) { return v.first->name; });
        if (a == kHelp.name || a == "-h") {
            help = true;
        } else if (a == kVersion.name) {
            out << "hv " << HV_VERSION << "\n";
            return kOk;
        } else if (global != std::end(valued)) {
            try {
                *global->second = optionValue(*global->first, args, i);
            } catch (const UsageError& e) {
                err << "hv: " << e.message << "\n";
                return kUsage;
            }
        } else if (a == "--") {
            literalFrom = rest.size();
            rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        } else {
            rest.push_back(a);
        }
    }

    std::size_t used = 0;
    const Command* command = match(commands, rest, used);
    const auto members = command ? std::vector<const Command*>{} : group(commands, rest);
    if (help) {
        if (command)
            printCommandHelp(out, *command);
        else if (!members.empty())
            for (const Command* c : members) {
                printCommandHelp(out, *c);
                out << "\n";
            }
        else
            printUsage(out, commands);
        return kOk;
    }
    if (!command) {
        if (rest.empty()) {
            printUsage(err, commands);
        } else if (!members.empty()) {
            std::string names;
            for (const Command* c : members)
                names += (names.empty() ? "" : ", ") + joined(c->words);
            err << "hv: \"" << joined(rest) << "\" is not a command; did you mean " << names
                << "? See hv " << rest.front() << " --help\n";
        } else {
            err << "hv: unknown command \"" << joined(rest) << "\"; see hv --help\n";
        }
        return kUsage;
    }
    if (!isSlotName(context.slot)) {
        err << "hv: --slot must be save1, save2, save3 or save4, not \"" << context.slot << "\"\n";
        return kUsage;
    }

    std::vector<std::string> commandArgs(rest.begin() + static_cast<std::ptrdiff_t>(used),
                                         rest.end());
    try {
        const Args parsed =
            parseArgs(*command, commandArgs, literalFrom - std::min(literalFrom, used));
        const std::size_t scopes = restoreScopesOpened(), mark = replacedMark();
        const int code = command->run(context, parsed);
        // A change (it opened a restore point) that changed no byte wrote nothing; a command
        // that prints what it did says so itself.
        if (code == kOk && restoreScopesOpened() > scopes && replacedSince(mark).empty() &&
            printed.count() == 0)
            commandOut << "Nothing changed\n";
        commandOut.flush();
        return code;
    } catch (const UsageError& e) {
        err << "hv " << joined(command->words) << ": " << e.message << "\n";
        return kUsage;
    } catch (const GameFileError& e) {
        err << e.what() << "\n";
        return kRefused;
    } catch (const OperationRefused& e) {
        err << "hv " << joined(command->words) << ": " << e.what() << "\n";
        return kRefused;
    } catch (const std::exception& e) {
        // Not expected (out of memory, a failure of the system library): one line, not a crash.
        std::string what = e.what();
        std::replace_if(
            what.begin(), what.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        err << "hv " << joined(command->words) << ": unexpected error: " << what << "\n";
        return kRefused;
    } catch (...) {
        err << "hv " << joined(command->words) << ": unexpected error\n";
        return kRefused;
    }
}

} // namespace hv::cli
