#pragma once

// Every tool window of the editor: the subsystems' descriptor tables, joined once, and the
// orders the main window gives them.

#include "ui/tool_descriptor.h"

#include <QString>

#include <vector>

namespace hv::app {

// The registered subsystems' tool functions (generated from the hv_subsystem() calls).
std::vector<ui::ToolTable (*)()> subsystemTools();

const std::vector<ui::ToolDescriptor>& allTools();

// The tool with this window name, or nullptr.
const ui::ToolDescriptor* findTool(const QString& window);

// The tools opened by `opener`, in the order of the main window's buttons or menu bar.
std::vector<const ui::ToolDescriptor*> toolsOpenedBy(ui::ToolDescriptor::Opener opener);

// The windows a change of slot closes, in closing order; the others stay open.
std::vector<const ui::ToolDescriptor*> slotClosingOrder();

} // namespace hv::app
