#include "main_window.h"

#include "folder_chooser.h"
#include "tool_table.h"

#include "gamefiles/options.h"
#include "gamefiles/slot_names.h"
#include "ui/byte_text.h"
#include "ui/file_path.h"
#include "ui/messages.h"
#include "ui/tool_window.h"

#include "hv_version.h"

#include <QButtonGroup>
#include <QFileSystemWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTime>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace hv::app {

using namespace hv::ui;
namespace {

const QString kFrameCaption = QStringLiteral("Select Save File to edit");
const QString kPathIncorrect = QStringLiteral("Path is incorrect.");
const QString kChooserName = QStringLiteral("pathfind");

using Opener = ToolDescriptor::Opener;

// A slot name is shown as typed; "&" would otherwise turn into a keyboard shortcut.
QString asButtonText(const QString& text) {
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// Trading draws random numbers; the generator is seeded at every load from the seconds
// since midnight.
void seedRandom() {
    std::srand(static_cast<unsigned>(QTime::currentTime().msecsSinceStartOfDay() / 1000));
}

// A plain main window has no default-button handling: Enter on a focused button presses it,
// as Space does.
class EnterPresses : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button == nullptr || (key != Qt::Key_Return && key != Qt::Key_Enter))
            return false;
        button->click();
        return true;
    }
};

// The folder options.dat names now, empty when it names none.
std::string folderNamedNow(const std::filesystem::path& settingsDir) {
    try {
        return readGameFolder(settingsDir);
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

MainWindow::MainWindow(std::filesystem::path settingsDir, std::filesystem::path workDir,
                       QWidget* parent)
    : QMainWindow(parent), settingsDir_(std::move(settingsDir)),
      workDir_(workDir.empty() ? settingsDir_ : std::move(workDir)) {
    setObjectName(QStringLiteral("MAin"));
    setWindowTitle(QStringLiteral("Unofficial HV Editor"));
    buildUi();
    optionsWatch_ = new QFileSystemWatcher(this);
    connect(optionsWatch_, &QFileSystemWatcher::directoryChanged, this,
            [this] { showFolderNamed(); });
    load(true);
    // Room around the longest button captions, and for every menu item in one row.
    resize(sizeHint().expandedTo(QSize(std::max(360, menuBar()->sizeHint().width()), 0)));
}

// Tool windows ask this window for the slot; none may outlive it.
MainWindow::~MainWindow() {
    registry_.closeAll();
}

void MainWindow::buildUi() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    frame_ = new QGroupBox(kFrameCaption, central);
    frame_->setObjectName(QStringLiteral("Frame1"));
    auto* frameLayout = new QVBoxLayout(frame_);
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        auto* option = new QRadioButton(frame_);
        option->setObjectName(QStringLiteral("Option%1").arg(i + 1));
        frameLayout->addWidget(option);
        group->addButton(option, i);
        options_[static_cast<std::size_t>(i)] = option;
    }
    // Only a real change of slot counts, as with the original option buttons.
    connect(group, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            selectSaveSlot();
    });
    layout->addWidget(frame_);

    hid_ = new QLineEdit(QStringLiteral("Text1"), central);
    hid_->setObjectName(QStringLiteral("hid"));
    hid_->hide();

    // Two columns, row by row; a last button alone in its row spans both.
    auto* buttons = new QGridLayout;
    const auto tools = toolsOpenedBy(Opener::Button);
    auto* enter = new EnterPresses(this);
    for (std::size_t i = 0; i < tools.size(); ++i) {
        auto* button = new QPushButton(QString::fromLatin1(tools[i]->openerText), central);
        button->setObjectName(QString::fromLatin1(tools[i]->openerName));
        const QString window = QString::fromLatin1(tools[i]->window);
        connect(button, &QPushButton::clicked, this, [this, window] { openTool(window); });
        button->installEventFilter(enter);
        const int row = static_cast<int>(i / 2), column = static_cast<int>(i % 2);
        const bool alone = i + 1 == tools.size() && column == 0;
        buttons->addWidget(button, row, column, 1, alone ? 2 : 1);
    }
    buttons->setColumnStretch(0, 1);
    buttons->setColumnStretch(1, 1);
    layout->addLayout(buttons);
    layout->addStretch(1);
    setCentralWidget(central);

    QAction* phv = menuBar()->addAction(QStringLiteral("Set Path of HV"));
    phv->setObjectName(QStringLiteral("phv"));
    connect(phv, &QAction::triggered, this, [this] { openFolderChooser(); });
    for (const ToolDescriptor* tool : toolsOpenedBy(Opener::Menu)) {
        QAction* item = menuBar()->addAction(QString::fromLatin1(tool->openerText));
        item->setObjectName(QString::fromLatin1(tool->openerName));
        const QString window = QString::fromLatin1(tool->window);
        connect(item, &QAction::triggered, this, [this, window] { openTool(window); });
    }
    QAction* about = menuBar()->addAction(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("about"));
    connect(about, &QAction::triggered, this, [this] { showAbout(); });
}

void MainWindow::showAbout() {
    QMessageBox::about(this, QStringLiteral("About ") + windowTitle(),
                       QStringLiteral("<b>Unofficial HV Editor</b> %1<br><br>"
                                      "Edits the save slots of a Halvorn game folder. Every "
                                      "change keeps the files it replaces as a restore point "
                                      "(menu \"Restore...\").<br><br>"
                                      "The same operations from a terminal: <tt>hv --help</tt>.")
                           .arg(QStringLiteral(HV_VERSION)));
}

std::string MainWindow::gameFolder() const {
    if (folderError_)
        std::rethrow_exception(folderError_);
    return folder_;
}

