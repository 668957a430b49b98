#pragma once

// The own-federation roster windows. Each returns a new top-level window that has already
// read its data from the game folder and the slot in use.

class QWidget;

namespace hv::ui {
class EditorContext;
}

namespace hv::roster {

QWidget* createRosterEditor(hv::ui::EditorContext& context);   // `save`, "Editing Roster"
QWidget* createReorderWindow(hv::ui::EditorContext& context);  // `reorder`
QWidget* createInjuriesWindow(hv::ui::EditorContext& context); // `doctor`

} // namespace hv::roster
