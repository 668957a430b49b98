#include "restore/restore_windows.h"

#include "roster/roster_ops.h"
#include "testsupport/window_test_support.h"

#include <QLabel>

namespace hv::test {
namespace {

TEST_F(WindowTest, RestoreWindowListsTheSlotsChangesNewestFirstAndRestoresTheChosenOne) {
    world.setRoster("save1", {wrestler("Axe"), wrestler("Blade")});
    const std::string original = world.roster();
    const roster::RosterFile roster(world.game.string(), "save1");
    roster::deleteWrestler(roster, "Blade");
    roster::addBlankWrestler(roster);

    auto* list = child<QListWidget>(showWindow(hv::restore::createRestoreWindow(context)), "List1");
    ASSERT_EQ(list->count(), 2);
    EXPECT_TRUE(list->item(0)->text().endsWith(QStringLiteral("Add a blank wrestler")));
    EXPECT_TRUE(list->item(1)->text().endsWith(QStringLiteral("Delete Blade")));

    list->setCurrentRow(1);
    EXPECT_EQ(child<QLabel>(window, "Label2")->text(),
              QStringLiteral("Files: save1/Controlled/yourfed.hv1"));
    // The newer change to the same file is named, and a No keeps every file as it is.
    QStringList asked;
    bool yes = false;
    ui::setQuestionAnswerer([&](const QString&, const QString& text) {
        asked << text;
        return yes;
    });
    const std::string newest = world.roster();
    clickButton(window, "Command1");
    EXPECT_EQ(world.roster(), newest);
    yes = true;
    clickButton(window, "Command1");
    ui::setQuestionAnswerer({});
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[0].contains(QStringLiteral("\nAdd a blank wrestler\n")))
        << asked[0].toStdString();
    EXPECT_EQ(world.roster(), original);
    ASSERT_EQ(list->count(), 3);
    EXPECT_TRUE(list->item(0)->text().endsWith(QStringLiteral("Restore 1 (Delete Blade)")));
    EXPECT_TRUE(messages.empty());

    // Another slot has changes of its own, none so far.
    context.slot = QStringLiteral("save2");
    showWindow(hv::restore::createRestoreWindow(context));
    EXPECT_EQ(child<QListWidget>(window, "List1")->count(), 0);
    EXPECT_FALSE(child<QPushButton>(window, "Command1")->isEnabled());
}

} // namespace
} // namespace hv::test