void MainWindow::followMainWindow(QObject* receiver, std::function<void()> changed) {
    followers_.emplace_back(receiver, std::move(changed));
}

void MainWindow::load(bool readOptions) {
    seedRandom();

    if (readOptions || !loaded_) {
        const std::string before = folderError_ ? std::string() : folder_;
        folder_.clear();
        folderError_ = nullptr;
        try {
            folder_ = readGameFolder(settingsDir_);
        } catch (...) {
            folderError_ = std::current_exception();
        }
        // A window works on the game it showed: none stays open on another. The chooser
        // that made the change stays.
        if (loaded_ && (folderError_ ? std::string() : folder_) != before)
            for (const auto& tool : allTools())
                registry_.close(QString::fromLatin1(tool.window));
        loaded_ = true;
        watchOptions();
        showFolderNamed();
    }

    // A fresh load starts from the window's design state.
    frame_->setTitle(kFrameCaption);
    frame_->setToolTip({});
    for (std::size_t i = 0; i < options_.size(); ++i) {
        options_[i]->setText(QStringLiteral("Save%1").arg(i + 1));
        options_[i]->setEnabled(true);
    }

    try {
        const SaveSlotNames names = readSaveSlotNames(gameFolder());
        for (std::size_t i = 0; i < options_.size(); ++i) {
            options_[i]->setText(QStringLiteral("Save %1 : ").arg(i + 1) +
                                 asButtonText(toQt(names.names[i])));
            options_[i]->setEnabled(names.names[i] != kNoSavedGame);
        }
    } catch (const std::exception& e) {
        showLoadFailure(describeError(e));
    }

    // Slot 1 is in use after every load, even when it holds no saved game. Selecting it
    // closes the slot-dependent windows whether or not it was selected before.
    {
        const QSignalBlocker block(options_[0]->group());
        options_[0]->setChecked(true);
    }
    selectSaveSlot();
    hid_->setText(QStringLiteral("save1"));
}

void MainWindow::showLoadFailure(const QString& reason) {
    frame_->setTitle(kPathIncorrect);
    frame_->setToolTip(reason);
    for (QRadioButton* option : options_)
        option->setEnabled(false);
    openFolderChooser();
}

void MainWindow::selectSaveSlot() {
    for (std::size_t i = 0; i < options_.size(); ++i) {
        if (options_[i]->isChecked())
            slot_ = QStringLiteral("save%1").arg(i + 1);
    }
    hid_->setText(slot_);
    registry_.close(slotWindows());

    std::pair<std::string, QString> now{folderError_ ? std::string() : folder_, slot_};
    if (now == followed_)
        return;
    followed_ = std::move(now);
    std::erase_if(followers_, [](const auto& follower) { return follower.first.isNull(); });
    const auto followers = followers_; // a follower may open or close windows
    for (const auto& [receiver, changed] : followers)
        if (receiver)
            changed();
}

void MainWindow::watchOptions() {
    // options.dat is replaced by a rename: its folder tells.
    const QString dir = pathText(settingsDir_);
    std::error_code ec;
    if (!optionsWatch_->directories().contains(dir) &&
        std::filesystem::is_directory(settingsDir_, ec))
        optionsWatch_->addPath(dir);
}

void MainWindow::showFolderNamed() {
    const std::string named = folderNamedNow(settingsDir_);
    const QString caption = QStringLiteral("Unofficial HV Editor");
    setWindowTitle(!folderError_ && named != folder_ ? captionWithFolder(caption, folder_)
                                                     : caption);
    std::erase_if(pinned_, [](const auto& context) { return context.isNull(); });
    for (const auto& context : pinned_)
        context->showFolderNamed(named);
}

void MainWindow::reload() {
    load(true);
    if (!isVisible())
        show();
}

void MainWindow::showAtStart() {
    show();
    if (QWidget* chooser = registry_.find(kChooserName)) {
        chooser->raise();
        chooser->activateWindow();
    }
}

QWidget* MainWindow::openTool(const QString& name) {
    const ToolDescriptor* tool = findTool(name);
    if (!tool)
        return nullptr;
    auto override = factoryOverrides_.find(name);
    const ToolFactory factory =
        override != factoryOverrides_.end()
            ? override->second
            : ToolFactory([tool](EditorContext& context) { return createTool(*tool, context); });
    QWidget* window = nullptr;
    // A tool that cannot load its files says why instead of opening half-filled. It takes
    // the game folder and slot once, as it loads.
    runReported(this, windowTitle(), [&] {
        window = registry_.open(name, [this, &factory]() -> QWidget* {
            auto pinned = std::make_unique<PinnedContext>(*this);
            QWidget* made = factory(*pinned);
            if (made != nullptr) {
                pinned->adopt(made, folderNamedNow(settingsDir_));
                pinned_.emplace_back(pinned.release());
            }
            return made;
        });
    });
    // The tool has loaded with its slot; its own copy, the one its context pinned, serves
    // its later actions.
    if (auto* opened = qobject_cast<ToolWindow*>(window); opened && tool->receivesSlot)
        opened->receiveSlot(opened->context().currentSlot());
    return window;
}

QWidget* MainWindow::openFolderChooser() {
    return registry_.open(kChooserName,
                          [this] { return new FolderChooser(settingsDir_, [this] { reload(); }); });
}

void MainWindow::setToolFactory(const QString& name, ToolFactory factory) {
    factoryOverrides_[name] = std::move(factory);
}

QStringList MainWindow::slotWindows() {
    QStringList names;
    for (const ToolDescriptor* tool : slotClosingOrder())
        names << QString::fromLatin1(tool->window);
    return names;
}

} // namespace hv::app
