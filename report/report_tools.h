#pragma once

#include "ui/tool_descriptor.h"

namespace hv::report {

// The windows of this part of the editor as the main window offers them.
ui::ToolTable reportTools();

} // namespace hv::report
