// A fresh game world, a main window over it and the messages it shows, per test.

#include "app/folder_chooser.h"
#include "app/main_window.h"
#include "app/tool_table.h"
#include "gamefiles/error.h"
#include "gamefiles/options.h"
#include "testsupport/window_test_support.h"
#include "ui/file_path.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <memory>

namespace hv::test {
namespace {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

class AppTest : public WindowTest {
protected:
    void TearDown() override {
        main.reset();
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    hv::app::MainWindow& start() {
        main = std::make_unique<hv::app::MainWindow>(world.work);
        main->show();
        return *main;
    }

    QRadioButton* option(int n) {
        return child<QRadioButton>(main.get(), ("Option" + std::to_string(n)).c_str());
    }
    // Clicks the option's round indicator; the rest of a wide button does not take clicks.
    void clickOption(int n) {
        QRadioButton* button = option(n);
        QStyleOptionButton style;
        style.initFrom(button);
        const QRect indicator =
            button->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &style, button);
        QTest::mouseClick(button, Qt::LeftButton, {}, indicator.center());
    }
    QString frameTitle() { return child<QGroupBox>(main.get(), "Frame1")->title(); }
    QString hid() { return child<QLineEdit>(main.get(), "hid")->text(); }
    fs::path optionsFile() const { return world.work / "options.dat"; }

    std::unique_ptr<hv::app::MainWindow> main;
};

// Notes the name of each window as it receives its close event.
struct CloseLog : QObject {
    CloseLog(QStringList& into, QString window, QObject* parent)
        : QObject(parent), log(into), name(std::move(window)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close)
            log << name;
        return false;
    }
    QStringList& log;
    QString name;
};

using MainWindowStartup = AppTest;

TEST_F(MainWindowStartup, SlotNamesAsTypedAndSlotOneInUseEvenWithoutASavedGame) {
    writeFile(optionsFile(), crlf({world.game.string() + ",rest of line", "report"}));
    writeFile(world.game / "saveslots.hv1",
              crlf({"No Saved Game", "Raw & Ready", "", "no saved game", "ignored fifth"}));
    start();
    // "&" is doubled only so that Qt shows it instead of making a shortcut.
    EXPECT_EQ(option(2)->text(), u"Save 2 : Raw && Ready"_s);
    EXPECT_EQ(option(3)->text(), u"Save 3 : "_s);
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(option(n)->isEnabled(), n != 1) << n; // only "No Saved Game" exactly
    EXPECT_TRUE(option(1)->isChecked());
    EXPECT_EQ(hid(), u"save1"_s);
    EXPECT_FALSE(main->windows().isOpen(u"pathfind"_s));
    EXPECT_TRUE(messages.empty());
}

using BreakWorld = void (*)(const GameWorld&);
class StartupFailure : public AppTest, public ::testing::WithParamInterface<BreakWorld> {};

TEST_P(StartupFailure, ShowsPathIsIncorrectAndOpensTheChooserWithoutWriting) {
    GetParam()(world);
    const auto before = world.files();
    start();
    EXPECT_EQ(frameTitle(), u"Path is incorrect."_s);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_FALSE(option(n)->isEnabled()) << n;
        EXPECT_EQ(option(n)->text(), u"Save%1"_s.arg(n));
    }
    EXPECT_EQ(hid(), u"save1"_s);
    QWidget* chooser = main->windows().find(u"pathfind"_s);
    EXPECT_TRUE(chooser != nullptr && chooser->isVisible());
    EXPECT_EQ(world.files(), before); // nothing is written until the user moves in the chooser
    EXPECT_TRUE(messages.empty());
}

// An empty options.dat, missing or short slot names, a game folder that is gone.
const BreakWorld kBrokenWorlds[] = {
    [](const GameWorld& w) { writeFile(w.work / "options.dat", ""); },
    [](const GameWorld& w) { fs::remove(w.game / "saveslots.hv1"); },
    [](const GameWorld& w) { writeFile(w.game / "saveslots.hv1", "A\r\nB\r\nC\r\n"); },
    [](const GameWorld& w) { fs::rename(w.game, w.root.path() / "gone"); },
};
INSTANTIATE_TEST_SUITE_P(BrokenWorlds, StartupFailure, ::testing::ValuesIn(kBrokenWorlds));

using ToolLauncher = AppTest;

