#include "file_watch.h"

#include "byte_text.h"
#include "file_path.h"
#include "messages.h"
#include "tool_window.h"

#include "gamefiles/game_folder.h"
#include "gamefiles/temp_rewrite.h"

#include <QFile>
#include <QFileSystemWatcher>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

#include <fstream>
#include <map>
#include <set>
#include <system_error>
#include <utility>

namespace hv::ui {
namespace {

namespace fs = std::filesystem;

const QString kOutside = QStringLiteral("This file was changed outside the editor.");
const QString kOtherWindow = QStringLiteral("This file was changed in another window.");

// "the roster of Save 1 (yourfed.hv1)": how a player knows the file.
QString playerName(const fs::path& file) {
    return QFile::decodeName(QByteArray::fromStdString(playerFileName(file)));
}

} // namespace

FileWatch::FileWatch(QWidget* window, std::function<void()> reload)
    : QObject(window), reload_(std::move(reload)), window_(window) {
    watches().push_back(this);
    auto* frame = new QFrame(window);
    frame->setObjectName(QStringLiteral("OutsideChangeBar"));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setAutoFillBackground(true);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, QColor(255, 243, 205));
    palette.setColor(QPalette::WindowText, QColor(60, 45, 0));
    frame->setPalette(palette);
    text_ = new QLabel(kOutside, frame);
    text_->setObjectName(QStringLiteral("OutsideChangeText"));
    auto* button = new QPushButton(QStringLiteral("Reload"), frame);
    button->setObjectName(QStringLiteral("Reload"));
    connect(button, &QPushButton::clicked, this, [this] { reload_(); });
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(8, 4, 4, 4);
    layout->addWidget(text_, 1);
    layout->addWidget(button);
    frame->hide();
    bar_ = frame;

    watcher_ = new QFileSystemWatcher(this);
    // A file replaced by a rename (as every safe save does) is reported as removed and drops
    // out of the watch, so the folders are watched too and the files are added again.
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] { check(); });
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { check(); });
}

FileWatch::~FileWatch() {
    std::erase(watches(), this);
}

FileWatch::Stamp FileWatch::stampOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return {};
    StateHasher hasher;
    std::string buffer(std::size_t{1} << 16, '\0');
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        hasher.add(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())));
    }
    if (in.bad())
        return {};
    return {true, hasher.state()};
}

std::map<QString, FileWatch::Stamp>& FileWatch::editorWrites() {
    static std::map<QString, Stamp> writes;
    return writes;
}

std::vector<FileWatch::Stamp>& FileWatch::restoredStamps() {
    static std::vector<Stamp> stamps;
    return stamps;
}

std::vector<FileWatch*>& FileWatch::watches() {
    static std::vector<FileWatch*> all;
    return all;
}

void FileWatch::noteRestored(const std::vector<fs::path>& files) {
    auto& stamps = restoredStamps();
    for (const fs::path& file : files) {
        const Stamp now = stampOf(file);
        if (now.exists)
            stamps.push_back(now);
    }
    // Only recent ones matter: an older restore's files have been read or written since.
    if (stamps.size() > 256)
        stamps.erase(stamps.begin(), stamps.end() - 256);
    // A reload may open or close windows: walk a copy.
    const std::vector<FileWatch*> all = watches();
    for (FileWatch* watch : all)
        if (std::ranges::find(watches(), watch) != watches().end())
            watch->check();
}

bool FileWatch::writtenByEditor(const QString& file, const Stamp& now) {
    const auto& writes = editorWrites();
    const auto found = writes.find(file);
    return found != writes.end() && found->second == now;
}

void FileWatch::track(const std::vector<fs::path>& files) {
    std::vector<FileRead> read;
    for (const fs::path& file : files) {
        const Stamp now = stampOf(file);
        read.push_back({file, now.state});
    }
    track(read);
}

void FileWatch::track(const std::vector<FileRead>& files) {
    files_.clear();
    since_ = replacedMark();
    for (const FileRead& read : files)
        files_.push_back({read.file, pathText(read.file), Stamp{true, read.state}});
    if (const QStringList old = watcher_->files() + watcher_->directories(); !old.isEmpty())
        watcher_->removePaths(old);
    std::set<QString> folders;
    for (const Tracked& t : files_)
        folders.insert(pathText(t.file.parent_path()));
    for (const QString& folder : folders)
        if (!folder.isEmpty())
            watcher_->addPath(folder);
    rewatch();
    bar_->hide();
    text_->setText(kOutside);
}

