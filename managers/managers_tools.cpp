#include "managers_tools.h"

namespace hv::managers {
namespace {

using Tool = ui::ToolDescriptor;

constexpr Tool kTools[] = {
    {"mansave", "Managers", Tool::Opener::Button, "Command2", "Managers", 1, 5, true, nullptr},
};

} // namespace

ui::ToolTable managerTools() {
    return kTools;
}

} // namespace hv::managers
