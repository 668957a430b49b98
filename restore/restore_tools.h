#pragma once

#include "ui/tool_descriptor.h"

namespace hv::restore {

// The windows of this part of the editor as the main window offers them.
ui::ToolTable restoreTools();

} // namespace hv::restore
