#pragma once

#include "ui/tool_descriptor.h"

namespace hv::managers {

// The windows of this part of the editor as the main window offers them.
ui::ToolTable managerTools();

} // namespace hv::managers
