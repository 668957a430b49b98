#include "app_test_support.h"

#include "app/tool_windows.h"
#include "gamefiles/error.h"

#include <QAction>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <map>

namespace hv::test {
namespace {

const QStringList kSlotWindows = {u"doctor"_s,  u"fuededit"_s, u"html22"_s, u"impsave"_s,
                                  u"mansave"_s, u"save"_s,     u"titles"_s};

const std::map<QString, QString> kButtonWindows = {
    {u"save"_s, u"Command1"_s},     {u"mansave"_s, u"Command2"_s}, {u"impsave"_s, u"Command5"_s},
    {u"doctor"_s, u"Command3"_s},   {u"titles"_s, u"Command4"_s},  {u"fuededit"_s, u"Command6"_s},
    {u"traderos"_s, u"Command7"_s}, {u"reorder"_s, u"Command8"_s}, {u"fededit"_s, u"Command10"_s}};

// Notes the name of each window as it receives its close event.
class CloseLog : public QObject {
public:
    CloseLog(QStringList& log, QString name, QObject* parent)
        : QObject(parent), log_(log), name_(std::move(name)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close)
            log_ << name_;
        return false;
    }

private:
    QStringList& log_;
    QString name_;
};

using MainWindowStartup = AppTest;

TEST_F(MainWindowStartup, CaptionsSlotNamesAndDisablesEmptySlots) {
    writeFile(world.game / "saveslots.hv1",
              crlf({"Raw & Ready", "", "No Saved Game", "no saved game", "ignored fifth"}));
    start();

    EXPECT_EQ(main->objectName(), u"MAin"_s);
    EXPECT_EQ(main->windowTitle(), u"Unofficial HV Editor"_s);
    EXPECT_EQ(frameTitle(), u"Select Save File to edit"_s);
    // "&" is doubled only so that Qt shows it instead of making a shortcut.
    EXPECT_EQ(option(1)->text(), u"Save 1 : Raw && Ready"_s);
    EXPECT_EQ(option(2)->text(), u"Save 2 : "_s);
    EXPECT_EQ(option(3)->text(), u"Save 3 : No Saved Game"_s);
    EXPECT_EQ(option(4)->text(), u"Save 4 : no saved game"_s);
    EXPECT_TRUE(option(1)->isEnabled());
    EXPECT_TRUE(option(2)->isEnabled());
    EXPECT_FALSE(option(3)->isEnabled());
    EXPECT_TRUE(option(4)->isEnabled());
    EXPECT_TRUE(option(1)->isChecked());
    EXPECT_EQ(hid(), u"save1"_s);
    EXPECT_FALSE(child<QLineEdit>(main.get(), u"hid"_s)->isVisible());
    EXPECT_FALSE(main->windows().isOpen(u"pathfind"_s));
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowStartup, SlotOneIsInUseEvenWhenItHoldsNoSavedGame) {
    writeFile(world.game / "saveslots.hv1",
              crlf({"No Saved Game", "Two", "Three", "No Saved Game"}));
    start();
    EXPECT_FALSE(option(1)->isEnabled());
    EXPECT_FALSE(option(4)->isEnabled());
    EXPECT_TRUE(option(1)->isChecked());
    EXPECT_EQ(hid(), u"save1"_s);
    EXPECT_EQ(main->currentSlot(), u"save1"_s);
    EXPECT_EQ(frameTitle(), u"Select Save File to edit"_s);
}

TEST_F(MainWindowStartup, GameFolderEndsAtTheFirstComma) {
    writeFile(optionsFile(), crlf({world.game.string() + ",rest of line", "report"}));
    start();
    EXPECT_EQ(option(2)->text(), u"Save 2 : Second Slot"_s);
    EXPECT_FALSE(main->windows().isOpen(u"pathfind"_s));
}

struct BrokenWorld {
    const char* label;
    void (*breakWorld)(const GameWorld&);
};

void PrintTo(const BrokenWorld& broken, std::ostream* out) {
    *out << broken.label;
}

class StartupFailure : public AppTest, public ::testing::WithParamInterface<BrokenWorld> {};

TEST_P(StartupFailure, ShowsPathIsIncorrectAndOpensTheChooserWithoutWriting) {
    GetParam().breakWorld(world);
    const auto before = snapshot(world.root.path());

    start();
    EXPECT_EQ(frameTitle(), u"Path is incorrect."_s);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_FALSE(option(n)->isEnabled()) << n;
        EXPECT_EQ(option(n)->text(), u"Save%1"_s.arg(n));
    }
    EXPECT_TRUE(option(1)->isChecked());
    EXPECT_EQ(hid(), u"save1"_s);
    QWidget* chooser = main->windows().find(u"pathfind"_s);
    ASSERT_NE(chooser, nullptr);
    EXPECT_TRUE(chooser->isVisible());
    // Nothing is written until the user moves in the chooser.
    EXPECT_EQ(snapshot(world.root.path()), before);
    EXPECT_TRUE(messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    BrokenWorlds, StartupFailure,
    ::testing::Values(
        BrokenWorld{"MissingOptions",
                    [](const GameWorld& w) { std::filesystem::remove(w.work / "options.dat"); }},
        BrokenWorld{"EmptyOptions",
                    [](const GameWorld& w) { writeFile(w.work / "options.dat", ""); }},
        BrokenWorld{"MissingSlotNames",
                    [](const GameWorld& w) { std::filesystem::remove(w.game / "saveslots.hv1"); }},
        BrokenWorld{"ShortSlotNames",
                    [](const GameWorld& w) {
                        writeFile(w.game / "saveslots.hv1", crlf({"A", "B", "C"}));
                    }},
        BrokenWorld{"GameFolderMissing",
                    [](const GameWorld& w) {
                        writeFile(w.work / "options.dat", crlf({(w.game / "gone").string()}));
                    }}),
    [](const ::testing::TestParamInfo<BrokenWorld>& param) { return param.param.label; });

using MainWindowLayout = AppTest;

TEST_F(MainWindowLayout, ButtonsStandInTwoColumnsWithFedEditAcross) {
    start();
    main->resize(400, 400);
    QCoreApplication::processEvents();
    const auto at = [this](const QString& name) {
        return child<QWidget>(main.get(), name)->geometry();
    };
    const QString rows[][2] = {{u"Command1"_s, u"Command2"_s},
                               {u"Command5"_s, u"Command3"_s},
                               {u"Command4"_s, u"Command6"_s},
                               {u"Command7"_s, u"Command8"_s}};
    int lastBottom = at(u"Frame1"_s).bottom();
    for (const auto& row : rows) {
        SCOPED_TRACE(row[0].toStdString());
        const QRect left = at(row[0]);
        const QRect right = at(row[1]);
        EXPECT_EQ(left.top(), right.top());
        EXPECT_EQ(left.width(), right.width());
        EXPECT_LT(left.right(), right.left());
        EXPECT_GT(left.top(), lastBottom);
        lastBottom = left.bottom();
    }
    const QRect fedEdit = at(u"Command10"_s);
    EXPECT_GT(fedEdit.top(), lastBottom);
    EXPECT_EQ(fedEdit.left(), at(u"Command7"_s).left());
    EXPECT_EQ(fedEdit.right(), at(u"Command8"_s).right());

    // The two menu items are actions on the bar itself, not menus.
    QStringList bar;
    for (QAction* action : main->menuBar()->actions()) {
        EXPECT_EQ(action->menu(), nullptr);
        bar << action->objectName() + u'=' + action->text();
    }
    EXPECT_EQ(bar, QStringList({u"phv=Set Path of HV"_s, u"html=HTMLize"_s}));
}

using ToolLauncher = AppTest;

TEST_F(ToolLauncher, EveryToolOpensAsAnOwnerlessModelessWindow) {
    start();
    std::map<QString, QWidget*> opened;
    for (const auto& [name, button] : kButtonWindows) {
        QTest::mouseClick(child<QPushButton>(main.get(), button), Qt::LeftButton);
        opened[name] = main->windows().find(name);
    }
    main->findChild<QAction*>(u"html"_s)->trigger();
    opened[u"html22"_s] = main->windows().find(u"html22"_s);
    main->findChild<QAction*>(u"phv"_s)->trigger();
    opened[u"pathfind"_s] = main->windows().find(u"pathfind"_s);

    EXPECT_EQ(opened.size(), static_cast<std::size_t>(hv::ui::toolWindowNames().size()) + 1);
    for (const auto& [name, window] : opened) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->objectName(), name);
        EXPECT_TRUE(window->isWindow());
        EXPECT_EQ(window->parentWidget(), nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->isModal());
    }
    const std::map<QString, QString> captions = {{u"save"_s, u"Editing Roster"_s},
                                                 {u"fededit"_s, u"Form1"_s},
                                                 {u"html22"_s, u"HTML Roster"_s},
                                                 {u"titles"_s, QString()},
                                                 {u"fuededit"_s, QString()},
                                                 {u"doctor"_s, QString()},
                                                 {u"traderos"_s, u"Trading Rosters"_s},
                                                 {u"pathfind"_s, u"Set Path of Halvorn"_s}};
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(opened[name]->windowTitle(), caption) << name.toStdString();
}

