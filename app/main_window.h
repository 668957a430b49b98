#pragma once

// The main window `MAin`: chooses the save slot, keeps it in the hidden box `hid`, and
// opens every tool window.

#include "ui/editor_context.h"
#include "ui/tool_descriptor.h"
#include "ui/window_registry.h"

#include <QMainWindow>

#include <array>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

class QFileSystemWatcher;
class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace hv::app {

class MainWindow : public QMainWindow, public ui::EditorContext {
    Q_OBJECT
public:
    // options.dat lives in `settingsDir`, exported files and pages go to `workDir` (by
    // default the same folder); the window loads at once.
    explicit MainWindow(std::filesystem::path settingsDir, std::filesystem::path workDir = {},
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    std::filesystem::path workDir() const override { return workDir_; }
    std::filesystem::path settingsDir() const override { return settingsDir_; }
    QString currentSlot() const override { return slot_; }
    // The folder options.dat named at the last load that read it; the tools open on it.
    std::string gameFolder() const override;
    // A tool's reload keeps the game folder: a game named in options.dat from outside (by
    // `hv game-folder set`) is taken only by the folder chooser or a new start.
    void reloadMainWindow() override { load(false); }
    void followMainWindow(QObject* receiver, std::function<void()> changed) override;

    // Loads the window afresh, as closing and reopening it would: game folder and slot names
    // re-read, "save1" in use, the slot-dependent windows closed, and every tool window closed
    // when the game folder is another. Shows the window if it was closed.
    void reload();

    // Shows the window at start-up, keeping the folder chooser in front if the load
    // opened it.
    void showAtStart();

    // Opens a tool (or brings it forward) as its button or menu item does.
    QWidget* openTool(const QString& name);
    QWidget* openFolderChooser();

    ui::WindowRegistry& windows() { return registry_; }
    // Replaces how one tool window is built (tests).
    void setToolFactory(const QString& name, ui::ToolFactory factory);
    // The windows a change of slot closes, in the order it closes them.
    static QStringList slotWindows();

private:
    void buildUi();
    void showAbout();
    void load(bool readOptions);
    void showLoadFailure(const QString& reason);
    void selectSaveSlot();
    void watchOptions();
    // Marks the windows (this one included) whose game folder options.dat no longer names.
    void showFolderNamed();

    std::filesystem::path settingsDir_;
    std::filesystem::path workDir_;
    ui::WindowRegistry registry_;
    std::map<QString, ui::ToolFactory> factoryOverrides_;
    QGroupBox* frame_ = nullptr;
    std::array<QRadioButton*, 4> options_{};
    QLineEdit* hid_ = nullptr;
    QString slot_;
    std::string folder_;
    std::exception_ptr folderError_;
    bool loaded_ = false;
    // What the followers were last told of.
    std::pair<std::string, QString> followed_;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> followers_;
    std::vector<QPointer<ui::PinnedContext>> pinned_;
    QFileSystemWatcher* optionsWatch_ = nullptr;
};

} // namespace hv::app
