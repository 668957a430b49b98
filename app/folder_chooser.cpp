#include "folder_chooser.h"

#include "gamefiles/options.h"
#include "gamefiles/system_path.h"
#include "ui/byte_text.h"
#include "ui/messages.h"
#include "ui/tool_window.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace fs = std::filesystem;

namespace hv::app {

using namespace hv::ui;
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndentStep = 16;

// Indents each folder by its depth, icon included, as a classic folder list does.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(indented.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += indent(index);
        return size;
    }

private:
    static int indent(const QModelIndex& index) {
        return index.data(kDepthRole).toInt() * kIndentStep;
    }
};

// Paths are UTF-16 on Windows and bytes elsewhere; a list item keeps the native form, so
// that any folder the system can name is reached again exactly.
#ifdef _WIN32
QVariant pathData(const fs::path& path) {
    return QString::fromStdWString(path.native());
}
fs::path pathFromData(const QVariant& data) {
    return fs::path(data.toString().toStdWString());
}
QString pathText(const fs::path& path) {
    return QString::fromStdWString(path.native());
}
// A path Qt gives (a volume root, the home folder), which spells separators as "/".
fs::path pathFromQt(const QString& path) {
    return fs::path(QDir::toNativeSeparators(path).toStdWString());
}
#else
QVariant pathData(const fs::path& path) {
    const std::string& s = path.native();
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}
fs::path pathFromData(const QVariant& data) {
    const QByteArray bytes = data.toByteArray();
    return fs::path(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}
QString pathText(const fs::path& path) {
    return toQt(path.native());
}
fs::path pathFromQt(const QString& path) {
    // Qt decoded the name from the file system's bytes; encodeName gives them back.
    return fs::path(QFile::encodeName(path).toStdString());
}
#endif

bool isDirectory(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool isWithin(const fs::path& folder, const fs::path& root) {
    auto f = folder.begin();
    for (auto r = root.begin(); r != root.end(); ++r, ++f) {
        if (r->empty())
            continue; // a trailing separator of the root
        if (f == folder.end() || *f != *r)
            return false;
    }
    return true;
}

fs::path homeFolder() {
#ifndef _WIN32
    if (const char* home = std::getenv("HOME"); home && *home)
        return tidyFolder(fs::path(home));
#endif
    return tidyFolder(pathFromQt(QDir::homePath()));
}

// Mounts that hold no user files.
bool isPseudoVolume(const QStorageInfo& volume, const fs::path& root) {
    static const std::set<QByteArray> pseudo = {
        "proc",    "sysfs",    "devtmpfs", "devpts",      "tmpfs",     "cgroup",     "cgroup2",
        "pstore",  "bpf",      "mqueue",   "hugetlbfs",   "debugfs",   "tracefs",    "securityfs",
        "fusectl", "configfs", "autofs",   "binfmt_misc", "efivarfs",  "nsfs",       "rpc_pipefs",
        "overlay", "squashfs", "ramfs",    "nfsd",        "selinuxfs", "fuse.portal"};
    if (pseudo.count(volume.fileSystemType()) > 0)
        return true;
    for (const char* system : {"/proc", "/sys", "/dev", "/run", "/snap", "/boot/efi"}) {
        if (isWithin(root, fs::path(system)))
            return true;
    }
    return false;
}

QStringList sortedSubfolders(const fs::path& folder, std::vector<fs::path>& paths) {
    using Name = fs::path::string_type;
    std::vector<Name> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (isDirectory(it->path()))
            names.push_back(it->path().filename().native());
    }
    // Case-insensitive, hidden folders after the others.
    auto key = [](const Name& name) {
        Name lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](fs::path::value_type c) {
            return static_cast<fs::path::value_type>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        });
        return std::make_pair(!name.empty() && name[0] == '.', lower);
    };
    std::sort(names.begin(), names.end(),
              [&](const Name& a, const Name& b) { return key(a) < key(b); });
    QStringList shown;
    for (const Name& name : names) {
        paths.push_back(folder / name);
        shown << pathText(name);
    }
    return shown;
}

} // namespace

fs::path startingFolder(const std::string& configured, const fs::path& workDir,
                        const fs::path& home) {
    if (!configured.empty()) {
        for (fs::path candidate = tidyFolder(pathFromBytes(configured), workDir);;
             candidate = candidate.parent_path()) {
            if (isDirectory(candidate))
                return candidate;
            if (candidate == candidate.parent_path())
                break;
        }
    }
    return isDirectory(home) ? home : fs::path("/");
}