TEST_F(ToolLauncher, OpeningAnOpenToolOnlyBringsItForward) {
    start();
    int loads = 0;
    main->setToolFactory(u"titles"_s, [&loads](hv::ui::EditorContext&) {
        ++loads;
        return new QWidget;
    });
    auto* titles = child<QPushButton>(main.get(), u"Command4"_s);
    QTest::mouseClick(titles, Qt::LeftButton);
    QWidget* first = main->windows().find(u"titles"_s);
    ASSERT_NE(first, nullptr);
    first->setProperty("marker", 7);
    first->hide(); // hidden, but still loaded

    QTest::mouseClick(titles, Qt::LeftButton);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(main->windows().find(u"titles"_s), first);
    EXPECT_EQ(first->property("marker").toInt(), 7);
    EXPECT_TRUE(first->isVisible());

    // Closed by the user, it loads afresh, even before Qt has deleted the old one.
    first->close();
    QTest::mouseClick(titles, Qt::LeftButton);
    EXPECT_EQ(loads, 2);
    EXPECT_NE(main->windows().find(u"titles"_s), nullptr);
}

TEST_F(ToolLauncher, RosterEditorIsNotReloadedAndReceivesTheSlot) {
    world.setRoster("save1", {wrestler("Alpha"), wrestler("Beta")});
    start();
    auto* rosterStats = child<QPushButton>(main.get(), u"Command1"_s);
    QTest::mouseClick(rosterStats, Qt::LeftButton);
    QWidget* editor = main->windows().find(u"save"_s);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(child<QLineEdit>(editor, u"hid"_s)->text(), u"save1"_s);
    editor->setProperty("marker", 1);

    QTest::mouseClick(rosterStats, Qt::LeftButton);
    EXPECT_EQ(main->windows().find(u"save"_s), editor);
    EXPECT_EQ(editor->property("marker").toInt(), 1);
}

