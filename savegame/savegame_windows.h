#pragma once

// The save game windows. Each returns a new top-level window that has already read its data
// from the game folder and the slot in use.

#include "savegame_ops.h"

#include "ui/editor_context.h"

#include <QString>

class QWidget;

namespace hv::savegame {

QWidget* createFedEditWindow(ui::EditorContext& context); // `fededit`
QWidget* createTitlesWindow(ui::EditorContext& context);  // `titles`
QWidget* createFeudWindow(ui::EditorContext& context);    // `fuededit`

// The save game of `slot` in the game folder named by options.dat (read now).
inline SaveGameFile saveGameFor(const ui::EditorContext& context, const QString& slot) {
    return SaveGameFile(ui::gameFolder(context), slot.toStdString());
}

} // namespace hv::savegame
