#include "roster/roster_windows.h"
#include "testsupport/rewrite_steps.h"
#include "testsupport/window_test_support.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace hv::test {
namespace {

using Line = WrestlerRecord::Line;

class BatchWindow : public WindowTest {
protected:
    void type(const char* box, const char* text) {
        auto* edit = child<QPlainTextEdit>(window, box);
        edit->setFocus();
        QTest::keyClicks(edit, QString::fromLatin1(text));
    }
    QString count() { return child<QLabel>(window, "countLabel")->text(); }
};

TEST_F(BatchWindow, CountsAsTheUserTypesAndAppliesWhatTheListShows) {
    std::vector<std::vector<std::string>> records = {placeholderWrestler(), wrestler("Axe", "3"),
                                                     withLine(wrestler("Blade"), Line::Draw, "70"),
                                                     wrestler("Cy", "3")};
    world.setRoster("save1", records);
    showWindow(hv::roster::createBatchWindow(context));
    auto* list = child<QListWidget>(window, "List1");
    EXPECT_EQ(count(), QStringLiteral("0 wrestlers will change"));

    type("changes", "morale=+30");
    EXPECT_EQ(count(), QStringLiteral("3 wrestlers will change"));
    QTest::keyClick(child<QPlainTextEdit>(window, "changes"), Qt::Key_Return);
    type("changes", "weapon=Ladder");
    type("conditions", "carder=Upper Carder");
    EXPECT_EQ(count(), QStringLiteral("2 wrestlers will change"));
    QTest::keyClick(child<QPlainTextEdit>(window, "conditions"), Qt::Key_Return);
    type("conditions", "draw<");
    EXPECT_TRUE(count().contains(QStringLiteral("compare numbers"))) << count().toStdString();
    EXPECT_EQ(list->count(), 0);
    type("conditions", "60");
    EXPECT_EQ(count(), QStringLiteral("2 wrestlers will change"));
    EXPECT_EQ(items(list), "Axe  morale: 75 ->  105 |Axe  weapon: Chair -> Ladder|"
                           "Cy  morale: 75 ->  105 |Cy  weapon: Chair -> Ladder");
    EXPECT_TRUE(messages.empty());

    // A failed write is reported and leaves the file and the restore points as they were.
    const auto unchanged = world.files();
    {
        const RewriteStepFailure failing(RewriteStep::Replace, 0);
        clickButton(window, "Command1");
    }
    expectReported(1, "yourfed.hv1");
    EXPECT_EQ(world.files(), unchanged);

    clickButton(window, "Command1");
    for (std::size_t i : {1u, 3u}) {
        records[i][Line::Morale] = " 105 ";
        records[i][Line::Weapon] = "Ladder";
    }
    EXPECT_EQ(world.roster(), recordBytes(records));
    EXPECT_TRUE(child<QLabel>(window, "StatusLine")->text().startsWith(QStringLiteral("Saved")));
    // +30 would add again; the weapon is set already.
    EXPECT_EQ(items(list), "Axe  morale:  105  ->  135 |Cy  morale:  105  ->  135 ");

    // A bad line is a message on Apply, and nothing is written.
    QTest::keyClick(child<QPlainTextEdit>(window, "changes"), Qt::Key_Return);
    type("changes", "x");
    const auto before = world.files();
    clickButton(window, "Command1");
    expectReported(2, "FIELD=VALUE");
    EXPECT_EQ(world.files(), before);
}

// What Apply writes is what the list showed: a file changed since makes it show the new list and
// ask, and a No writes nothing.
TEST_F(BatchWindow, ApplyAsksAgainWhenTheFileChangedSinceTheListWasShown) {
    world.setRoster("save1", {wrestler("Axe"), wrestler("Blade")});
    showWindow(hv::roster::createBatchWindow(context));
    type("changes", "morale=+1");
    EXPECT_EQ(count(), QStringLiteral("2 wrestlers will change"));
    std::vector<std::vector<std::string>> now = {wrestler("Axe"), wrestler("Blade"),
                                                 wrestler("Cy")};
    world.setRoster("save1", now);
    answer = false;
    clickButton(window, "Command1");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].contains(QStringLiteral("3 wrestlers will change")))
        << questions[0].toStdString();
    EXPECT_EQ(count(), QStringLiteral("3 wrestlers will change"));
    EXPECT_EQ(world.roster(), recordBytes(now));

    answer = true;
    clickButton(window, "Command1");
    EXPECT_EQ(questions.size(), 1u);
    for (auto& record : now)
        record[Line::Morale] = " 76 ";
    EXPECT_EQ(world.roster(), recordBytes(now));
}

} // namespace
} // namespace hv::test
