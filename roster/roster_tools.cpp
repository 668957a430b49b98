#include "roster_windows.h"

namespace hv::roster {
namespace {

using Tool = ui::ToolDescriptor;

constexpr Tool kTools[] = {
    {.window = "save",
     .caption = kEditorCaption,
     .opener = Tool::Opener::Button,
     .openerName = "Command1",
     .openerText = "Roster Stats",
     .receivesSlot = true,
     .create = &createRosterEditor},
    {.window = "doctor",
     .caption = "",
     .opener = Tool::Opener::Button,
     .openerName = "Command3",
     .openerText = "The Doctor (injuries)",
     .receivesSlot = false,
     .create = &createInjuriesWindow},
    {.window = "reorder",
     .caption = kReorderCaption,
     .opener = Tool::Opener::Button,
     .openerName = "Command8",
     .openerText = "Re Order Roster",
     .receivesSlot = false,
     .create = &createReorderWindow},
    {.window = "batch",
     .caption = kBatchCaption,
     .opener = Tool::Opener::Menu,
     .openerName = "batchMenu",
     .openerText = "Batch Edit...",
     .receivesSlot = false,
     .create = &createBatchWindow},
};

} // namespace

ui::ToolTable rosterTools() {
    return kTools;
}

} // namespace hv::roster