TEST_F(ToolLauncher, EveryToolOpensFromItsButtonOrMenuItemAsAnOwnerlessModelessWindow) {
    start();
    for (const auto& tool : hv::app::allTools()) {
        const QString name = QString::fromLatin1(tool.window);
        SCOPED_TRACE(name.toStdString());
        auto* opener = main->findChild<QObject*>(QString::fromLatin1(tool.openerName));
        ASSERT_NE(opener, nullptr);
        auto* button = qobject_cast<QPushButton*>(opener);
        EXPECT_EQ(button != nullptr, tool.opener == hv::ui::ToolDescriptor::Opener::Button);
        if (button != nullptr)
            QTest::mouseClick(button, Qt::LeftButton);
        else
            qobject_cast<QAction*>(opener)->trigger();
        QWidget* opened = main->windows().find(name);
        ASSERT_NE(opened, nullptr);
        EXPECT_EQ(opened->parentWidget(), nullptr);
        EXPECT_TRUE(opened->isVisible());
        EXPECT_FALSE(opened->isModal());
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(ToolLauncher, OpenedOnceBroughtForwardAndReportedWhenItCannotLoad) {
    start();
    int loads = 0;
    main->setToolFactory(u"titles"_s, [&loads](hv::ui::EditorContext&) {
        ++loads;
        return new QWidget;
    });
    QWidget* first = main->openTool(u"titles"_s);
    ASSERT_NE(first, nullptr);
    first->hide(); // hidden, but still loaded
    EXPECT_EQ(main->openTool(u"titles"_s), first);
    EXPECT_EQ(loads, 1);
    EXPECT_TRUE(first->isVisible());

    // Closed by the user, it loads afresh, even before Qt has deleted the old one.
    first->close();
    EXPECT_NE(main->openTool(u"titles"_s), nullptr);
    EXPECT_EQ(loads, 2);

    main->setToolFactory(u"doctor"_s, [](hv::ui::EditorContext&) -> QWidget* {
        throw GameFileError("yourfed.hv1", "ends inside a record", 40);
    });
    EXPECT_EQ(main->openTool(u"doctor"_s), nullptr);
    EXPECT_FALSE(main->windows().isOpen(u"doctor"_s));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], u"yourfed.hv1:40: ends inside a record"_s); // as hv says it
}

using SlotChoice = AppTest;

TEST_F(SlotChoice, ClosesExactlyTheSlotWindowsInOrder) {
    start();
    clickOption(2);
    QStringList closed;
    for (const auto& tool : hv::app::allTools()) {
        const QString name = QString::fromLatin1(tool.window);
        main->setToolFactory(name, [name, &closed](hv::ui::EditorContext& pinned) {
            auto* made = new hv::ui::ToolWindow(pinned, u"stale"_s);
            made->installEventFilter(new CloseLog(closed, name, made));
            made->keepSlotBox();
            return made;
        });
        QWidget* opened = main->openTool(name);
        ASSERT_NE(opened, nullptr);
        // The slot is copied in after the load, over whatever the tool put there.
        EXPECT_EQ(child<QLineEdit>(opened, "hid")->text(),
                  tool.receivesSlot ? u"save2"_s : u"stale"_s)
            << name.toStdString();
    }
    main->openFolderChooser();
    clickOption(4);
    EXPECT_EQ(hid(), u"save4"_s);
    EXPECT_EQ(closed, hv::app::MainWindow::slotWindows());
    for (const QString& name : {u"fededit"_s, u"traderos"_s, u"reorder"_s, u"pathfind"_s})
        EXPECT_TRUE(main->windows().isOpen(name)) << name.toStdString();
    main.reset(); // the windows log into locals of this test
}

// A window works on the game and slot it showed, whatever options.dat names meanwhile.
using WindowPlace = AppTest;

TEST_F(WindowPlace, AWriteGoesToTheGameTheWindowLoadedAfterAnotherIsSetFromOutside) {
    GameWorld other;
    for (GameWorld* w : {&world, &other})
        w->setRoster("save1", {wrestler("Axe"), wrestler("Blade"), wrestler("Cole")});
    const std::string roster = world.roster();
    start();
    QWidget* tool = main->openTool(u"reorder"_s);
    ASSERT_NE(tool, nullptr);
    const QString caption = tool->windowTitle();
    changeGameFolder(world.work, other.game.string()); // hv game-folder set, from a terminal
    // The window says whose files it shows; the main window too, and it stays on them.
    const QString own = hv::ui::pathText(world.game);
    QTRY_VERIFY(tool->windowTitle().contains(own));
    EXPECT_TRUE(main->windowTitle().contains(own));
    static_cast<hv::ui::EditorContext&>(*main).reloadMainWindow();
    EXPECT_EQ(option(1)->text(), u"Save 1 : First Slot"_s);
    clickButton(tool, "Command2");
    EXPECT_NE(world.roster(), roster);
    EXPECT_EQ(other.roster(), roster);
    // Set back, the caption is the window's own again.
    changeGameFolder(world.work, world.game.string());
    QTRY_COMPARE(tool->windowTitle(), caption);
    EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
}

