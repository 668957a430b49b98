#pragma once

// The tool windows that the main window opens, by window name, and how each is built.

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace hv::ui {

class EditorContext;

// Builds a loaded, top-level window for the context's slot; the caller shows it.
using ToolFactory = std::function<QWidget*(EditorContext&)>;

// Every tool window name, in the order of the main window's buttons and menu.
const QStringList& toolWindowNames();

// The window's title bar text.
QString toolCaption(const QString& name);

// The tools whose hidden `hid` the main window fills after showing them.
bool receivesSlot(const QString& name);

// The factory used unless a test installs another one.
ToolFactory defaultToolFactory(const QString& name);

} // namespace hv::ui
