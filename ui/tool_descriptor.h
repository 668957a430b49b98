#pragma once

// What the main window needs to know of a tool window: its name and caption, how it is
// opened, how a change of slot treats it, and how it is built. Each subsystem exports a table
// of these, written with designated initializers; the main window builds its buttons and menu
// and the slot hand-over from the tables, and orders them by the lists in app/tool_table.cpp.

#include <functional>
#include <span>

class QWidget;

namespace hv::ui {

class EditorContext;

// Builds a loaded, top-level window for the context's slot; the caller shows it.
using ToolFactory = std::function<QWidget*(EditorContext&)>;

struct ToolDescriptor {
    enum class Opener { Button, Menu };

    const char* window;     // the window's object name, e.g. "save"
    const char* caption;    // its title bar
    Opener opener;          // a button of the main window or an item of its menu bar
    const char* openerName; // object name of that button or menu item
    const char* openerText; // its text
    bool receivesSlot;      // the main window hands the window its slot on opening (receiveSlot)
    QWidget* (*create)(EditorContext&); // builds and loads the window
};

using ToolTable = std::span<const ToolDescriptor>;

// The descriptor's window.
QWidget* createTool(const ToolDescriptor& tool, EditorContext& context);

} // namespace hv::ui
