#pragma once

// Small pieces the roster windows share.

#include "roster_ops.h"

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QWidget;

namespace hv::ui {
class EditorContext;
}

namespace hv::roster {

// The roster of `slot` in the game folder named by options.dat (read now).
RosterFile rosterFileFor(const hv::ui::EditorContext& context, const QString& slot);

QStringList toQtList(const std::vector<std::string>& names);

// Replaces the list's items in one go, leaving nothing selected.
void refill(QListWidget* list, const QStringList& names);

// Selects the first item with exactly this text, if there is one.
void selectFirst(QListWidget* list, const QString& text);

// Every run of line breaks (CR, LF and the Unicode line and paragraph separators) as one
// blank.
QString joinLineBreaks(QString text);

// A typed or pasted line break becomes a blank at once, so the box never holds one.
void keepOnOneLine(QLineEdit* box);

// A hidden text box, as the windows use to carry state.
QLineEdit* hiddenBox(QWidget* parent, const QString& name, const QString& text = {});

} // namespace hv::roster
