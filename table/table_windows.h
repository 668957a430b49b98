#pragma once

// The roster table `rostertable`: one federation file of the slot as rows and columns, edited
// in place and written as one change.

#include "table_ops.h"

#include "ui/editor_context.h"
#include "ui/tool_descriptor.h"

class QWidget;

namespace hv::table {

inline constexpr char kTableCaption[] = "Roster Table";

QWidget* createRosterTable(ui::EditorContext& context);

// The table as the main window offers it: a button, and the same entry in its menu.
ui::ToolTable tableTools();

} // namespace hv::table