TEST_F(WindowPlace, TheReorderWindowFollowsTheMainWindowsSlotAndMovesInTheListItShows) {
    world.setRoster("save1", {wrestler("One A"), wrestler("One B")});
    world.setRoster("save2", {wrestler("Two A"), wrestler("Two B"), wrestler("Two C")});
    const std::string save1 = world.roster("save1");
    start();
    QWidget* reorder = main->openTool(u"reorder"_s);
    ASSERT_NE(reorder, nullptr);
    auto* list = child<FilteredList>(reorder, "List1");
    clickOption(2);
    EXPECT_EQ(items(list), "Two A|Two B|Two C");
    EXPECT_EQ(selected(list), "Two B");
    clickButton(reorder, "Command2");
    EXPECT_EQ(world.roster("save2"),
              recordBytes({wrestler("Two A"), wrestler("Two C"), wrestler("Two B")}));
    EXPECT_EQ(world.roster("save1"), save1);
    // Fed Edit's Apply reloads the main window, which is on save1 again: so is the list.
    static_cast<hv::ui::EditorContext&>(*main).reloadMainWindow();
    EXPECT_EQ(items(list), "One A|One B");
    EXPECT_TRUE(messages.empty());
}

// Enter on a focused main-window button presses it; Esc closes the folder chooser.
TEST_F(WindowPlace, EnterPressesAFocusedButtonAndEscClosesTheChooser) {
    start();
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        main->windows().closeAll();
        auto* button = child<QPushButton>(main.get(), "Command8");
        button->setFocus();
        QTest::keyClick(button, key);
        EXPECT_TRUE(main->windows().isOpen(u"reorder"_s)) << key;
    }
    QWidget* chooser = main->openFolderChooser();
    chooser->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(chooser));
    QTest::keyClick(child<QListWidget>(chooser, "Dir1"), Qt::Key_Escape);
    EXPECT_FALSE(chooser->isVisible());
}

// Points HOME at a folder of the test's own and puts it back afterwards.
struct HomeFolder {
    explicit HomeFolder(const fs::path& home) {
        fs::create_directories(home);
        qputenv("HOME", QByteArray::fromStdString(home.string()));
    }
    ~HomeFolder() { qputenv("HOME", old); }
    const QByteArray old = qgetenv("HOME");
};

class FolderChooserTest : public AppTest {
protected:
    hv::app::FolderChooser* chooser() {
        auto* found = qobject_cast<hv::app::FolderChooser*>(main->windows().find(u"pathfind"_s));
        EXPECT_NE(found, nullptr);
        return found;
    }
    hv::app::FolderChooser* openChooser() {
        main->findChild<QAction*>(u"phv"_s)->trigger();
        return chooser();
    }
    // Opens a folder of the list as a user would: Return on it, or a double click.
    void enterFolder(QWidget* in, const QString& text, bool doubleClick = false) {
        QListWidget* list = child<QListWidget>(in, "Dir1");
        const auto found = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        list->setCurrentItem(found.first());
        if (!doubleClick)
            return QTest::keyClick(list, Qt::Key_Return);
        const QPoint at = list->visualItemRect(found.first()).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    std::string options() { return readFile(optionsFile()); }
};

TEST_F(FolderChooserTest, MovingIntoASubfolderAndBackWritesEachFolderAndReloads) {
    writeFile(optionsFile(), crlf({world.game.string(), "page.html,1", "\"a, b\"", "3"}));
    start();
    clickOption(2);
    main->openTool(u"titles"_s);
    main->openTool(u"traderos"_s);
    hv::app::FolderChooser* opened = openChooser();
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->currentFolder(), world.game);
    EXPECT_EQ(child<QLineEdit>(opened, "Text1")->text(),
              QString::fromStdString(world.game.string()));

    enterFolder(opened, u"save1"_s);
    EXPECT_EQ(opened->currentFolder(), world.game / "save1");
    // Line 1 is the new folder; the report's lines stay as they were.
    EXPECT_EQ(options(), crlf({(world.game / "save1").string(), "page.html,1", "\"a, b\"", "3"}));
    EXPECT_EQ(child<QLabel>(opened, "StatusLine")->text(),
              u"The editor now reads the game in "_s + hv::ui::pathText(world.game / "save1") +
                  u"."_s);
    EXPECT_EQ(frameTitle(), u"Path is incorrect."_s);
    EXPECT_EQ(hid(), u"save1"_s);
    // Another game folder closes every tool window, the slot's and the others.
    EXPECT_FALSE(main->windows().isOpen(u"titles"_s));
    EXPECT_FALSE(main->windows().isOpen(u"traderos"_s));
    // The failed load brings the same chooser forward rather than opening another.
    EXPECT_EQ(main->windows().find(u"pathfind"_s), opened);

