#include "cli/cli.h"
#include "cli/output.h"

#include "restore/restore_diff.h"
#include "restore/restore_ops.h"

#include "gamefiles/error.h"
#include "gamefiles/game_folder_lock.h"

#include <ostream>

namespace hv::cli {
namespace {

const Flag kPlanOnly{"--dry-run", "print the plan and its id, and write nothing"};
const Value kForce{"--force", "PLANID", "carry out plan PLANID only, over changes made since"};

int list(CliContext& c, const Args& args) {
    return printTable(c, args, TextLayout::Tabs, [&] {
        Table table{{{"id", true}, {"time"}, {"description"}}, {}};
        for (const RestorePoint& point : restore::listPoints(c.gameFolder(), c.slot))
            table.add(static_cast<long long>(table.rows.size()) + 1,
                      {std::to_string(point.id), restoreTimeText(point.time), point.description});
        return table;
    });
}

// `hv restore apply ID REST` as the user would type it again, for a refusal to suggest.
std::string applyLine(const CliContext& c, unsigned long long id, const std::string& rest) {
    return std::string("hv ") + (c.slot == "save1" ? "" : "--slot " + c.slot + " ") +
           "restore apply " + std::to_string(id) + " " + rest;
}

int apply(CliContext& c, const Args& args) {
    const auto id = restore::parsePointId(args[0]);
    if (!id)
        throw UsageError{"expected the number of a restore point, not \"" + args[0] + "\""};
    const std::string folder = c.gameFolder();
    if (args[kPlanOnly]) {
        const GameFolderLock lock(folder); // one moment's plan, not a change half made
        const auto plan = restore::planRestore(folder, c.slot, *id);
        for (const RestorePoint& later : plan.later)
            c.out << "also undone\t" << later.id << "\t" << restore::pointLabel(later, c.slot)
                  << "\n";
        for (const std::string& file : plan.files)
            c.out << "put back\t" << file << "\n";
        for (const std::string& name : plan.changedSince)
            c.out << "changed outside\t" << name << "\n";
        c.out << "plan\t" << plan.id << "\n";
        return kOk;
    }
    const std::string agreed = args[kForce].value_or("");
    restore::RestoreResult result;
    try {
        result = restore::applyPoint(folder, c.slot, *id, agreed);
    } catch (const restore::PlanRefused& e) {
        const std::string force = applyLine(c, *id, "--force " + e.plan.id);
        throw OperationRefused(std::string(e.what()) +
                               (agreed.empty() ? " To restore anyway: " + force
                                               : " See it with " + applyLine(c, *id, "--dry-run") +
                                                     "; go ahead with it: " + force));
    }
    for (const RestorePoint& later : result.later)
        c.out << "also undone\t" << later.id << "\t" << restore::pointLabel(later, c.slot) << "\n";
    return kOk;
}

int diff(CliContext& c, const Args& args) {
    const auto id = restore::parsePointId(args[0]);
    if (!id)
        throw UsageError{"expected the number of a restore point, not \"" + args[0] + "\""};
    for (const std::string& line : restore::describePoint(c.gameFolder(), c.slot, *id))
        c.out << line << "\n";
    return kOk;
}

const char* const kPoints =
    "Every change hv or the editor makes keeps the files it replaces, under .hv-restore in\n"
    "the game folder, as one restore point per change; the newest 50 of each slot are kept.";

} // namespace

std::vector<Command> restoreCommands() {
    return {
        {{"restore", "list"},
         "",
         {kFormat},
         "Print the slot's restore points, newest first.",
         std::string("Prints ID<TAB>time<TAB>description per point, time as local\n"
                     "YYYY-MM-DD HH:MM:SS.\n") +
             kPoints,
         list},
        {{"restore", "apply"},
         "ID",
         {kPlanOnly, kForce},
         "Put back the files of a restore point.",
         std::string(
             "Every file of point ID gets back the bytes it had before that change. A later\n"
             "change is undone whole or not at all: every later point that changed one of\n"
             "those files (or a file of another point undone with it) is undone too, each\n"
             "printed as \"also undone<TAB>ID<TAB>description\". The slot names file\n"
             "belongs to every slot: a later change of another slot that wrote it is undone\n"
             "too, its description followed by \" (SLOT)\".\n"
             "--dry-run prints that plan and writes nothing: the lines \"also undone\",\n"
             "\"put back<TAB>FILE\" per file, \"changed outside<TAB>FILE\" per file another\n"
             "program (the game) wrote since the editor's last change to it, and last\n"
             "\"plan<TAB>PLANID\", eight hex digits standing for what the plan undoes and\n"
             "what each of those files holds now. --force PLANID restores only while the\n"
             "plan is still PLANID, over files changed outside too; without --force a file\n"
             "changed outside refuses the restore. A refusal names the plan as it is now.\n"
             "The restore is itself a change with a restore point of its own, so\n"
             "`hv restore apply` on that point undoes it. Exit 1 when the slot has no\n"
             "such point, a kept file cannot be read, a file to be put back was changed\n"
             "outside without --force, or the plan is no longer PLANID; nothing is written\n"
             "then.\n") +
             kPoints,
         apply},
        {{"restore", "diff"},
         "ID",
         {},
         "Print what the change of a restore point did.",
         std::string(
             "One line per difference, each starting with the file as the windows name it\n"
             "(Roster, WWF, WCW, ECW, Indy, Save game, WWF managers, WCW managers, Slot\n"
             "names):\n"
             "  FILE: NAME: CAPTION OLD -> NEW   a field of a wrestler or manager\n"
             "  FILE: NAME joined / FILE: NAME left\n"
             "  FILE: CAPTION OLD -> NEW         a line of the save game or slot names\n"
             "Captions are the windows' own; save lines no window shows are Federation, Tag\n"
             "team champions, Tag team champion 1 and 2, Feud N, Feud N marker and Feud N\n"
             "level. Values are shown as stored, in double quotes when empty or with blanks\n"
             "at either end. Records are matched by name, the n-th record of a name with the\n"
             "n-th of that name; one that left and one that joined at the same place in the\n"
             "file are shown as a rename (\"NAME: Name A -> B\"). \"order changed\" and a\n"
             "changed count of placeholder records are told too; a file holding no readable\n"
             "records, or differing only in what no window shows, gives \"FILE: changed (N\n"
             "bytes -> M bytes)\"; the same bytes give \"FILE: unchanged\".\n"
             "The file before the change is the point's kept version; after it, the version\n"
             "kept by the next newer point that replaced the file, else the file as it is\n"
             "now. When that is not what the change left (another program, such as the\n"
             "game, wrote it since), the file as it is now is compared instead and\n"
             "\"FILE: changed outside the editor since; compared as it is now\" says so.\n"
             "Exit 1 when the slot has no such point.\n") +
             kPoints,
         diff},
    };
}

} // namespace hv::cli
