#include "savegame/savegame_windows.h"
#include "testsupport/window_test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace hv::test {
namespace {

using Lines = std::vector<std::string>;

class SaveGameWindow : public WindowTest {
protected:
    SaveGameWindow() {
        lines.resize(30, " 33023 ");
        lines.push_back("game data");
        for (std::size_t f = 0; f < 5; ++f) {
            lines[15 + f] = feudTexts[f];
            lines[21 + 2 * f] = feudLevels[f];
        }
        writeFile(saveFile(), crlf(lines));
    }
    std::filesystem::path saveFile(std::string_view slot = "save1") const {
        return world.slotFile(slot, "Saved Game/save1.hv1");
    }
    template <class T> T* box(const char* name) { return child<T>(window, name); }

    Lines feudTexts = {" \"A\" vs \"B, again\" ", "", "C vs D", "<b>E</b> vs F", "G vs H"};
    Lines feudLevels = {" 100 ", " 15 ", "9", "10600", "many"};
    Lines lines = {"Cole",          "WCW",    "Munday", "12",  "March", "99",  "250000", "Ann",
                   "Gone Wrestler", "Vacant", "Vacant", "Bob", "Team",  "One", "Two"};
};

TEST_F(SaveGameWindow, FedEditWritesItsOwnSlotAndRefreshesTheMainWindow) {
    writeFile(saveFile("save2"), crlf(lines));
    context.slot = QStringLiteral("save2");
    showWindow(savegame::createFedEditWindow(context));
    context.slot = QStringLiteral("save1"); // the main window moved on; the editor stays
    EXPECT_EQ(box<QLineEdit>("Text1")->text(), QStringLiteral("Second Slot"));
    // Not one of the days: shown as stored.
    EXPECT_EQ(box<QComboBox>("Combo1")->currentText(), QStringLiteral("Munday"));

    box<QLineEdit>("Text1")->setText(QStringLiteral("Renamed\nslot"));
    box<QLineEdit>("Text2")->setText(QStringLiteral("€5")); // the files' byte 0x80
    clickButton(window, "Command1");

    EXPECT_EQ(readFile(world.game / "saveslots.hv1"),
              crlf({"First Slot", "Renamed slot", "No Saved Game", "Fourth Slot"}));
    lines[0] = "\x80"
               "5";
    EXPECT_EQ(readFile(saveFile("save2")), crlf(lines));
    EXPECT_EQ(context.reloads, 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(box<QLineEdit>("hid")->text(), QStringLiteral("save2"));

    // A character the files cannot hold is refused, naming the box; nothing is written.
    // So is a bank account that is no number.
    const auto before = world.files();
    box<QLineEdit>("Text4")->setText(QStringLiteral("lots"));
    clickButton(window, "Command1");
    expectReported(1, "Fed's bank account $");
    box<QLineEdit>("Text4")->setText(QStringLiteral("250000"));
    box<QLineEdit>("Text2")->setText(QStringLiteral("Cole ☃"));
    clickButton(window, "Command1");
    expectReported(2, "Commish's name");
    EXPECT_EQ(world.files(), before);
    EXPECT_EQ(context.reloads, 1);
}

TEST_F(SaveGameWindow, TitlesShowTheFederationsTitlesAndWriteLinesEightToTwelve) {
    world.setRoster("save1", {wrestler("Ann"), placeholderWrestler(), wrestler("Bob")});
    showWindow(hv::savegame::createTitlesWindow(context));
    EXPECT_EQ(box<QComboBox>("Combo2")->currentText(), QStringLiteral("Gone Wrestler"));
    EXPECT_EQ(box<QComboBox>("Combo5")->itemText(2), QStringLiteral("Bob"));
    EXPECT_EQ(box<QComboBox>("Combo5")->count(), 3);

    box<QComboBox>("Combo2")->setCurrentIndex(0);
    box<QComboBox>("Combo3")->setEditText(QStringLiteral("Someone, typed"));
    box<QComboBox>("Combo4")->clearEditText();
    QTest::keyClicks(box<QComboBox>("Combo4")->lineEdit(), QStringLiteral("vacant")); // as typed
    QTest::keyClick(box<QComboBox>("Combo4")->lineEdit(), Qt::Key_Return);
    clickButton(window, "Command1");
    lines[8] = "Vacant";
    lines[9] = "Someone, typed";
    lines[10] = "vacant";
    EXPECT_EQ(readFile(saveFile()), crlf(lines));
    EXPECT_TRUE(messages.empty());
}

TEST_F(SaveGameWindow, FeudsAreDeletedOnlyOnYesAndWrittenOnlyOnApply) {
    showWindow(hv::savegame::createFeudWindow(context));
    QScrollBar* bars[5];
    for (int f = 0; f < 5; ++f)
        bars[f] = child<QScrollBar>(window, ("HScroll" + std::to_string(f + 1)).c_str());
    EXPECT_EQ(box<QLabel>("Label1")->text(), QStringLiteral("A\" vs \"B, again"));
    EXPECT_FALSE(bars[1]->isEnabled()); // empty feud
    EXPECT_EQ(bars[2]->value(), 15);    // stored 9
    EXPECT_TRUE(box<QLabel>("Note")->text().contains(QStringLiteral("Feud 5 (\"G vs H\")")));

    answer = false;
    QTest::mouseClick(box<QLabel>("Label3"), Qt::LeftButton);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].contains(QStringLiteral("C vs D")));
    EXPECT_EQ(box<QLabel>("Label3")->text(), QStringLiteral("C vs D"));
    answer = true;
    bars[0]->triggerAction(QAbstractSlider::SliderPageStepAdd);
    bars[3]->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QTest::mouseClick(box<QLabel>("Label5"), Qt::LeftButton);
    EXPECT_EQ(box<QLabel>("Label5")->text(), QString());
    EXPECT_FALSE(bars[4]->isEnabled());
    EXPECT_EQ(readFile(saveFile()), crlf(lines)); // nothing written before Apply

    clickButton(window, "Command1");
    // The feuds not deleted keep their lines byte for byte, blanks and quotes included.
    const Lines levels = {" 101 ", " 15 ", " 15 ", " 10599 ", " 15 "};
    lines[19] = "";
    for (std::size_t f = 0; f < 5; ++f)
        lines[21 + 2 * f] = levels[f];
    EXPECT_EQ(readFile(saveFile()), crlf(lines));

    // A save too short to load is reported, and Apply cannot write the design captions.
    writeFile(saveFile(), crlf(Lines(lines.begin(), lines.begin() + 29)));
    showWindow(hv::savegame::createFeudWindow(context));
    expectReported(1, "save1.hv1");
    EXPECT_FALSE(box<QPushButton>("Command1")->isEnabled());
}

} // namespace
} // namespace hv::test
