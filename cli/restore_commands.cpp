#include "cli.h"

#include "restore/restore_ops.h"

#include <ostream>

namespace hv::cli {
namespace {

int list(CliContext& c, const std::vector<std::string>& args) {
    expectArgs(args, 0);
    for (const RestorePoint& point : restore::listPoints(c.gameFolder(), c.slot))
        c.out << point.id << "\t" << restoreTimeText(point.time) << "\t" << point.description
              << "\n";
    return kOk;
}

int apply(CliContext& c, const std::vector<std::string>& args) {
    expectArgs(args, 1);
    const auto id = restore::parsePointId(args[0]);
    if (!id)
        throw UsageError{"expected the number of a restore point, not \"" + args[0] + "\""};
    restore::applyPoint(c.gameFolder(), c.slot, *id);
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
         "Print the slot's restore points, newest first.",
         std::string("Prints ID<TAB>time<TAB>description per point, time as local\n"
                     "YYYY-MM-DD HH:MM:SS.\n") +
             kPoints,
         list},
        {{"restore", "apply"},
         "ID",
         "Put back the files of a restore point.",
         std::string("Every file of point ID gets back the bytes it had before that change.\n"
                     "The restore is itself a change with a restore point of its own, so\n"
                     "`hv restore apply` on that point undoes it. Exit 1 when the slot has no\n"
                     "such point or a kept file cannot be read; nothing is written then.\n") +
             kPoints,
         apply},
    };
}

} // namespace hv::cli
