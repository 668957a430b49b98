#pragma once

// The own-federation roster windows. Each returns a new top-level window that has already
// read its data from the game folder and the slot in use.

#include "roster_ops.h"

#include "ui/editor_context.h"
#include "ui/tool_descriptor.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace hv::roster {

inline constexpr char kEditorCaption[] = "Editing Roster";
inline constexpr char kReorderCaption[] = "Re Order your Roster";
inline constexpr char kBatchCaption[] = "Batch Edit";

QWidget* createRosterEditor(ui::EditorContext& context);   // `save`
QWidget* createReorderWindow(ui::EditorContext& context);  // `reorder`
QWidget* createInjuriesWindow(ui::EditorContext& context); // `doctor`
QWidget* createBatchWindow(ui::EditorContext& context);    // `batch`

// The choices the editor's combo box for a record line offers (none for a plain box).
QStringList comboItems(WrestlerRecord::Line line);

// The roster tools as the main window offers them.
ui::ToolTable rosterTools();

// The roster of `slot` in the game folder named by options.dat (read now).
inline RosterFile rosterFileFor(const ui::EditorContext& context, const QString& slot) {
    return RosterFile(ui::gameFolder(context), slot.toStdString());
}

} // namespace hv::roster
