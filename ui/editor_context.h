#pragma once

// What every tool window needs from the application: the working folder (where exported
// files and pages go), the settings folder (where options.dat lives), the slot in use as the
// main window holds it, and a way to tell the user things.

#include <QString>

#include <filesystem>
#include <string>

class QWidget;

namespace hv::ui {

class EditorContext {
public:
    virtual ~EditorContext() = default;
    virtual std::filesystem::path workDir() const = 0;
    // options.dat and the editor's own "temp" and "arrange.tmp" (see optionsFolder).
    virtual std::filesystem::path settingsDir() const { return workDir(); }
    // The main window's `hid`: "save1" to "save4".
    virtual QString currentSlot() const = 0;
    // Closes the main window and loads it afresh (after the game folder or the slot names
    // have changed): slot names re-read, "save1" in use, the slot windows closed.
    virtual void reloadMainWindow() {}
};

// Game folder from options.dat, read afresh for every operation.
std::string gameFolder(const EditorContext& context);

} // namespace hv::ui
