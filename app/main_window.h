#pragma once

// The main window `MAin`: chooses the save slot, keeps it in the hidden box `hid`, and
// opens every tool window.

#include "ui/editor_context.h"
#include "ui/tool_descriptor.h"
#include "ui/window_registry.h"

#include <QMainWindow>

#include <array>
#include <filesystem>
#include <map>

class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace hv::ui {

class MainWindow : public QMainWindow, public EditorContext {
    Q_OBJECT
public:
    // options.dat lives in `settingsDir`, exported files and pages go to `workDir` (by
    // default the same folder); the window loads at once.
    explicit MainWindow(std::filesystem::path settingsDir, std::filesystem::path workDir = {},
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    std::filesystem::path workDir() const override { return workDir_; }
    std::filesystem::path settingsDir() const override { return settingsDir_; }
    QString currentSlot() const override;
    void reloadMainWindow() override { reload(); }

    // Loads the window afresh, as closing and reopening it would: slot names re-read,
    // "save1" in use, the slot-dependent windows closed. Shows the window if it was closed.
    void reload();

    // Shows the window at start-up, keeping the folder chooser in front if the load
    // opened it.
    void showAtStart();

    // Opens a tool (or brings it forward) as its button or menu item does.
    QWidget* openTool(const QString& name);
    QWidget* openFolderChooser();

    WindowRegistry& windows() { return registry_; }
    // Replaces how one tool window is built (tests).
    void setToolFactory(const QString& name, ToolFactory factory);
    // The windows a change of slot closes, in the order it closes them.
    static QStringList slotWindows();

private:
    void buildUi();
    void showAbout();
    void load();
    void showLoadFailure(const QString& reason);
    void selectSaveSlot();

    std::filesystem::path settingsDir_;
    std::filesystem::path workDir_;
    WindowRegistry registry_;
    std::map<QString, ToolFactory> factoryOverrides_;
    QGroupBox* frame_ = nullptr;
    std::array<QRadioButton*, 4> options_{};
    QLineEdit* hid_ = nullptr;
};

} // namespace hv::ui
