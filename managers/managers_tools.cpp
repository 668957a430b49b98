#include "managers_tools.h"

#include "managers_window.h"

namespace hv::managers {
namespace {

using Tool = ui::ToolDescriptor;

constexpr Tool kTools[] = {
    {.window = "mansave",
     .caption = "Managers",
     .opener = Tool::Opener::Button,
     .openerName = "Command2",
     .openerText = "Managers",
     .receivesSlot = true,
     .create = &createManagersWindow},
};

} // namespace

ui::ToolTable managerTools() {
    return kTools;
}

} // namespace hv::managers
