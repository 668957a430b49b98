#include "cli/cli.h"
#include "cli/output.h"

#include "gamefiles/error.h"
#include "gamefiles/system_path.h"
#include "roster/batch_ops.h"
#include "roster/roster_ops.h"

#include <ostream>

namespace hv::cli {
namespace {

using roster::RosterFile;
using Line = WrestlerRecord::Line;

const Values kWhere{"--where", "CONDITION", "a condition the wrestler must meet; repeatable"};
const Value kCsvOutput{"--output", "FILE", "write to FILE instead of printing"};

std::optional<Line> fieldLine(std::string_view field) {
    if (const Field* f = findField(kWrestlerFields, field))
        return static_cast<Line>(f->line);
    return std::nullopt;
}

std::string_view fieldName(Line line) {
    return kWrestlerFields[line].name;
}

RosterFile rosterOf(const CliContext& c) {
    return RosterFile(c.gameFolder(), c.slot);
}

[[noreturn]] void noSuchWrestler(const RosterFile& roster, const std::string& name) {
    throw GameFileError(roster.file, "no wrestler named \"" + name + "\"");
}

// Every wrestler, or the first named `name`, as `show` shows him; "#" is his record's place.
Table wrestlerTable(const RosterFile& roster, const std::string* name) {
    Table table{fieldColumns(kWrestlerFields), {}};
    const roster::WrestlerFile file = roster::WrestlerFile::read(roster.file);
    for (std::size_t i = 0; i < file.size() && !(name && !table.rows.empty()); ++i)
        if (!file.isPlaceholder(i) && (!name || file.isNamed(i, *name))) {
            const roster::WrestlerBoxes shown = roster::boxesFor(file.record(i));
            table.add(static_cast<long long>(i) + 1, {shown.begin(), shown.end()});
        }
    if (name && table.rows.empty())
        noSuchWrestler(roster, *name);
    return table;
}

int list(CliContext& c, const Args& args) {
    return printTable(c, args, TextLayout::FirstValue,
                      [&] { return wrestlerTable(rosterOf(c), nullptr); });
}

int show(CliContext& c, const Args& args) {
    return printTable(c, args, TextLayout::FieldLines,
                      [&] { return wrestlerTable(rosterOf(c), &args[0]); });
}

int add(CliContext& c, const Args&) {
    roster::addBlankWrestler(rosterOf(c));
    return kOk;
}

int set(CliContext& c, const Args& args) {
    std::vector<std::pair<Line, std::string>> changes;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const auto equals = args[i].find('=');
        const auto line =
            equals == std::string::npos ? std::nullopt : fieldLine(args[i].substr(0, equals));
        if (!line)
            throw UsageError{"expected FIELD=VALUE with a field of `hv roster set --help`, not \"" +
                             args[i] + "\""};
        changes.emplace_back(*line, args[i].substr(equals + 1));
    }

