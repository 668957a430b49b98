#pragma once

// Small pieces the tool windows share.

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QWidget;

namespace hv::ui {

class FilteredList;

QStringList toQtList(const std::vector<std::string>& names);

// Replaces the list's items in one go, leaving nothing selected.
void refill(QListWidget* list, const QStringList& names);
void refill(FilteredList* list, const QStringList& names);

// Selects the first item shown with exactly this text, if there is one.
void selectFirst(QListWidget* list, const QString& text);
void selectFirst(FilteredList* list, const QString& text);

// Every run of line breaks (CR, LF and the Unicode line and paragraph separators) as one
// blank.
QString joinLineBreaks(const QString& text);

// A typed or pasted line break becomes a blank at once, so the box never holds one.
void keepOnOneLine(QLineEdit* box);

// The text of a multi-line box with every character as it was set or typed, paragraphs
// separated by U+2029. (toPlainText() turns a no-break space, byte 0xA0, into a blank.)
QString rawText(const QPlainTextEdit* box);

// A hidden text box, as the windows use to carry state.
QLineEdit* hiddenBox(QWidget* parent, const QString& name, const QString& text = {});

} // namespace hv::ui
