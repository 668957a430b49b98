#pragma once

// The HTML roster report window `html22`.

#include "report_ops.h"

#include "ui/editor_context.h"

class QWidget;

namespace hv::report {

inline constexpr char kCaption[] = "HTML Roster";

QWidget* createReportWindow(ui::EditorContext& context); // `html22`

} // namespace hv::report