    const RosterFile roster = rosterOf(c);
    if (roster::setWrestlerFields(roster, args[0], changes, fieldName) == 0)
        noSuchWrestler(roster, args[0]);
    return kOk;
}

int batch(CliContext& c, const Args& args) {
    const std::vector<std::string> changes(args.begin(), args.end());
    const bool dryRun = args[kDryRun];
    roster::BatchEdit edit;
    const std::vector<std::string> conditions = args[kWhere];
    // An empty condition would be skipped, and the change made to every wrestler.
    for (const std::string& condition : conditions)
        if (condition.find_first_not_of(" \t") == std::string::npos)
            throw UsageError{"--where needs a condition FIELD OP VALUE, not \"" + condition + "\""};
    try {
        edit = roster::parseBatch(changes, conditions);
    } catch (const roster::BatchSyntaxError& e) {
        throw UsageError{e.what()};
    }

    const RosterFile roster = rosterOf(c);
    const roster::BatchPlan plan =
        dryRun ? roster::planBatch(roster, edit) : roster::applyBatch(roster, edit);
    c.out << roster::changesText(plan, dryRun);
    return kOk;
}

int remove(CliContext& c, const Args& args) {
    const RosterFile roster = rosterOf(c);
    if (roster::deleteWrestler(roster, args[0]) == 0)
        noSuchWrestler(roster, args[0]);
    return kOk;
}

int move(CliContext& c, const Args& args) {
    if (args[1] != "up" && args[1] != "down")
        throw UsageError{"expected up or down, not \"" + args[1] + "\""};
    const bool up = args[1] == "up";
    const RosterFile roster = rosterOf(c);
    switch (roster::moveWrestler(roster, args[0],
                                 up ? roster::Direction::Up : roster::Direction::Down)) {
    case roster::MoveResult::Moved:
        return kOk;
    case roster::MoveResult::NotFound:
        noSuchWrestler(roster, args[0]);
    case roster::MoveResult::Refused:
        break;
    }
    throw GameFileError(roster.file, "\"" + args[0] +
                                         (up ? "\" is in the first two places and does not move up"
                                             : "\" is the last record and does not move down"));
}

int injuriesList(CliContext& c, const Args& args) {
    return printTable(c, args, TextLayout::Tabs, [&] {
        Table table{{{"name"}, {"injury", true}}, {}};
        for (const auto& injury : roster::injuredWrestlers(rosterOf(c)))
            table.add(static_cast<long long>(injury.place), {injury.name, injury.weeks});
        return table;
    });
}

int heal(CliContext& c, const Args&) {
    roster::healAll(rosterOf(c));
    return kOk;
}

int csvExport(CliContext& c, const Args& args) {
    const std::optional<std::string> output = args[kCsvOutput];
    const RosterFile roster = rosterOf(c);
    if (!output) {
        c.out << roster::rosterCsv(roster);
        return kOk;
    }
    const std::filesystem::path target = c.workDir / pathFromBytes(*output);
    roster::exportRosterCsv(roster, target, c.workDir);
    c.out << pathBytes(target) << "\n";
    return kOk;
}

int csvImport(CliContext& c, const Args& args) {
    const bool dryRun = args[kDryRun];
    const auto changes =
        roster::importRosterCsv(rosterOf(c), c.workDir / pathFromBytes(args[0]), dryRun);
    c.out << roster::changesText(changes, dryRun);
    return kOk;
}

const char* const kRosterFile =
    "Works on Controlled/yourfed.hv1 of the slot. Placeholder records (\"name\") are\n"
    "never listed or changed and keep their place.";

} // namespace

