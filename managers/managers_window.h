#pragma once

#include "ui/editor_context.h"

class QWidget;

namespace hv::managers {

// The managers window `mansave`, loaded for the context's slot.
QWidget* createManagersWindow(ui::EditorContext& context);

} // namespace hv::managers
