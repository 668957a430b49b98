#pragma once

#include "ui/tool_descriptor.h"

namespace hv::savegame {

// The windows of this part of the editor as the main window offers them.
ui::ToolTable saveGameTools();

} // namespace hv::savegame
