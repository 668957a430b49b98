#pragma once

#include "ui/tool_descriptor.h"

namespace hv::otherfeds {

// The windows of this part of the editor as the main window offers them.
ui::ToolTable otherFedTools();

} // namespace hv::otherfeds
