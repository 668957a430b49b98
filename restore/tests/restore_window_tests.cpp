#include "restore/restore_windows.h"

#include "otherfeds/otherfeds_ops.h"
#include "roster/roster_ops.h"
#include "roster/roster_windows.h"
#include "testsupport/window_test_support.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <memory>

namespace hv::test {
namespace {

// The list shows the slot's changes newest first; the chosen one's change is told beside it.
TEST_F(WindowTest, RestoreWindowListsTheSlotsChangesNewestFirstAndRestoresTheChosenOne) {
    world.setRoster("save1", {wrestler("Axe")});
    writeFile(world.slotFile("save1", "Background/ecw.hv1"), crlf(rivalWrestler("Dee")));
    const auto before = world.files();
    roster::setWrestlerFields(roster::RosterFile(world.game.string(), "save1"), "Axe",
                              {{WrestlerRecord::Draw, "55"}});
    otherfeds::TransferWrestler(
        world.game.string(),
        {"save1", otherfeds::Party::Ecw, otherfeds::Party::Own, "Dee", "Dee", "2", {}},
        [] { return 0.5; });

    auto* list = child<QListWidget>(showWindow(hv::restore::createRestoreWindow(context)), "List1");
    auto* diff = child<QPlainTextEdit>(window, "diff");
    ASSERT_EQ(list->count(), 2);
    EXPECT_TRUE(
        list->item(0)->text().endsWith(QStringLiteral("Trade Dee: ECW to your federation")));
    EXPECT_EQ(diff->toPlainText(), QStringLiteral("Roster: Dee joined\nECW: Dee left"));

    list->setCurrentRow(1);
    EXPECT_EQ(diff->toPlainText(), QStringLiteral("Roster: Axe: Draw 50 -> 55"));
    EXPECT_EQ(child<QLabel>(window, "Label2")->text(),
              QStringLiteral("Files: save1/Controlled/yourfed.hv1"));
    // (The questions before a restore are the test below.)
    clickButton(window, "Command1");
    EXPECT_EQ(world.files(), before);
    EXPECT_EQ(list->count(), 3);
    EXPECT_TRUE(messages.empty());

    // Another slot has changes of its own, none so far.
    context.slot = QStringLiteral("save2");
    showWindow(hv::restore::createRestoreWindow(context));
    EXPECT_EQ(child<QListWidget>(window, "List1")->count(), 0);
    EXPECT_FALSE(child<QPushButton>(window, "Command1")->isEnabled());
}

// The list follows the points on disk, and what a restore undoes is decided from the disk even
// when the list shown is older: a trade made while the window was open, restored together
// with the edit before it, leaves both of its files as they were.
TEST_F(WindowTest, RestoreWindowFollowsThePointsOnDiskAndOtherWindowsReloadAfterARestore) {
    world.setRoster("save1", {wrestler("Axe"), wrestler("Blade")});
    const auto ecw = world.slotFile("save1", "Background/ecw.hv1");
    writeFile(ecw, crlf(rivalWrestler("Dee")));
    const auto before = world.files();
    const roster::RosterFile roster(world.game.string(), "save1");
    roster::setWrestlerFields(roster, "Axe", {{WrestlerRecord::Draw, "9"}});

    auto* list = child<QListWidget>(showWindow(hv::restore::createRestoreWindow(context)), "List1");
    otherfeds::TransferWrestler(
        world.game.string(),
        {"save1", otherfeds::Party::Ecw, otherfeds::Party::Own, "Dee", "Dee", "2", {}},
        [] { return 0.5; });
    const std::string traded = world.roster();
    // Another window shows the roster; it must follow the restore without a word.
    const std::unique_ptr<QWidget> editor(roster::createRosterEditor(context));
    editor->show();
    EXPECT_EQ(items(child<FilteredList>(editor.get(), "List1")), "Axe|Blade|Dee");
    ASSERT_EQ(list->count(), 1); // not read again yet: the restore still decides from the disk
    answer = false;
    clickButton(window, "Command1");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].contains(QStringLiteral("\nTrade Dee: ECW to your federation\n")))
        << questions[0].toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->count() == 2; }, 5000));

    // A file the game wrote since is named, and No keeps it.
    const std::string game = world.roster() + crlf(wrestler("Game"));
    writeFile(world.rosterFile(), game);
    list->setCurrentRow(1);
    answer = true;
    questions.clear();
    ui::setQuestionAnswerer([&](const QString&, const QString& text) {
        questions.push_back(text);
        return questions.size() == 1;
    });
    clickButton(window, "Command1");
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_TRUE(questions[1].startsWith(QStringLiteral("The roster of Save 1 (yourfed.hv1) "
                                                       "changed outside the editor")))
        << questions[1].toStdString();
    EXPECT_EQ(world.roster(), game);

    // The game saving while the question is open is asked about, never restored over unasked.
    writeFile(world.rosterFile(), traded);
    questions.clear();
    ui::setQuestionAnswerer([&](const QString&, const QString& text) {
        questions.push_back(text);
        if (questions.size() == 1)
            writeFile(ecw, readFile(ecw) + "game\r\n");
        return true;
    });
    list->setCurrentRow(1);
    clickButton(window, "Command1");
    ASSERT_EQ(questions.size(), 3u);
    EXPECT_TRUE(questions[1].startsWith(QStringLiteral("What the restore would undo changed")));
    EXPECT_TRUE(questions[2].startsWith(QStringLiteral("The ECW roster of Save 1 (ecw.hv1)")));
    EXPECT_EQ(world.files(), before);
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(items(child<FilteredList>(editor.get(), "List1")), "Axe|Blade");
    QTest::qWait(50);
    EXPECT_TRUE(child<QWidget>(editor.get(), "OutsideChangeBar")->isHidden());
    EXPECT_TRUE(messages.empty());
}

} // namespace
} // namespace hv::test