std::vector<Command> rosterCommands() {
    return {
        {{"roster", "list"},
         "",
         {kFormat},
         "Print the names of the own federation's wrestlers.",
         std::string("Prints one name per line, in file order; --format tsv and json give every\n"
                     "field of each, and as \"#\" the place of his record in the file.\n") +
             kRosterFile,
         list},
        {{"roster", "show"},
         "NAME",
         {kFormat},
         "Print every field of a wrestler.",
         std::string("Prints the first record named NAME (exact, case-sensitive), one\n"
                     "\"field: value\" line per field, in the field names of `hv roster set`.\n"
                     "The carder and the finisher type are shown as words (\"Upper Carder\",\n"
                     "\"Power Move\") when they hold one of the codes, otherwise as stored.\n") +
             kRosterFile,
         show},
        {{"roster", "add"},
         "",
         {},
         "Append a blank wrestler named \"Your Wrestler\".",
         std::string("Appends the record the editor's \"Add Blank Wrestler\" writes: middle\n"
                     "carder, 0 weeks injured, morale 80, 20 years till retirement, every\n"
                     "other field empty.\n") +
             kRosterFile,
         add},
        {{"roster", "set"},
         "NAME FIELD=VALUE...",
         {},
         "Change fields of a wrestler, as \"Apply Changes\" does.",
         std::string(
             fieldList(kWrestlerFields) +
             "\n"
             "Every record named NAME gets the fields given; every other line of each of\n"
             "them stays byte for byte as stored. Values are written byte for byte as given\n"
             "(the game's files are 8-bit text). carder takes \"Upper Carder\", \"Middle\n"
             "Carder\" or \"Lower Carder\" and finishertype \"Power Move\" or \"Submission\";\n"
             "any other text keeps the stored line. An empty tagteam or stable is written as\n"
             "\"no\". Line breaks in the description become blanks; in any other field they\n"
             "are refused. The number fields take a number (blanks around it, a sign) or\n"
             "nothing; other text there is refused (exit 1) unless it is the stored value,\n"
             "and so is \"name\" as a new name.\n\n") +
             kRosterFile,
         set},
        {{"roster", "batch"},
         "FIELD=VALUE...",
         {kWhere, kDryRun},
         "Change fields of every wrestler that meets the conditions.",
         std::string(
             fieldList(kWrestlerFields) +
             "\n"
             "FIELD=VALUE is as for `hv roster set`, and carder and finishertype take the\n"
             "words only, in any case. On a number field +N or -N adds to the stored number\n"
             "(a blank line counts as 0), never going below 0, and writes the sum as the game\n"
             "does (\" 70 \"); on a text field +N and -N are refused. A field is changed only\n"
             "where its value differs (as a number in the number fields and the carder), and\n"
             "only the lines named change.\n"
             "\n"
             "CONDITION is FIELD OP VALUE, with OP one of = != < > <= >= ~ (one argument;\n"
             "quote it). Values are compared as `hv roster show` shows them, the carder and\n"
             "finisher type as words. = and != compare as numbers when both sides are\n"
             "numbers, else exactly; < > <= >= compare numbers, and a wrestler whose value\n"
             "is no number does not meet them; ~ means \"contains\", in any case, and needs a\n"
             "text. On a number field the VALUE must be a number (or nothing, for a blank\n"
             "line); carder and finishertype take the words of a change, in any case, with\n"
             "= != or ~. Every condition must hold; with none, every wrestler is changed. An\n"
             "empty --where is refused.\n"
             "\n"
             "Prints NAME, a tab and \"FIELD: OLD -> NEW\" for every changed field, then\n"
             "\"N wrestlers changed\". With --dry-run nothing is written and the last line\n"
             "says \"would change\". All changes are one restore point. A bad field,\n"
             "operator or value exits 2 before anything is read; a +N or -N on a stored\n"
             "value that is no number exits 1. Either way nothing is written.\n\n") +
             kRosterFile,
         batch},
        {{"roster", "csv"},
         "",
         {kCsvOutput},
         "Write the roster as a spreadsheet file (CSV).",
         std::string(
             "Prints the roster, or writes it to FILE, as comma-separated text for a\n"
             "spreadsheet program: UTF-8 with a byte order mark, CR LF row ends, quotes as\n"
             "RFC 4180 has them. Row 1 holds \"#\" and the field names of `hv roster set`;\n"
             "then one row per record, placeholders included, \"#\" being its place in the\n"
             "file. Cells hold the stored lines, every byte as the editor's windows show it;\n"
             "carder and finishertype hold their codes (3, 2, 1; p, s). Text cells are\n"
             "quoted, numbers bare. The last column, \"base\", names the roster as exported\n"
             "(\"hv-\" and a hash of its bytes) in every row; a copy of it is kept in the\n"
             "game folder under .hv-restore/SLOT/ (the newest 10 exports of a slot), so that\n"
             "`hv roster csv-import` tells what the sheet changed from what changed in the\n"
             "roster since. Bring a spreadsheet's copy back with `hv roster csv-import`.\n"
             "FILE is refused (exit 1, nothing written) where it would replace\n"
             "options.dat, arrange.tmp or temp of the working folder or saveslots.hv1 of\n"
             "the game, or lie in one of its slot folders or under .hv-restore.\n\n"
             "A spreadsheet must keep the quoted cells as text, or it turns a description\n"
             "\"007\" into 7, \"=1+1\" into 2 and a contract \"July 2002\" into a date. In\n"
             "LibreOffice tick \"Format quoted field as text\" on opening; headless, this\n"
             "opens roster.csv so and saves it as out/roster.csv:\n"
             "  soffice --headless --infilter=\"CSV:44,34,76,1,,0,true,false\" \\\n"
             "    --convert-to \"csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true\" \\\n"
             "    --outdir out roster.csv\n\n") +
             kRosterFile,
         csvExport},
        {{"roster", "csv-import"},
         "FILE",
         {kDryRun},
         "Write back the cells changed in a spreadsheet file.",
         std::string(
             "Reads FILE as `hv roster csv` writes it and writes the cells the sheet changed,\n"
             "all in one change with one restore point. Each row is the record that was at\n"
             "\"#\" when the sheet was exported (rows in any order: a sorted sheet comes back\n"
             "too), and that record is the wrestler who bears its name now (the 2nd of a\n"
             "name is the 2nd of it now), wherever he moved since. A cell that still holds\n"
             "the exported value is no change: what the roster gained since stays, and an\n"
             "untouched sheet is \"0 changes\" at any time. A changed cell is written where\n"
             "the roster still holds the exported value (a changed name renames the\n"
             "wrestler); where the roster changed it otherwise, or no longer has the\n"
             "wrestler, it is a conflict: exit 1, one line per conflict on stderr (row,\n"
             "name, field, the sheet's value, the exported one and the one now), nothing\n"
             "written, under --dry-run too. A sheet whose base is no longer kept is refused;\n"
             "delete its \"base\" column to import it as a sheet without one: such a sheet\n"
             "(made by hand, or by an earlier version) is compared with the roster as it is\n"
             "now, row \"#\" with record \"#\", and the import says so in a first line.\n"
             "Prints one \"NAME<TAB>FIELD: OLD -> NEW\" line per changed cell, then\n"
             "\"N wrestlers changed\", or \"0 changes\". With --dry-run nothing is written\n"
             "and the last line says \"would change\".\n\n"
             "What spreadsheet programs do on saving is no change: the byte order mark kept\n"
             "or dropped, CR LF or LF, every cell quoted or none, no final line end, and a\n"
             "number cell holding the stored number without its blanks (\" 55 \" saved as\n"
             "55). A column left out changes\n"
             "nothing. carder also takes \"Upper Carder\", \"Middle Carder\", \"Lower\n"
             "Carder\" and finishertype \"Power Move\", \"Submission\"; a changed number is\n"
             "written as the game writes numbers (\" 60 \").\n\n"
             "Refused (exit 1, a message naming the row and column, nothing written): a row\n"
             "added or missing, a row with more or fewer cells than the header, a \"#\"\n"
             "that is no record's place or comes twice, an unknown column, a character the\n"
             "game's files cannot hold, a line break in a changed cell, a value `hv check`\n"
             "would report (text in a number field, a carder that is no number), a changed\n"
             "placeholder and \"name\" as a new name.\n\n") +
             kRosterFile,
         csvImport},
        {{"roster", "delete"},
         "NAME",
         {},
         "Remove every wrestler of that name.",
         kRosterFile,
         remove},
        {{"roster", "move"},
         "NAME up|down",
         {},
         "Swap a wrestler with the record above or below him.",
         std::string("Moves the first record named NAME one place in the file, past a\n"
                     "placeholder too. Refused (exit 1) for up when the wrestler is one of\n"
                     "the first two records, and for down when he is the last.\n") +
             kRosterFile,
         move},
        {{"injuries", "list"},
         "",
         {kFormat},
         "Print the injured wrestlers and their weeks out.",
         std::string("Prints NAME, a tab and the weeks out as stored, for every wrestler out\n"
                     "for at least one week, in roster order.\n") +
             kRosterFile,
         injuriesList},
        {{"injuries", "heal"},
         "",
         {},
         "Heal every injured wrestler.",
         std::string("Sets the weeks out of every injured wrestler to 0; every other line is\n"
                     "kept exactly.\n") +
             kRosterFile,
         heal},
    };
}

} // namespace hv::cli
