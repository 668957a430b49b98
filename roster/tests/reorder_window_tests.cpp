#include "roster/roster_windows.h"
#include "testsupport/rewrite_steps.h"
#include "testsupport/window_test_support.h"

namespace hv::test {
namespace {

class ReorderWindow : public WindowTest {
protected:
    void open(const std::vector<std::vector<std::string>>& records) {
        world.setRoster("save1", records);
        list = child<FilteredList>(showWindow(hv::roster::createReorderWindow(context)), "List1");
    }
    // Selects the wrestler and clicks Up (Command1) or Down (Command2).
    void move(const char* name, const char* button) {
        clickItem(list, name);
        clickButton(window, button);
    }

    FilteredList* list = nullptr;
    const std::vector<std::string> p = placeholderWrestler(), a = wrestler("A"), b = wrestler("B"),
                                   c = wrestler("C");
};

TEST_F(ReorderWindow, MovesTheSelectedWrestlerKeepsHimSelectedAndReportsAFailure) {
    open({p, a, b, c});
    EXPECT_EQ(selected(list), "A"); // the second record
    move("C", "Command1");
    EXPECT_EQ(world.roster(), recordBytes({p, a, c, b}));
    EXPECT_EQ(items(list), "A|C|B");
    EXPECT_EQ(selected(list), "C");

    // A failed rewrite is reported, and the roster and the list stay as they were.
    const auto before = world.files();
    const RewriteStepFailure failing(RewriteStep::Replace, 0);
    move("A", "Command2");
    expectReported(1, "yourfed.hv1");
    EXPECT_EQ(world.files(), before);
    EXPECT_EQ(items(list), "A|C|B");
}

TEST_F(ReorderWindow, MovesWorkInTheSlotInUseNow) {
    open({a, b});
    world.setRoster("save2", {c, b, a});
    context.slot = QStringLiteral("save2");
    move("B", "Command2");
    EXPECT_EQ(world.roster("save2"), recordBytes({c, a, b}));
    EXPECT_EQ(world.roster(), recordBytes({a, b}));
}

} // namespace
} // namespace hv::test
