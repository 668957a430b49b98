#include "roster/roster_windows.h"
#include "window_test_support.h"

#include "gamefiles/records.h"
#include "gamefiles/temp_rewrite.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include <cerrno>
#include <memory>

namespace hv::test {
namespace {

using Lines = std::vector<std::string>;

class InjuriesWindow : public RosterWindowTest {
protected:
    void open() {
        window = hv::roster::createInjuriesWindow(context);
        window->setAttribute(Qt::WA_DeleteOnClose); // as the window registry does
        window->show();
        list = child<QListWidget>(window, "List1");
        label = child<QLabel>(window, "Label1");
    }
    void TearDown() override { delete window.data(); }

    const std::vector<Lines> records = {wrestler("Fit", "2", " 0 "), wrestler("Hurt", "2", "1"),
                                        placeholderWrestler(), wrestler("Long", "2", " 12 "),
                                        wrestler("Fit too", "2", "0")};
    QPointer<QWidget> window;
    QListWidget* list = nullptr;
    QLabel* label = nullptr;
};

TEST_F(InjuriesWindow, ListsTheInjuredAndShowsTheWeeksAsStored) {
    world.setRoster("save1", records);
    open();
    EXPECT_EQ(window->objectName(), QStringLiteral("doctor"));
    EXPECT_TRUE(window->windowTitle().isEmpty());
    EXPECT_EQ(child<QLineEdit>(window, "hid")->text(), QStringLiteral("save1"));
    EXPECT_EQ(items(list), names({"Hurt", "Long"}));
    EXPECT_EQ(label->text(), QStringLiteral("Out for ???"));

    clickItem(list, QStringLiteral("Long"));
    EXPECT_EQ(label->text(), QStringLiteral("Out for  12  week(s)"));
    clickItem(list, QStringLiteral("Hurt"));
    EXPECT_EQ(label->text(), QStringLiteral("Out for 1 week(s)"));
}

TEST_F(InjuriesWindow, FixThemAllHealsOnlyTheInjuredAndCloses) {
    world.setRoster("save1", records);
    open();
    clickButton(window, "Command1");

    auto expected = records;
    expected[1][WrestlerRecord::Injury] = " 0 ";
    expected[3][WrestlerRecord::Injury] = " 0 ";
    EXPECT_EQ(roster(), recordBytes(expected));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(InjuriesWindow, AFailedHealIsReportedAndTheWindowStaysOpen) {
    world.setRoster("save1", records);
    open();
    const auto before = snapshot(world.root.path());
    rewriteSyscalls().rename = [](const char*, const char*) {
        errno = EIO;
        return -1;
    };
    clickButton(window, "Command1");
    resetRewriteSyscalls();

    EXPECT_EQ(snapshot(world.root.path()), before);
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_TRUE(messages.texts[0].contains(QStringLiteral("yourfed.hv1")))
        << messages.texts[0].toStdString();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(InjuriesWindow, ATruncatedRosterIsReportedAndNothingIsWritten) {
    std::string truncated = recordBytes(records);
    truncated.resize(truncated.size() - 30);
    writeFile(rosterFile(), truncated);
    const auto before = snapshot(world.root.path());
    open();
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_TRUE(messages.texts[0].contains(QStringLiteral("yourfed.hv1")))
        << messages.texts[0].toStdString();
    EXPECT_EQ(list->count(), 0);
    clickButton(window, "Command1");
    EXPECT_EQ(messages.texts.size(), 2u);
    EXPECT_EQ(snapshot(world.root.path()), before);
}

} // namespace
} // namespace hv::test
