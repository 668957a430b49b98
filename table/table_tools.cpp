#include "table_windows.h"

namespace hv::table {
namespace {

using Tool = ui::ToolDescriptor;

constexpr Tool kTools[] = {
    {.window = "rostertable",
     .caption = kTableCaption,
     .opener = Tool::Opener::Button,
     .openerName = "rosterTableButton",
     .openerText = kTableCaption,
     .receivesSlot = true,
     .create = &createRosterTable},
    {.window = "rostertable",
     .caption = kTableCaption,
     .opener = Tool::Opener::Menu,
     .openerName = "rosterTableMenu",
     .openerText = kTableCaption,
     .receivesSlot = true,
     .create = &createRosterTable},
};

} // namespace

ui::ToolTable tableTools() {
    return kTools;
}

} // namespace hv::table
