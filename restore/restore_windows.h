#pragma once

// The restore window: the restore points of the slot in use, newest first, what the chosen one
// changed, and putting one back.

#include "ui/editor_context.h"

class QWidget;

namespace hv::restore {

inline constexpr char kCaption[] = "Restore Points";

QWidget* createRestoreWindow(ui::EditorContext& context); // `restore`

} // namespace hv::restore
