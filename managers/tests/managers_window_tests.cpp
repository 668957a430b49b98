#include "managers/managers_window.h"
#include "testsupport/window_test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace hv::test {
namespace {

class ManagersWindow : public WindowTest {
protected:
    void open() {
        list =
            child<FilteredList>(showWindow(hv::managers::createManagersWindow(context)), "List1");
    }
    QString text(const char* name) { return child<QLineEdit>(window, name)->text(); }
    QComboBox* sex() { return child<QComboBox>(window, "Combo1"); }
    std::filesystem::path file() const {
        return world.slotFile("save1", "Background/wwfmanagers.hv1");
    }

    FilteredList* list = nullptr;
};

TEST_F(ManagersWindow, ShowsAddsChangesAndDeletesManagersOrSaysWhyThereAreNone) {
    writeFile(file(), std::string(crlf({"Odd", "x", "Wendy", "f", "Odd", "m"})));
    open();
    EXPECT_EQ(items(list), "Odd|Wendy|Odd");
    clickItem(list, "Wendy");
    EXPECT_EQ(sex()->currentText(), QStringLiteral("female"));
    clickItem(list, "Odd"); // the first "Odd", whose code is neither: the sex box stays
    EXPECT_EQ(text("Text1"), QStringLiteral("Odd"));
    EXPECT_EQ(sex()->currentText(), QStringLiteral("female"));

    child<QLineEdit>(window, "Text2")->setText(QStringLiteral("Even"));
    sex()->setEditText(QString());
    clickButton(window, "Command2");
    EXPECT_EQ(readFile(file()), crlf({"Even", "x", "Wendy", "f", "Even", "m"}));
    EXPECT_EQ(items(list), "Even|Wendy|Even");
    EXPECT_EQ(text("Text1") + text("Text2"), QString());

    clickItem(list, "Wendy");
    clickButton(window, "Command1"); // adds, leaving nobody picked
    EXPECT_EQ(selected(list) + text("Text2").toStdString(), "");
    clickItem(list, "Even");
    clickButton(window, "Command3");
    EXPECT_EQ(readFile(file()), crlf({"Wendy", "f", "manager", "m"}));
    EXPECT_EQ(items(list), "Wendy|manager");

    // A federation without managers shows why and offers no change.
    world.setSaveGame("save1", "ECW");
    open();
    EXPECT_EQ(items(list), "");
    EXPECT_TRUE(child<QLabel>(window, "Note")->text().contains(QStringLiteral("\"ECW\"")));
    for (const char* button : {"Command1", "Command2", "Command3"})
        EXPECT_FALSE(child<QPushButton>(window, button)->isEnabled()) << button;
    EXPECT_TRUE(messages.empty());
}

} // namespace
} // namespace hv::test