    enterFolder(opened, QString::fromStdString(world.game.filename().string()), true);
    EXPECT_EQ(opened->currentFolder(), world.game);
    EXPECT_EQ(options(), crlf({world.game.string(), "page.html,1", "\"a, b\"", "3"}));
    EXPECT_EQ(frameTitle(), u"Select Save File to edit"_s);
    EXPECT_EQ(option(1)->text(), u"Save 1 : First Slot"_s);
    EXPECT_TRUE(option(4)->isEnabled());
    EXPECT_TRUE(messages.empty());
}

#ifndef _WIN32
// The home folder, the root "/", names as bytes and a double quote in a name, as Linux has
// them; Windows has drives, names in its code page and no quotes in names.
TEST_F(FolderChooserTest, FirstRunOpensAtHomeAndWritesOnlyWhenTheUserMovesOrPicksADrive) {
    HomeFolder home(world.root.path() / "home");
    fs::create_directories(world.root.path() / "home" / "Games");
    fs::remove(optionsFile());
    start();
    ASSERT_NE(chooser(), nullptr);
    EXPECT_EQ(chooser()->currentFolder(), world.root.path() / "home");
    chooser()->close();
    EXPECT_FALSE(fs::exists(optionsFile()));

    ASSERT_NE(openChooser(), nullptr);
    enterFolder(chooser(), u"Games"_s);
    EXPECT_EQ(options(), crlf({(world.root.path() / "home" / "Games").string()}));

    // Choosing a drive writes its folder at once.
    auto* drives = child<QComboBox>(chooser(), "Drive1");
    ASSERT_GE(drives->count(), 2);
    EXPECT_EQ(drives->itemText(0), u"/"_s);
    EXPECT_TRUE(drives->itemText(drives->count() - 1).contains(u"home"_s));
    emit drives->activated(drives->count() - 1);
    EXPECT_EQ(chooser()->currentFolder(), world.root.path() / "home");
    EXPECT_EQ(options(), crlf({(world.root.path() / "home").string()}));
    emit drives->activated(0);
    EXPECT_EQ(chooser()->currentFolder(), fs::path("/"));
    EXPECT_EQ(options(), crlf({"/"}));
    EXPECT_EQ(drives->currentIndex(), 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(FolderChooserTest, FolderNamesKeepTheirBytes) {
    const std::string name = "Caf\xe9 \x80";
    fs::create_directories(world.game / name);
    start();
    ASSERT_NE(openChooser(), nullptr);
    enterFolder(chooser(), u"Caf\u00e9 \u20ac"_s);
    EXPECT_EQ(options(), crlf({(world.game / name).string()}));
    EXPECT_EQ(child<QLineEdit>(chooser(), "currentPath")->text(),
              QString::fromStdString(world.game.string()) + u"/Caf\u00e9 \u20ac"_s);
}

// A folder that cannot be stored: one message naming why, and options.dat exactly as it was.
// (A failed rewrite of options.dat is a row of the failure sweep.)
TEST_F(FolderChooserTest, ARefusedMoveIsReportedAndWritesNothing) {
    fs::create_directories(world.game / "say \"hi\"");
    start();
    const std::string before = options();
    enterFolder(openChooser(), u"say \"hi\""_s);
    expectReported(1, "double quote");
    EXPECT_EQ(options(), before);
    EXPECT_EQ(frameTitle(), u"Select Save File to edit"_s);
    // Nor is the folder entered: the chooser stays where options.dat points.
    EXPECT_EQ(chooser()->currentFolder(), world.game);
}

TEST(StartingFolder, IsTheNearestExistingFolder) {
    TempDir dir;
    const fs::path game = dir.path() / "Halvorn", home = dir.path() / "home";
    fs::create_directories(game);
    fs::create_directories(home);
    using hv::app::startingFolder;
    EXPECT_EQ(startingFolder(game.string() + "/", dir.path(), home), game);
    EXPECT_EQ(startingFolder((game / "a" / "b").string(), dir.path(), home), game);
    EXPECT_EQ(startingFolder("Halvorn", dir.path(), home), game);
    EXPECT_EQ(startingFolder("", dir.path(), dir.path() / "no home"), fs::path("/"));
    // A Windows name is a relative name here, so it falls back to the working folder.
    EXPECT_EQ(startingFolder("C:\\Games\\HV", dir.path(), home), dir.path());
}
#endif

} // namespace
} // namespace hv::test
