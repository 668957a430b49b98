#pragma once

// What every tool window shares at its edges: a status line at the bottom that says, in a
// player's words, what the last change did and how to undo it; the keys (Esc closes, Enter in
// a box and Ctrl+S press the window's one apply button); and accessible names from the
// captions, so a screen reader announces a box by what it is for rather than by its value.

#include "editor_context.h"

#include <QString>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QUrl;

namespace hv::ui {

// The base of every tool window: the context it was opened with and the slot it works on,
// both typed and taken when the window is made (or, for a window that follows the main
// window, when it loads again). Nothing reads them back from a widget.
//
//   class MyWindow : public ui::ToolWindow {
//   public:
//       explicit MyWindow(ui::EditorContext& context) : ToolWindow(context) {
//           keepSlotBox(); // optional: a hidden `hid` that shows slot()
//           ...            // build, then load from gameFolder() and slot()
//       }
//   };
//   QWidget* createMyWindow(ui::EditorContext& context) {
//       return ui::setUpToolWindow(new MyWindow(context));
//   }
class ToolWindow : public QWidget {
    Q_OBJECT
public:
    // Works on the context's current slot.
    explicit ToolWindow(EditorContext& context, QWidget* parent = nullptr);
    // Works on `slot`, whatever the context's is (a window opened by another for its slot).
    ToolWindow(EditorContext& context, QString slot, QWidget* parent = nullptr);

    EditorContext& context() const { return context_; }
    // The slot the window works on, "save1" to "save4".
    const QString& slot() const { return slot_; }
    std::string slotName() const { return slot_.toStdString(); }
    // The context's game folder; throws as readGameFolder does when there is none.
    std::string gameFolder() const;

    // The main window hands over its slot once the window has loaded; later actions of the
    // window use it. The window is not loaded again.
    void receiveSlot(const QString& slot);

    // A hidden box named `name` that always shows slot(), for those who look for the control
    // (tests, and the names the windows have always had); the window never reads it.
    QLineEdit* keepSlotBox(const QString& name = QStringLiteral("hid"));

protected:
    // Takes the context's current slot again: as a window loads anew (a window that follows
    // the main window, say).
    void takeSlotFromContext();

    EditorContext& context_;

private:
    void setSlot(QString slot);

    QString slot_;
    QLineEdit* slotBox_ = nullptr;
};

// The window's status line (objectName "StatusLine"), made at the bottom of its layout on
// first use.
QLabel* statusLine(QWidget* window);
// Says `text` in the status line; a link to a folder goes away.
void showStatus(QWidget* window, const QString& text);
// Says `text` followed by the full path of the file written, with "Open folder" (objectName
// "OpenFolder") opening the folder that holds it: "Exported Axe to /home/me/hv/Axe.hve".
void showWrittenTo(QWidget* window, const QString& text, const std::filesystem::path& file);
// Opens a folder's address; by default the desktop's file manager. Tests replace it.
void setFolderOpener(std::function<void(const QUrl&)> open);

// Call once the window is built: Esc closes it; with exactly one button whose caption starts
// with "Apply", that button is the default, Enter in a one-line box and Ctrl+S press it; every
// box, combo and list captioned by a label gets the caption as its accessible name.
// Returns the window.
QWidget* setUpToolWindow(QWidget* window);

} // namespace hv::ui
