#pragma once

#include "ui/tool_descriptor.h"

namespace hv::exchange {

// The windows of this part of the editor as the main window offers them.
ui::ToolTable exchangeTools();

} // namespace hv::exchange
