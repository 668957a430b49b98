#include "cli/cli.h"
#include "cli/output.h"

#include "gamefiles/assignments.h"
#include "gamefiles/error.h"
#include "gamefiles/managers.h"
#include "managers/managers_ops.h"

#include <optional>
#include <ostream>

namespace hv::cli {
namespace {

using managers::ManagersPlace;

ManagersPlace placeOf(const CliContext& c) {
    return ManagersPlace(c.gameFolder(), c.slot);
}

[[noreturn]] void noSuchManager(const ManagersPlace& place, const std::string& name) {
    throw GameFileError(place.required(), "no manager named \"" + name + "\"");
}

int list(CliContext& c, const Args& args) {
    return printTable(c, args, TextLayout::FirstValue, [&] {
        Table table{fieldColumns(kManagerFields), {}};
        for (const managers::Manager& m : managers::readManagers(placeOf(c)))
            table.add(static_cast<long long>(table.rows.size()) + 1,
                      {m.name, kManagerFields[ManagerRecord::Sex].shown(m.code)});
        return table;
    });
}

int add(CliContext& c, const Args&) {
    managers::addManager(placeOf(c));
    return kOk;
}

int set(CliContext& c, const Args& args) {
    if (args.size() < 2)
        throw UsageError{"expected NAME and at least one of name=NEW, sex=male|female"};
    std::optional<std::string> name;
    std::string sex;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto a = parseAssignment(arg, kManagerFields);
        const Field* field = a ? a->field : nullptr;
        if (field != nullptr && field->line == ManagerRecord::Name)
            name = a->value;
        else if (field != nullptr && field->choice(a->value))
            sex = a->value;
        else
            throw UsageError{"expected name=NEW or sex=male|female, not \"" + arg + "\""};
    }
    const ManagersPlace place = placeOf(c);
    const auto newName = name ? std::optional<std::string_view>(*name) : std::nullopt;
    if (managers::changeManagers(place, args[0], newName, sex) == 0)
        noSuchManager(place, args[0]);
    return kOk;
}

int remove(CliContext& c, const Args& args) {
    const ManagersPlace place = placeOf(c);
    if (managers::deleteManagers(place, args[0]) == 0)
        noSuchManager(place, args[0]);
    return kOk;
}

const char* const kManagersFile =
    "Works on background/wwfmanagers.hv1 or background/wcwmanagers.hv1 of the slot,\n"
    "chosen by line 2 of its save game (\"WWF\" or \"WCW\", exact); for any other\n"
    "federation there is no managers file and the command exits 1. Names are compared as\n"
    "the game reads them (blanks around them and enclosing quotes dropped).";

} // namespace

std::vector<Command> managerCommands() {
    return {
        {{"managers", "list"},
         "",
         {kFormat},
         "Print the managers of the slot's federation.",
         std::string("Prints one name per line, in file order.\n") + kManagersFile,
         list},
        {{"managers", "add"},
         "",
         {},
         "Append a manager named \"manager\", male.",
         std::string("Appends the two lines \"manager\" and \"m\", as \"Add Manager\" does.\n") +
             kManagersFile,
         add},
        {{"managers", "set"},
         "NAME [name=NEW] [sex=male|female]",
         {},
         "Rename managers or change their sex.",
         std::string("Changes every manager named NAME. name=NEW writes NEW as the name (a\n"
                     "name holding a comma or a double quote is refused: the game could not\n"
                     "read it back); sex=male or sex=female writes the code \"m\" or \"f\".\n"
                     "What is not given keeps the file's text, an unusual sex code included.\n"
                     "Exit 1 when no manager has that name.\n") +
             kManagersFile,
         set},
        {{"managers", "delete"},
         "NAME",
         {},
         "Remove every manager of that name.",
         std::string("Exit 1 when no manager has that name.\n") + kManagersFile,
         remove},
    };
}

} // namespace hv::cli
