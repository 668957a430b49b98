#include "managers_tools.h"

#include "managers_window.h"

namespace hv::managers {
namespace {

using Tool = ui::ToolDescriptor;

constexpr Tool kTools[] = {
    {"mansave", "Managers", Tool::Opener::Button, "Command2", "Managers", 1, 5, true,
     &createManagersWindow},
};

} // namespace

ui::ToolTable managerTools() {
    return kTools;
}

} // namespace hv::managers
