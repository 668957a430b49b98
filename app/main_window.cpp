#include "main_window.h"

#include "byte_text.h"
#include "folder_chooser.h"
#include "gamefiles/options.h"
#include "gamefiles/slot_names.h"
#include "messages.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTime>
#include <QVBoxLayout>

#include <cstdlib>

namespace hv::ui {
namespace {

const QString kFrameCaption = QStringLiteral("Select Save File to edit");
const QString kPathIncorrect = QStringLiteral("Path is incorrect.");
const QString kChooserName = QStringLiteral("pathfind");

struct ToolButton {
    const char* objectName;
    const char* caption;
    const char* window;
};

// Two columns, row by row; the last button spans both.
constexpr ToolButton kButtons[] = {
    {"Command1", "Roster Stats", "save"},
    {"Command2", "Managers", "mansave"},
    {"Command5", "Import/Export Wrestlers", "impsave"},
    {"Command3", "The Doctor (injuries)", "doctor"},
    {"Command4", "Titles", "titles"},
    {"Command6", "Fued Editor", "fuededit"},
    {"Command7", "Trading Rosters", "traderos"},
    {"Command8", "Re Order Roster", "reorder"},
    {"Command10", "Fed Edit", "fededit"},
};

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

} // namespace

MainWindow::MainWindow(std::filesystem::path workDir, QWidget* parent)
    : QMainWindow(parent), workDir_(std::move(workDir)) {
    setObjectName(QStringLiteral("MAin"));
    setWindowTitle(QStringLiteral("Unofficial HV Editor"));
    for (const QString& name : toolWindowNames())
        factories_[name] = defaultToolFactory(name);
    buildUi();
    load();
    // Room around the longest button captions.
    resize(sizeHint().expandedTo(QSize(360, 0)));
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

    auto* buttons = new QGridLayout;
    int index = 0;
    for (const ToolButton& tool : kButtons) {
        auto* button = new QPushButton(QString::fromLatin1(tool.caption), central);
        button->setObjectName(QString::fromLatin1(tool.objectName));
        const QString window = QString::fromLatin1(tool.window);
        connect(button, &QPushButton::clicked, this, [this, window] { openTool(window); });
        if (index < 8)
            buttons->addWidget(button, index / 2, index % 2);
        else
            buttons->addWidget(button, index / 2, 0, 1, 2);
        ++index;
    }
    buttons->setColumnStretch(0, 1);
    buttons->setColumnStretch(1, 1);
    layout->addLayout(buttons);
    layout->addStretch(1);
    setCentralWidget(central);

    QAction* phv = menuBar()->addAction(QStringLiteral("Set Path of HV"));
    phv->setObjectName(QStringLiteral("phv"));
    connect(phv, &QAction::triggered, this, [this] { openFolderChooser(); });
    QAction* html = menuBar()->addAction(QStringLiteral("HTMLize"));
    html->setObjectName(QStringLiteral("html"));
    connect(html, &QAction::triggered, this, [this] { openTool(QStringLiteral("html22")); });
}

QString MainWindow::currentSlot() const {
    return hid_->text();
}

void MainWindow::load() {
    seedRandom();

    // A fresh load starts from the window's design state.
    frame_->setTitle(kFrameCaption);
    frame_->setToolTip({});
    for (std::size_t i = 0; i < options_.size(); ++i) {
        options_[i]->setText(QStringLiteral("Save%1").arg(i + 1));
        options_[i]->setEnabled(true);
    }

    try {
        const SaveSlotNames names = readSaveSlotNames(readGameFolder(workDir_));
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
            hid_->setText(QStringLiteral("save%1").arg(i + 1));
    }
    registry_.closeSlotWindows();
}

void MainWindow::reload() {
    load();
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
    auto it = factories_.find(name);
    if (it == factories_.end())
        return nullptr;
    const ToolFactory& factory = it->second;
    QWidget* window = nullptr;
    // A tool that cannot load its files says why instead of opening half-filled.
    runReported(this, windowTitle(), [&] {
        window = registry_.open(name, [this, &factory] { return factory(*this); });
    });
    // The tool has loaded with our slot; its own copy serves its later actions.
    if (window && receivesSlot(name)) {
        if (auto* hid = window->findChild<QLineEdit*>(QStringLiteral("hid")))
            hid->setText(currentSlot());
    }
    return window;
}

QWidget* MainWindow::openFolderChooser() {
    return registry_.open(kChooserName,
                          [this] { return new FolderChooser(workDir_, [this] { reload(); }); });
}

void MainWindow::setToolFactory(const QString& name, ToolFactory factory) {
    factories_[name] = std::move(factory);
}

} // namespace hv::ui
