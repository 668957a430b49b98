#include "otherfeds/otherfeds_windows.h"
#include "testsupport/rewrite_steps.h"
#include "testsupport/window_test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace hv::test {
namespace {

using Lines = std::vector<std::string>;

class TradingWindow : public WindowTest {
protected:
    std::filesystem::path file(const char* name) const {
        return world.slotFile("save1", std::string("Background/") + name + ".hv1");
    }
    void open() {
        showWindow(otherfeds::createTradingWindow(context, [] { return 0.3; }));
    }
    std::string list(const char* name) { return items(child<FilteredList>(window, name)); }
    template <class T = QLabel> std::string text(const char* name) {
        return child<T>(window, name)->text().toStdString();
    }
    QComboBox* combo() { return child<QComboBox>(window, "Combo3"); }
};

TEST_F(TradingWindow, ShowsTheOtherBigFederationOfTheSaveGameOrSaysThereIsNone) {
    world.setRoster("save1", {wrestler("zed"), placeholderWrestler(), wrestler("Amy")});
    writeFile(file("wcw"),
              recordBytes({rivalWrestler("Rex"), rivalWrestler("name"), rivalWrestler("bob")}));
    writeFile(file("wwf"), recordBytes({rivalWrestler("Wes")}));
    for (auto [federation, other, names, wwtran] :
         {std::tuple{"WWF", "WCW", "bob|Rex", "WCW"},
          {"WCW", "WWF", "Wes", "WWF"},
          {"wwf", "No other big federation", "", "W??"}}) {
        const bool none = *names == 0;
        if (none) // and neither file is opened
            std::filesystem::remove(file("wwf")), std::filesystem::remove(file("wcw"));
        world.setSaveGame("save1", federation);
        open();
        EXPECT_EQ(text("Label1") + text("Label2"), std::string(federation) + other);
        EXPECT_EQ(list("List1") + "/" + list("List2"), std::string("Amy|zed/") + names);
        EXPECT_EQ(text<QPushButton>("yftran3") + text<QPushButton>("wwtran2"),
                  std::string(federation) + wwtran);
        int off = 0; // the six that involve the other big federation
        for (auto* button : window->findChildren<QPushButton*>())
            off += button->isEnabled() ? 0 : 1;
        EXPECT_EQ(off, none ? 6 : 0);
        EXPECT_EQ(child<QPushButton>(window, "ecwtran2")->isEnabled(), !none);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(TradingWindow, MovesIntoTheRosterUnderTheChosenNameAndRebuildsTheLists) {
    writeFile(file("ecw"),
              recordBytes({rivalWrestler("Ace", "Masked Ace"), rivalWrestler("Plain")}));
    world.setRoster("save1", {wrestler("Own")});
    open();
    auto* list3 = child<FilteredList>(window, "List3");
    auto* years = child<QLineEdit>(window, "cont1");
    clickButton(window, "yftran2");
    expectReported(1, "ECW list");
    clickItem(list3, "Plain");
    EXPECT_EQ(combo()->count(), 1);
    clickItem(list3, "Ace");
    ASSERT_EQ(combo()->count(), 2);
    EXPECT_EQ(combo()->currentText().toStdString(), "Ace");
    combo()->setCurrentIndex(1);
    years->setText(QStringLiteral("x"));
    clickButton(window, "yftran2");
    expectReported(2, "How many years?");

    years->setText(QStringLiteral("3"));
    context.slot = QStringLiteral("save2"); // the window keeps the slot it was loaded with
    clickButton(window, "yftran2");
    EXPECT_NE(world.roster().find(crlf({"Heel", "March 102", "Ace Bomb"})), std::string::npos);
    EXPECT_EQ(list("List1") + "/" + list("List3"), "Masked Ace|Own/Plain");
    for (const char* name : {"Combo2", "Combo3", "Combo4"})
        EXPECT_TRUE(child<QComboBox>(window, name)->currentText().isEmpty()) << name;
    EXPECT_EQ(years->text().toStdString(), "3");

    clickItem(child<FilteredList>(window, "List1"), "Own");
    clickButton(window, "ecwtran1"); // the injected draw 0.3 gives potential 7
    EXPECT_NE(readFile(file("ecw")).find(crlf({"2", " 7 ", "no"})), std::string::npos);

    // Failed halfway, and the first file not put back either (the disk stays full): the
    // message names the restore point that mends it, and the lists show the files as they are.
    clickItem(list3, "Plain");
    {
        const RewriteStepFailure full(RewriteStep::Replace, 2, true);
        clickButton(window, "indytran3");
    }
    expectReported(3, "restore point");
    EXPECT_EQ(list("List3") + "/" + list("List4"), "Own|Plain/Plain");
}

} // namespace
} // namespace hv::test