TEST_F(ToolLauncher, SlotIsCopiedIntoTheToolAfterItsLoad) {
    start();
    clickOption(2);
    for (const QString& name : {u"mansave"_s, u"impsave"_s}) {
        // Whatever the tool put in its own box while loading is replaced afterwards.
        main->setToolFactory(name, [](hv::ui::EditorContext&) {
            auto* window = new QWidget;
            (new QLineEdit(u"stale"_s, window))->setObjectName(u"hid"_s);
            return window;
        });
        QWidget* window = main->openTool(name);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(child<QLineEdit>(window, u"hid"_s)->text(), u"save2"_s) << name.toStdString();
    }
}

TEST_F(ToolLauncher, ToolThatCannotLoadIsReportedAndNotOpened) {
    start();
    main->setToolFactory(u"doctor"_s, [](hv::ui::EditorContext&) -> QWidget* {
        throw GameFileError("yourfed.hv1", "ends inside a record", 40);
    });
    EXPECT_EQ(main->openTool(u"doctor"_s), nullptr);
    EXPECT_FALSE(main->windows().isOpen(u"doctor"_s));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].second.contains(u"yourfed.hv1, line 40"_s));
}

using SlotChoice = AppTest;

TEST_F(SlotChoice, ClosesExactlyTheSevenSlotWindowsInOrder) {
    start();
    QStringList closed;
    std::map<QString, QString> loadedFor;
    for (const QString& name : hv::ui::toolWindowNames()) {
        main->setToolFactory(name, [name, &closed, &loadedFor](hv::ui::EditorContext& context) {
            loadedFor[name] = context.currentSlot();
            auto* window = new QWidget;
            window->installEventFilter(new CloseLog(closed, name, window));
            return window;
        });
        main->openTool(name);
    }
    main->openFolderChooser();
    std::map<QString, QWidget*> stays;
    for (const QString& name : {u"fededit"_s, u"traderos"_s, u"reorder"_s, u"pathfind"_s})
        stays[name] = main->windows().find(name);

    clickOption(4);
    EXPECT_EQ(hid(), u"save4"_s);
    EXPECT_EQ(closed, kSlotWindows);
    for (const QString& name : kSlotWindows)
        EXPECT_FALSE(main->windows().isOpen(name)) << name.toStdString();
    for (const auto& [name, window] : stays) {
        EXPECT_NE(window, nullptr);
        EXPECT_EQ(main->windows().find(name), window) << name.toStdString();
    }

    // Reopened, a slot window loads for the new slot; an open one is not reloaded.
    loadedFor.clear();
    main->openTool(u"save"_s);
    main->openTool(u"traderos"_s);
    EXPECT_EQ(loadedFor, (std::map<QString, QString>{{u"save"_s, u"save4"_s}}));

    // A disabled slot cannot be chosen.
    closed.clear();
    clickOption(3);
    EXPECT_EQ(hid(), u"save4"_s);
    EXPECT_TRUE(closed.isEmpty());
    main.reset(); // the windows log into locals of this test
}

