#include "cli/cli.h"
#include "cli/output.h"

#include "gamefiles/assignments.h"
#include "gamefiles/error.h"
#include "otherfeds/otherfeds_ops.h"

#include <ostream>

namespace hv::cli {
namespace {

const Value kAs{"--as", "NEWNAME", "his name in own (default NAME)"};
const Value kYears{"--years", "N", "years of his contract in own (default 5)"};

using otherfeds::Party;

Party partyArg(const std::string& word, bool ownAllowed) {
    const auto party = otherfeds::partyFromWord(word);
    if (!party || (!ownAllowed && *party == Party::Own))
        throw UsageError{std::string("expected ") + (ownAllowed ? "own, " : "") +
                         "rival, ecw or indy, not \"" + word + "\""};
    return *party;
}

// The rival file FED names, as `rivals show` and `rivals set` take it.
otherfeds::PartyFile rivalFileOf(const CliContext& c, const std::string& fed) {
    const Party party = partyArg(fed, false);
    const std::string folder = c.gameFolder();
    std::string otherBigFed;
    if (party == Party::Rival)
        otherBigFed = otherfeds::otherBigFedOf(folder, c.slot).value_or("");
    return otherfeds::partyFile(folder, c.slot, party, otherBigFed);
}

int rivalsShow(CliContext& c, const Args& args) {
    return printTable(c, args, TextLayout::FieldLines, [&] {
        const auto file = rivalFileOf(c, args[0]).file;
        const auto record = otherfeds::findRival(file, args[1]);
        if (!record)
            throw GameFileError(file, "no wrestler named \"" + args[1] + "\"");
        const auto shown = otherfeds::shownLines(*record);
        Table table{fieldColumns(kOtherFedFields), {}};
        table.add(static_cast<long long>((record->firstLine - 1) / OtherFedRecord::kLines + 1),
                  {shown.begin(), shown.end()});
        return table;
    });
}

int rivalsSet(CliContext& c, const Args& args) {
    std::vector<std::pair<OtherFedRecord::Line, std::string>> changes;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const auto a = parseAssignment(args[i], kOtherFedFields);
        if (!a || a->field == nullptr)
            throw UsageError{"expected FIELD=VALUE with a field of `hv rivals set --help`, not \"" +
                             args[i] + "\""};
        changes.emplace_back(static_cast<OtherFedRecord::Line>(a->field->line), a->value);
    }
    const auto file = rivalFileOf(c, args[0]);
    if (otherfeds::setRivalFields(file, args[1], changes, [](OtherFedRecord::Line line) {
            return kOtherFedFields[line].name;
        }) == 0)
        throw GameFileError(file.file, "no wrestler named \"" + args[1] + "\"");
    return kOk;
}

int trade(CliContext& c, const Args& args) {
    const auto newName = args[kAs];
    const auto years = args[kYears];
    otherfeds::TransferRequest request;
    request.slot = c.slot;
    request.name = args[0];
    request.from = partyArg(args[1], true);
    request.to = partyArg(args[2], true);
    if (request.to != Party::Own && (newName || years))
        throw UsageError{"--as and --years are for a move into own only"};
    request.newName = newName.value_or(request.name);
    request.years = years.value_or("5");
    otherfeds::TransferWrestler(c.gameFolder(), request, otherfeds::seededRandomSource());
    return kOk;
}

} // namespace

std::vector<Command> otherFedCommands() {
    return {
        {{"rivals", "show"},
         "rival|ecw|indy NAME",
         {kFormat},
         "Print every field of a rival federation's wrestler.",
         "Prints the first record named NAME (exact, case-sensitive) of the rival file, one\n"
         "\"field: value\" line per field, in record order. The carder and the finisher type\n"
         "are shown as words when they hold one of the codes, otherwise as stored.\n" +
             fieldList(kOtherFedFields) +
             "rival is the other big federation of the slot (WCW when the slot's federation is\n"
             "WWF, WWF when it is WCW; refused for any other federation).",
         rivalsShow},
        {{"rivals", "set"},
         "rival|ecw|indy NAME FIELD=VALUE...",
         {},
         "Change fields of a rival federation's wrestler.",
         fieldList(kOtherFedFields) +
             "\n"
             "Every record named NAME in the rival file gets the fields given, as `hv roster\n"
             "set` gives a wrestler his: every other line stays byte for byte, the carder and\n"
             "finisher type take their words (other text keeps the stored line), an empty\n"
             "tagteam or alterego is written as \"no\", and line breaks in the description\n"
             "become blanks; in any other field they are refused. The number fields take a\n"
             "number (blanks around it, a sign) or nothing, potential a number; other text\n"
             "there is refused (exit 1) unless it is the stored value, and so is \"name\" as a\n"
             "new name. rival is the other big federation of the slot, as for `hv rivals show`.",
         rivalsSet},
        {{"trade"},
         "NAME FROM TO",
         {kAs, kYears},
         "Move a wrestler from one federation of the slot to another.",
         "FROM and TO are two different ones of own (the slot's own roster), rival (the\n"
         "other big federation: WCW for a WWF slot, WWF for a WCW slot), ecw and indy.\n"
         "The first record named NAME moves; others of that name stay where they are.\n"
         "Into own, the wrestler is named NEWNAME (default NAME; his alter ego is shown by\n"
         "`hv rivals show`) and signed until the save game's month of its year plus N\n"
         "(default 5); injury 0, morale 80, no stable, no manager. Out of own he gets a\n"
         "random potential from 1 to 20 and no alter ego. Between rivals the record moves\n"
         "unchanged. Both files are written in full before either is replaced; a refusal or\n"
         "failure leaves them as they were. Prints nothing on success.",
         trade},
    };
}

} // namespace hv::cli
