#include "roster/roster_windows.h"
#include "testsupport/rewrite_steps.h"
#include "testsupport/window_test_support.h"

#include "gamefiles/records.h"

#include <QLabel>

namespace hv::test {
namespace {

class InjuriesWindow : public WindowTest {
protected:
    void open() {
        list = child<FilteredList>(showWindow(hv::roster::createInjuriesWindow(context)), "List1");
        window->setAttribute(Qt::WA_DeleteOnClose); // as the window registry does
    }
    bool closed() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window.isNull();
    }

    std::vector<std::vector<std::string>> records = {
        wrestler("Fit", "2", " 0 "), wrestler("Hurt", "2", "1"), placeholderWrestler(),
        wrestler("Long", "2", " 12 "), wrestler("Fit too", "2", "0")};
    FilteredList* list = nullptr;
};

TEST_F(InjuriesWindow, ListsTheInjuredAsStoredHealsOnlyThemAndReportsAFailedHeal) {
    world.setRoster("save1", records);
    open();
    EXPECT_EQ(items(list), "Hurt|Long");
    clickItem(list, "Long");
    EXPECT_EQ(child<QLabel>(window, "Label1")->text(), QStringLiteral("Out for  12  week(s)"));

    // A failed heal is reported and leaves the window open.
    const auto before = world.files();
    {
        const RewriteStepFailure failing(RewriteStep::Replace, 0);
        clickButton(window, "Command1");
    }
    expectReported(1, "yourfed.hv1");
    EXPECT_EQ(world.files(), before);
    ASSERT_FALSE(closed());

    clickButton(window, "Command1");
    records[1][WrestlerRecord::Injury] = records[3][WrestlerRecord::Injury] = " 0 ";
    EXPECT_EQ(world.roster(), recordBytes(records));
    EXPECT_TRUE(closed());
    EXPECT_EQ(messages.size(), 1u);
}

} // namespace
} // namespace hv::test