void FileWatch::rewatch() {
    const QStringList watched = watcher_->files();
    for (const Tracked& t : files_)
        if (!watched.contains(t.watched) && QFile::exists(t.watched))
            watcher_->addPath(t.watched);
}

void FileWatch::noteWritten() {
    const std::vector<fs::path> replaced = replacedSince(since_);
    const std::size_t mark = since_;
    since_ = replacedMark();
    QStringList saved;
    for (Tracked& t : files_) {
        std::error_code ec;
        if (std::ranges::any_of(replaced,
                                [&](const fs::path& r) { return fs::equivalent(r, t.file, ec); }))
            saved.append(playerName(t.file));
        // What the window's own rewrite hashed as it wrote is what the file holds now; only
        // a file written some other way is read again.
        if (const auto written = writtenSince(mark, t.file))
            t.stamp = {true, *written};
        else
            t.stamp = stampOf(t.file);
        editorWrites()[t.watched] = t.stamp;
    }
    // Every write of a window passes here: the window says what it saved and the way back,
    // or that the change changed no byte and so wrote nothing.
    if (replaced.empty())
        showStatus(window_, QStringLiteral("Nothing changed"));
    else if (!saved.isEmpty())
        showStatus(window_, QStringLiteral("Saved %1. Undo with Restore...")
                                .arg(saved.join(QStringLiteral(" and "))));
}

void FileWatch::check() {
    rewatch();
    bool changed = false, outside = false, restored = true;
    for (const Tracked& t : files_) {
        const Stamp now = stampOf(t.file);
        if (now == t.stamp)
            continue;
        changed = true;
        // Told by the bytes themselves (size and hash), whatever spelling named the file.
        const bool byRestore = std::ranges::find(restoredStamps(), now) != restoredStamps().end();
        restored = restored && byRestore;
        outside = outside || !(byRestore || writtenByEditor(t.watched, now));
    }
    if (changed && restored && !(edited_ && edited_()))
        reload_();
    else if (changed)
        showBar(!outside);
}

void FileWatch::showBar(bool byEditor) {
    // A change from outside stays announced as such until the window reloads.
    if (!byEditor || bar_->isHidden())
        text_->setText(byEditor ? kOtherWindow : kOutside);
    bar_->show();
}

bool FileWatch::confirmWrite(const QString& title) {
    QStringList newer;
    bool outside = false;
    for (const Tracked& t : files_) {
        const Stamp now = stampOf(t.file);
        if (now == t.stamp)
            continue;
        newer.append(playerName(t.file));
        outside = outside || !writtenByEditor(t.watched, now);
    }
    if (newer.isEmpty())
        return true;
    showBar(!outside);
    QString text = newer.join(QStringLiteral(" and "));
    text[0] = text[0].toUpper();
    return askYesNo(
        window_, title,
        text + QStringLiteral(" changed on disk after this window read %1. Write over "
                              "the newer %2 anyway?")
                   .arg(newer.size() == 1 ? QStringLiteral("it") : QStringLiteral("them"),
                        newer.size() == 1 ? QStringLiteral("file") : QStringLiteral("files")));
}

bool FileWatch::writeMerged(QWidget* parent, const QString& title,
                            const std::function<void()>& change,
                            const std::function<void(const Conflict&)>& rebase,
                            const FieldWord& field, const ValueWord& value) {
    for (;;) {
        std::vector<Conflict> conflicts;
        since_ = replacedMark();
        const bool ran = runReported(parent, title, [&] {
            try {
                change();
            } catch (const ConflictError& e) {
                conflicts = e.conflicts();
            }
        });
        if (!ran)
            return false;
        if (conflicts.empty()) {
            noteWritten();
            return true;
        }
        for (const Conflict& c : conflicts) {
            const QString question =
                QStringLiteral("%1 was changed in the file to \"%2\" since you opened it; you "
                               "typed \"%3\". Write yours?")
                    .arg(field ? field(c) : toQt(c.field), value ? value(c, c.now) : toQt(c.now),
                         value ? value(c, c.mine) : toQt(c.mine));
            if (!askYesNo(parent, title, question))
                return false;
        }
        for (const Conflict& c : conflicts)
            rebase(c);
    }
}

bool FileWatch::writeFresh(QWidget* parent, const QString& title,
                           const std::function<void()>& change) {
    since_ = replacedMark();
    const bool written = runReported(parent, title, change);
    if (written)
        noteWritten();
    return written;
}

} // namespace hv::ui
