#pragma once

// Watches the game files a window shows. When one changes on disk by another hand than the
// window's own (the game saved while the editor was open), a bar at the top of the window says
// so and offers "Reload". Files are told apart by their size and a hash of their bytes: what the
// window read (stamped from the very bytes it read, so that a save just after the read is not
// taken as seen) or last wrote, so the window's own writes stay quiet and a change that keeps
// the size and puts the time back is still noticed. A restore made in the editor puts back
// files under every open window: those with nothing typed reload at once.

#include "gamefiles/merge.h"
#include "gamefiles/restore.h"

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <map>
#include <vector>

class QFileSystemWatcher;
class QLabel;
class QWidget;

namespace hv::ui {

class FileWatch : public QObject {
    Q_OBJECT
public:
    // `reload` re-reads the window's files (and calls track() with them).
    FileWatch(QWidget* window, std::function<void()> reload);
    ~FileWatch() override;

    // The bar, hidden until a file changes: put it at the top of the window's layout.
    QWidget* bar() const { return bar_; }

    // A file as the window read it.
    struct FileRead {
        std::filesystem::path file;
        FileState state; // from the bytes read
    };
    // The window has just read these files: they are what it shows now. Hides the bar.
    void track(const std::vector<FileRead>& files);
    // As above, for a window whose reads do not tell what they read: the files are read now.
    void track(const std::vector<std::filesystem::path>& files);
    // Whether the window holds typed edits: a restore then shows the bar instead of reloading.
    void setEdited(std::function<bool()> edited) { edited_ = std::move(edited); }
    // The window has just written some of its files: their new state is its own, and other
    // windows that show them learn that the change came from the editor. The status line names
    // the files replaced since the window last read or wrote them, or says "Nothing changed"
    // when none was.
    void noteWritten();
    // Before a write: true when the files are still as the window shows them, or when the
    // user chooses to write over the newer files anyway. `title` captions the question.
    bool confirmWrite(const QString& title);
    // A window's write: `change` with any failure reported under `title`, then noteWritten()
    // when it succeeded. For a change that reads the file again and touches only what it names
    // (add, delete, heal), so a newer file loses nothing to it. True when the change ran.
    bool writeFresh(QWidget* parent, const QString& title, const std::function<void()>& change);
    // A window's write of the fields the user edited, merged into the file under the lock (see
    // gamefiles/merge.h). Where a field was changed both here and in the file the user is
    // asked about each one, naming both values: "Yes" to every one calls `rebase` with each
    // (the box takes the file's value as its base, keeping what was typed) and writes again,
    // merged afresh, so a file that moved once more asks again; a "No" writes nothing. True
    // when the change ran.
    // `field` names a conflict's field and `value` shows a value of it as the window shows it
    // (a code as its word, say); by default the operation's caption and the bytes.
    using FieldWord = std::function<QString(const Conflict&)>;
    using ValueWord = std::function<QString(const Conflict&, const std::string&)>;
    bool writeMerged(QWidget* parent, const QString& title, const std::function<void()>& change,
                     const std::function<void(const Conflict&)>& rebase,
                     const FieldWord& field = {}, const ValueWord& value = {});

    // The editor has just put these files back from a restore point: every window that shows
    // one of them, and has nothing typed (setEdited), reloads now.
    static void noteRestored(const std::vector<std::filesystem::path>& files);

private:
    struct Stamp {
        bool exists = false;
        FileState state;
        bool operator==(const Stamp& other) const {
            return exists == other.exists && (!exists || state == other.state);
        }
    };
    struct Tracked {
        std::filesystem::path file;
        QString watched; // the path as the watcher knows it
        Stamp stamp;
    };
    static Stamp stampOf(const std::filesystem::path& file);
    // What this editor last wrote to each file, from any window.
    static std::map<QString, Stamp>& editorWrites();
    // Whether the file's present state was written by this editor (another window of it).
    static bool writtenByEditor(const QString& file, const Stamp& now);
    // What the editor's restores left in the files they put back, and the open watches.
    static std::vector<Stamp>& restoredStamps();
    static std::vector<FileWatch*>& watches();
    void check();
    void rewatch();
    void showBar(bool byEditor);

    std::size_t since_ = 0; // replacedMark() when the window last read or wrote
    std::function<void()> reload_;
    std::function<bool()> edited_;
    QWidget* window_ = nullptr;
    QWidget* bar_ = nullptr;
    QLabel* text_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    std::vector<Tracked> files_;
};

} // namespace hv::ui
