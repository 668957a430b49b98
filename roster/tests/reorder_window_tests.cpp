#include "roster/roster_windows.h"
#include "window_test_support.h"

#include "gamefiles/temp_rewrite.h"

#include <QLineEdit>

#include <cerrno>
#include <memory>

namespace hv::test {
namespace {

using Lines = std::vector<std::string>;

class ReorderWindow : public RosterWindowTest {
protected:
    void open(const std::vector<Lines>& records) {
        world.setRoster("save1", records);
        window.reset(hv::roster::createReorderWindow(context));
        window->show();
        list = child<QListWidget>(window.get(), "List1");
    }
    void move(const char* name, const char* button) {
        clickItem(list, QString::fromLatin1(name));
        clickButton(window.get(), button);
    }
    void up(const char* name) { move(name, "Command1"); }
    void down(const char* name) { move(name, "Command2"); }

    std::unique_ptr<QWidget> window;
    QListWidget* list = nullptr;
};

TEST_F(ReorderWindow, OpensWithTheSecondRecordSelectedAndMovesPastTheTopNever) {
    const auto p = placeholderWrestler();
    const auto a = wrestler("A"), b = wrestler("B"), c = wrestler("C");
    open({p, a, b, c});
    EXPECT_EQ(window->objectName(), QStringLiteral("reorder"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Re Order your Roster"));
    EXPECT_EQ(selected(list), QStringLiteral("A"));
    EXPECT_EQ(child<QLineEdit>(window.get(), "Text2")->text(), QStringLiteral("4"));

    clickButton(window.get(), "Command1"); // Up on A, which follows the placeholder
    EXPECT_EQ(roster(), recordBytes({p, a, b, c}));
    EXPECT_EQ(selected(list), QStringLiteral("A"));

    up("C");
    EXPECT_EQ(roster(), recordBytes({p, a, c, b}));
    EXPECT_EQ(items(list), names({"A", "C", "B"}));
    EXPECT_EQ(selected(list), QStringLiteral("C"));

    down("B"); // the last record
    EXPECT_EQ(roster(), recordBytes({p, a, c, b}));
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(ReorderWindow, TheSecondRecordDoesNotMoveUpButTheFirstMovesDown) {
    const auto a = wrestler("A"), b = wrestler("B"), c = wrestler("C");
    open({a, b, c});
    EXPECT_EQ(selected(list), QStringLiteral("B"));
    up("B");
    EXPECT_EQ(roster(), recordBytes({a, b, c}));
    down("A");
    EXPECT_EQ(roster(), recordBytes({b, a, c}));
    EXPECT_EQ(selected(list), QStringLiteral("A"));
}

TEST_F(ReorderWindow, AWrestlerMovesPastAPlaceholderTheListDoesNotShow) {
    const auto a = wrestler("A"), b = wrestler("B"), p = placeholderWrestler();
    open({a, p, b});
    EXPECT_EQ(selected(list), QStringLiteral("A"));
    up("B");
    EXPECT_EQ(roster(), recordBytes({a, b, p}));
    EXPECT_EQ(items(list), names({"A", "B"}));
    EXPECT_EQ(selected(list), QStringLiteral("B"));
}

TEST_F(ReorderWindow, MovesWorkOnTheFileAsItIsNowInTheSlotInUse) {
    const auto a = wrestler("A"), b = wrestler("B"), c = wrestler("C");
    open({a, b});
    world.setRoster("save1", {a, b, c}); // grown since the window loaded
    down("B");
    EXPECT_EQ(roster(), recordBytes({a, c, b}));

    world.setRoster("save2", {c, b, a});
    context.slot = QStringLiteral("save2");
    down("B");
    EXPECT_EQ(roster("save2"), recordBytes({c, a, b}));
    EXPECT_EQ(roster(), recordBytes({a, c, b}));
}

TEST_F(ReorderWindow, AFailedRewriteIsReportedAndTheRosterIsUnchanged) {
    open({wrestler("A"), wrestler("B"), wrestler("C")});
    const auto before = snapshot(world.root.path());
    rewriteSyscalls().rename = [](const char*, const char*) {
        errno = EIO;
        return -1;
    };
    down("A");
    resetRewriteSyscalls();
    EXPECT_EQ(snapshot(world.root.path()), before);
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_TRUE(messages.texts[0].contains(QStringLiteral("yourfed.hv1")))
        << messages.texts[0].toStdString();
    EXPECT_EQ(items(list), names({"A", "B", "C"}));
}

} // namespace
} // namespace hv::test