FolderChooser::FolderChooser(fs::path workDir, std::function<void()> afterMove, QWidget* parent)
    : QWidget(parent), workDir_(std::move(workDir)), afterMove_(std::move(afterMove)) {
    setObjectName(QStringLiteral("pathfind"));
    setWindowTitle(QStringLiteral("Set Path of Halvorn"));

    auto* layout = new QVBoxLayout(this);
    drive1_ = new QComboBox(this);
    drive1_->setObjectName(QStringLiteral("Drive1"));
    layout->addWidget(drive1_);

    shownPath_ = new QLineEdit(this);
    shownPath_->setObjectName(QStringLiteral("currentPath"));
    shownPath_->setReadOnly(true);
    shownPath_->setToolTip(QStringLiteral("The folder written as the game folder"));
    layout->addWidget(shownPath_);

    dir1_ = new QListWidget(this);
    dir1_->setObjectName(QStringLiteral("Dir1"));
    dir1_->setItemDelegate(new IndentDelegate(dir1_));
    dir1_->setMinimumHeight(220);
    layout->addWidget(dir1_, 1);

    label1_ = new QLabel(QStringLiteral("Simply close the window when done."), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(label1_);

    text1_ = new QLineEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->hide();

    // Volumes first (on Windows the drive letters, elsewhere "/" leading), then the home
    // folder.
#ifndef _WIN32
    drives_.push_back({QStringLiteral("/"), fs::path("/")});
#endif
    std::vector<Drive> volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const fs::path root = tidyFolder(pathFromQt(volume.rootPath()));
        if (root == fs::path("/") || isPseudoVolume(volume, root) || !isDirectory(root))
            continue;
        QString label = pathText(root);
        if (!volume.name().isEmpty())
            label += QStringLiteral("  (%1)").arg(volume.name());
        volumes.push_back({label, root});
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const Drive& a, const Drive& b) { return a.root < b.root; });
    volumes.erase(std::unique(volumes.begin(), volumes.end(),
                              [](const Drive& a, const Drive& b) { return a.root == b.root; }),
                  volumes.end());
    drives_.insert(drives_.end(), volumes.begin(), volumes.end());
    const fs::path home = homeFolder();
    drives_.push_back({QStringLiteral("Home folder  %1").arg(pathText(home)), home});
    for (const Drive& drive : drives_)
        drive1_->addItem(drive.label);

    // Load: start where options.dat points, or as near to it as exists. Nothing is written
    // until the user moves.
    std::string configured;
    try {
        configured = readGameFolder(workDir_);
    } catch (const std::exception&) {
        // No usable options.dat yet (first run): the user picks the folder here.
    }
    setNamed(toQt(configured));
    showFolder(startingFolder(configured, workDir_, home));
    syncDrive();

    connect(drive1_, &QComboBox::activated, this, &FolderChooser::onDriveChosen);
    connect(dir1_, &QListWidget::itemActivated, this, &FolderChooser::onFolderActivated);

    dir1_->setFocus();
    resize(440, 400);
    setUpToolWindow(this); // Esc closes it, as it does every tool window
}

void FolderChooser::showFolder(const fs::path& folder) {
    folder_ = folder;
    shownPath_->setText(pathText(folder_));
    shownPath_->setCursorPosition(0);

    std::vector<fs::path> chain;
    for (fs::path p = folder_;; p = p.parent_path()) {
        chain.push_back(p);
        if (p == p.parent_path())
            break;
    }
    std::reverse(chain.begin(), chain.end());

    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
    auto addItem = [this](const QIcon& icon, const QString& text, const fs::path& path, int depth) {
        auto* item = new QListWidgetItem(icon, text, dir1_);
        item->setData(kPathRole, pathData(path));
        item->setData(kDepthRole, depth);
        return item;
    };

    dir1_->clear();
    int depth = 0;
    QListWidgetItem* current = nullptr;
    for (const fs::path& ancestor : chain) {
        const QString text =
            ancestor == ancestor.root_path() ? pathText(ancestor) : pathText(ancestor.filename());
        current = addItem(open, text, ancestor, depth++);
    }
    QFont bold = current->font();
    bold.setBold(true);
    current->setFont(bold);

    std::vector<fs::path> paths;
    const QStringList names = sortedSubfolders(folder_, paths);
    for (qsizetype i = 0; i < names.size(); ++i)
        addItem(closed, names[i], paths[static_cast<std::size_t>(i)], depth);

    dir1_->setCurrentItem(current);
    dir1_->scrollToItem(current);
}

void FolderChooser::syncDrive() {
    int best = -1;
    std::size_t bestLength = 0;
    for (std::size_t i = 0; i < drives_.size(); ++i) {
        const std::size_t length = drives_[i].root.native().size();
        if (isWithin(folder_, drives_[i].root) && (best < 0 || length > bestLength)) {
            best = static_cast<int>(i);
            bestLength = length;
        }
    }
    const QSignalBlocker block(drive1_);
    drive1_->setCurrentIndex(best);
}

void FolderChooser::moveTo(const fs::path& folder) {
    const fs::path target = tidyFolder(folder);
    if (target == folder_)
        return;
    const fs::path previous = folder_;
    showFolder(target);
    syncDrive();
    if (!onDirChange()) {
        // A folder that cannot be stored is not entered: the list stays on the folder that
        // options.dat still names, so what the chooser shows is what the editor uses.
        showFolder(previous);
        syncDrive();
    }
}

void FolderChooser::onDriveChosen(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < drives_.size())
        moveTo(drives_[static_cast<std::size_t>(index)].root);
}

void FolderChooser::onFolderActivated(QListWidgetItem* item) {
    if (item)
        moveTo(pathFromData(item->data(kPathRole)));
}

bool FolderChooser::onDirChange() {
    // A move writes the folder options.dat names before the main window reads it again. The
    // same folder again needs nothing written.
    const QString before = named_;
    const QString now = pathText(folder_);
    if (now != before) {
        setNamed(now);
        if (!storeFolder()) {
            setNamed(before);
            return false;
        }
        showStatus(this, QStringLiteral("The editor now reads the game in %1.").arg(now));
    }
    if (afterMove_)
        afterMove_();
    return true;
}

bool FolderChooser::storeFolder() {
    return runReported(this, windowTitle(), [&] {
        changeGameFolder(workDir_, fromQtOrRefuse(named_, QStringLiteral("game folder")));
    });
}

void FolderChooser::setNamed(const QString& folder) {
    named_ = folder;
    text1_->setText(folder);
}

} // namespace hv::app
