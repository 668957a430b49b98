#pragma once

// What every tool window needs from the application: the working folder (where exported
// files and pages go), the settings folder (where options.dat lives), the game folder and
// slot it works on, and a way to tell the user things.

#include <QObject>
#include <QPointer>
#include <QString>

#include <exception>
#include <filesystem>
#include <functional>
#include <string>

class QWidget;

namespace hv::ui {

class EditorContext {
public:
    virtual ~EditorContext() = default;
    virtual std::filesystem::path workDir() const = 0;
    // options.dat and the editor's own "temp" and "arrange.tmp" (see optionsFolder).
    virtual std::filesystem::path settingsDir() const { return workDir(); }
    // The slot the window works on, "save1" to "save4": the main window's `hid` when the
    // window loaded.
    virtual QString currentSlot() const = 0;
    // The game folder the window works on; throws as readGameFolder does when there is none.
    // By default options.dat read now; a window opened from the main window keeps the folder
    // the main window had when the window loaded, whatever options.dat says later.
    virtual std::string gameFolder() const;
    // Closes the main window and loads it afresh (after the slot names have changed): slot
    // names re-read, "save1" in use, the slot windows closed.
    virtual void reloadMainWindow() {}
    // For a window that shows the main window's slot rather than its own: `changed` runs
    // whenever the main window's game folder or slot has changed, with currentSlot() and
    // gameFolder() then giving the new ones, until `receiver` is destroyed.
    virtual void followMainWindow(QObject* receiver, std::function<void()> changed);
};

// The game folder the context's window works on.
std::string gameFolder(const EditorContext& context);

// The context of one tool window opened from the main window: the main window's game folder
// and slot taken once, as the window loads, so that every later read and write of the window
// goes to the files it showed, even after options.dat names another game. A child of the
// window, so that it lives as long as the window.
class PinnedContext : public QObject, public EditorContext {
    Q_OBJECT
public:
    explicit PinnedContext(EditorContext& main);

    std::filesystem::path workDir() const override { return main_.workDir(); }
    std::filesystem::path settingsDir() const override { return main_.settingsDir(); }
    QString currentSlot() const override { return slot_; }
    std::string gameFolder() const override;
    void reloadMainWindow() override { main_.reloadMainWindow(); }
    void followMainWindow(QObject* receiver, std::function<void()> changed) override;

    // Adopted by the window built with it; the window shows `namedNow` (the folder options.dat
    // names now, empty for none) beside its caption when that is not the window's own folder.
    void adopt(QWidget* window, const std::string& namedNow);
    void showFolderNamed(const std::string& namedNow);

private:
    void pin();

    EditorContext& main_;
    QString slot_;
    std::string folder_;
    std::exception_ptr folderError_;
    QPointer<QWidget> window_;
    QString caption_;
    bool marked_ = false;
};

// A window's caption followed by the game folder it works on, as a window shows it once
// options.dat names another game.
QString captionWithFolder(const QString& caption, const std::string& folder);

} // namespace hv::ui
