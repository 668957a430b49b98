#pragma once

// What every tool window shares at its edges: a status line at the bottom that says, in a
// player's words, what the last change did and how to undo it; the keys (Esc closes, Enter in
// a box and Ctrl+S press the window's one apply button); and accessible names from the
// captions, so a screen reader announces a box by what it is for rather than by its value.

#include <QString>

#include <filesystem>
#include <functional>

class QLabel;
class QUrl;
class QWidget;

namespace hv::ui {

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
