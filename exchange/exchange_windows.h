#pragma once

// The exchange windows: `impsave` (export, preview and import) and its conflict window
// `yesno`, shown without blocking when an import meets a wrestler of the same name.

#include "exchange_ops.h"

#include "ui/editor_context.h"
#include "ui/list_filter.h"

#include <QString>

#include <string>
#include <vector>

class QWidget;

namespace hv::ui {
class FileWatch;
}

namespace hv::exchange {

inline constexpr char kExportFilter[] = "Halvorn Export (*.hve)";

QWidget* createExchangeWindow(ui::EditorContext& context); // `impsave`

// In an exchange window, previews `file` and makes it the file "Import" takes, as if it had
// been chosen with "Choose File" (`hv-editor FILE.hve`). False when `window` is not one.
bool chooseExportFile(QWidget* window, const std::filesystem::path& file);

// `hv-editor FILE.hve...`: one file is chosen as above; several are imported in turn, as a
// drop of them is. False when `window` is not an exchange window.
bool openExportFiles(QWidget* window, const std::vector<std::filesystem::path>& files);

// The conflict window for one clash: the slot, the name met in the roster and the export
// file, kept in its hidden boxes, and the roster's records of that name as the import met
// them, which "Yes" overwrites only while they are still so. "Apply" adds the new name to
// `list` while it exists; its writes count as the exchange window's own for `watch` while
// that exists.
QWidget* createConflictWindow(ui::EditorContext& context, const QString& slot, const QString& name,
                              const std::filesystem::path& exportFile,
                              std::vector<std::string> clashing, ui::FilteredList* list,
                              ui::FileWatch* watch = nullptr);

// The roster of `slot` in the game folder named by options.dat (read now).
inline RosterFile rosterFileFor(const ui::EditorContext& context, const QString& slot) {
    return RosterFile(ui::gameFolder(context), slot.toStdString());
}

} // namespace hv::exchange
