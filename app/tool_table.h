#pragma once

// Every tool window of the editor: the subsystems' descriptor tables, joined once.

#include "ui/tool_descriptor.h"

#include <QString>

#include <vector>

namespace hv::app {

const std::vector<ui::ToolDescriptor>& allTools();

// The tool with this window name, or nullptr.
const ui::ToolDescriptor* findTool(const QString& window);

} // namespace hv::app
