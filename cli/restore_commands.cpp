#include "cli.h"

#include "restore/restore_ops.h"

#include <ostream>

namespace hv::cli {
namespace {

int list(CliContext& c, const Args&) {
    for (const RestorePoint& point : restore::listPoints(c.gameFolder(), c.slot))
        c.out << point.id << "\t" << restoreTimeText(point.time) << "\t" << point.description
              << "\n";
    return kOk;
}

int apply(CliContext& c, const Args& args) {
    const auto id = restore::parsePointId(args[0]);
    if (!id)
        throw UsageError{"expected the number of a restore point, not \"" + args[0] + "\""};
    const auto result = restore::applyPoint(c.gameFolder(), c.slot, *id, args.has("--force"));
    for (const RestorePoint& later : result.later)
        c.out << "also undone\t" << later.id << "\t" << later.description << "\n";
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
         {},
         "Print the slot's restore points, newest first.",
         std::string("Prints ID<TAB>time<TAB>description per point, time as local\n"
                     "YYYY-MM-DD HH:MM:SS.\n") +
             kPoints,
         list},
        {{"restore", "apply"},
         "ID",
         {{"--force", "", "restore over changes another program made since"}},
         "Put back the files of a restore point.",
         std::string(
             "Every file of point ID gets back the bytes it had before that change. A later\n"
             "change is undone whole or not at all: every later point that changed one of\n"
             "those files (or a file of another point undone with it) is undone too, each\n"
             "printed as \"also undone<TAB>ID<TAB>description\".\n"
             "The restore is itself a change with a restore point of its own, so\n"
             "`hv restore apply` on that point undoes it. Exit 1 when the slot has no\n"
             "such point, a kept file cannot be read, or a file to be put back was changed\n"
             "by another program (the game) since the editor's last change to it; nothing\n"
             "is written then.\n") +
             kPoints,
         apply},
    };
}

} // namespace hv::cli
