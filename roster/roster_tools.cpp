#include "roster_windows.h"

namespace hv::roster {
namespace {

using Tool = ui::ToolDescriptor;

constexpr Tool kTools[] = {
    {"save", kEditorCaption, Tool::Opener::Button, "Command1", "Roster Stats", 0, 6, true,
     &createRosterEditor},
    {"doctor", "", Tool::Opener::Button, "Command3", "The Doctor (injuries)", 3, 1, false,
     &createInjuriesWindow},
    {"reorder", kReorderCaption, Tool::Opener::Button, "Command8", "Re Order Roster", 7, 0, false,
     &createReorderWindow},
    {"batch", kBatchCaption, Tool::Opener::Menu, "batchMenu", "Batch Edit...", 3, 9, false,
     &createBatchWindow},
};

} // namespace

ui::ToolTable rosterTools() {
    return kTools;
}

} // namespace hv::roster