TEST_F(SlotChoice, RosterEditorOpenedAfterAChangeShowsTheNewSlot) {
    world.setRoster("save1", {wrestler("Slot One Guy")});
    world.setRoster("save2", {wrestler("Slot Two Guy")});
    start();
    const auto names = [](QWidget* editor) {
        QStringList shown;
        for (auto* list : editor->findChildren<QListWidget*>())
            for (int i = 0; i < list->count(); ++i)
                shown << list->item(i)->text();
        return shown;
    };
    QWidget* first = main->openTool(u"save"_s);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(names(first), QStringList{u"Slot One Guy"_s});

    clickOption(2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QWidget* second = main->openTool(u"save"_s);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(names(second), QStringList{u"Slot Two Guy"_s});
    EXPECT_EQ(child<QLineEdit>(second, u"hid"_s)->text(), u"save2"_s);
}

TEST_F(SlotChoice, ReloadRereadsNamesSelectsSlotOneAndClosesSlotWindows) {
    start();
    clickOption(2);
    main->openTool(u"titles"_s);
    main->openTool(u"traderos"_s);
    writeFile(world.game / "saveslots.hv1", crlf({"New One", "No Saved Game", "C", "D"}));

    // As a tool window asks for it after changing the slot names.
    static_cast<hv::ui::EditorContext&>(*main).reloadMainWindow();
    EXPECT_EQ(option(1)->text(), u"Save 1 : New One"_s);
    EXPECT_FALSE(option(2)->isEnabled());
    EXPECT_TRUE(option(1)->isChecked());
    EXPECT_FALSE(option(2)->isChecked());
    EXPECT_EQ(hid(), u"save1"_s);
    EXPECT_FALSE(main->windows().isOpen(u"titles"_s));
    EXPECT_TRUE(main->windows().isOpen(u"traderos"_s));

    // A failed reload, then a good one, brings the frame and the buttons back.
    std::filesystem::remove(world.game / "saveslots.hv1");
    main->reload();
    EXPECT_EQ(frameTitle(), u"Path is incorrect."_s);
    EXPECT_FALSE(option(1)->isEnabled());
    writeFile(world.game / "saveslots.hv1", crlf({"A", "B", "C", "D"}));
    main->reload();
    EXPECT_EQ(frameTitle(), u"Select Save File to edit"_s);
    EXPECT_TRUE(option(1)->isEnabled());
    EXPECT_EQ(option(2)->text(), u"Save 2 : B"_s);
}

} // namespace
} // namespace hv::test
