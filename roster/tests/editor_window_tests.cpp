#include "roster/roster_windows.h"
#include "window_test_support.h"

#include "gamefiles/records.h"
#include "gamefiles/temp_rewrite.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <cerrno>
#include <memory>

namespace hv::test {
namespace {

using Lines = std::vector<std::string>;
using Line = WrestlerRecord::Line;

class RosterEditorWindow : public RosterWindowTest {
protected:
    void open() {
        window.reset(hv::roster::createRosterEditor(context));
        window->show();
        list = child<QListWidget>(window.get(), "List1");
    }
    QLineEdit* text(const char* name) { return child<QLineEdit>(window.get(), name); }
    QComboBox* combo(const char* name) { return child<QComboBox>(window.get(), name); }
    QPlainTextEdit* description() { return child<QPlainTextEdit>(window.get(), "Text7"); }
    void type(QLineEdit* box, const QString& value) {
        box->clear();
        QTest::keyClicks(box, value);
    }
    QStringList comboItems(QComboBox* box) {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts.append(box->itemText(i));
        return texts;
    }

    std::unique_ptr<QWidget> window;
    QListWidget* list = nullptr;
};

TEST_F(RosterEditorWindow, OpensWithNamesAndTheOfferedLists) {
    world.setRoster("save1",
                    {placeholderWrestler(), wrestler("A"), wrestler("B"), placeholderWrestler()});
    open();
    EXPECT_EQ(window->objectName(), QStringLiteral("save"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Editing Roster"));
    EXPECT_EQ(items(list), names({"A", "B"}));
    EXPECT_EQ(comboItems(combo("Combo1")),
              names({"Upper Carder", "Middle Carder", "Lower Carder"}));
    EXPECT_EQ(comboItems(combo("Combo2")), names({"Face", "Heel"}));
    EXPECT_EQ(comboItems(combo("Combo3")), names({"Power Move", "Submission"}));
    EXPECT_EQ(comboItems(combo("Combo4")), names({"no", "Wally Manager", "Wendy Manager"}));
    EXPECT_EQ(combo("Combo5")->count(), 9);
    for (const char* name : {"Combo1", "Combo2", "Combo3", "Combo4", "Combo5"})
        EXPECT_TRUE(combo(name)->currentText().isEmpty()) << name;
    EXPECT_EQ(text("hid")->text(), QStringLiteral("save1"));
    EXPECT_FALSE(text("Text1")->isVisible());
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(RosterEditorWindow, ManagersFollowTheFederation) {
    world.setSaveGame("save1", "WCW");
    open();
    EXPECT_EQ(comboItems(combo("Combo4")), names({"no", "Carl Manager"}));

    world.setSaveGame("save1", "ECW");
    open();
    EXPECT_EQ(comboItems(combo("Combo4")), names({"no"}));

    world.setSaveGame("save1", "WWF");
    writeFile(world.slotFile("save1", "Background/wwfmanagers.hv1"), "");
    open();
    EXPECT_EQ(comboItems(combo("Combo4")), names({"no"}));
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(RosterEditorWindow, AClickShowsTheFirstRecordOfThatName) {
    world.setRoster("save1", {wrestler("A", " 2 "), withLine(wrestler("A", "3"), Line::Draw, "99"),
                              withLine(wrestler("B", "9"), Line::FinisherType, "P")});
    open();
    clickItem(list, QStringLiteral("A"));
    EXPECT_EQ(text("Text1")->text(), QStringLiteral("A"));
    EXPECT_EQ(text("Text2")->text(), QStringLiteral("A"));
    EXPECT_EQ(text("Text3")->text(), QStringLiteral("50"));
    EXPECT_EQ(description()->toPlainText(), QStringLiteral("A description"));
    EXPECT_EQ(combo("Combo1")->currentText(), QStringLiteral("Middle Carder"));
    EXPECT_EQ(combo("Combo3")->currentText(), QStringLiteral("Power Move"));
    EXPECT_EQ(combo("Combo5")->currentText(), QStringLiteral("Technical Wrestler"));
    EXPECT_EQ(text("Text14")->text(), QStringLiteral("8"));

    // Codes that are none of the offered ones are shown as stored, not left from before.
    clickItem(list, QStringLiteral("B"));
    EXPECT_EQ(combo("Combo1")->currentText(), QStringLiteral("9"));
    EXPECT_EQ(combo("Combo3")->currentText(), QStringLiteral("P"));
}

TEST_F(RosterEditorWindow, ApplyRenamesThroughTheOldNameAndEmptiesTheBoxes) {
    world.setRoster("save1",
                    {placeholderWrestler(), wrestler("Old"), wrestler("Old"), wrestler("B")});
    open();
    clickItem(list, QStringLiteral("Old"));
    type(text("Text2"), QStringLiteral("New"));
    combo("Combo1")->setCurrentText(QStringLiteral("Upper Carder"));
    text("Text10")->clear();
    text("Text13")->clear();
    combo("Combo4")->setCurrentText(QString());
    clickButton(window.get(), "Command1");

    Lines changed = withLine(withLine(wrestler("Old"), Line::Name, "New"), Line::Carder, " 3 ");
    changed[Line::Manager] = "";
    EXPECT_EQ(roster(), recordBytes({placeholderWrestler(), changed, changed, wrestler("B")}));
    EXPECT_EQ(items(list), names({"New", "New", "B"}));
    EXPECT_TRUE(text("Text1")->text().isEmpty());
    EXPECT_TRUE(text("Text2")->text().isEmpty());
    EXPECT_TRUE(description()->toPlainText().isEmpty());
    EXPECT_TRUE(combo("Combo5")->currentText().isEmpty());
    EXPECT_EQ(combo("Combo5")->count(), 9);
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(RosterEditorWindow, ApplyKeepsTheCarderLineForTextThatIsNoCarder) {
    world.setRoster("save1", {wrestler("A", " 1")});
    open();
    clickItem(list, QStringLiteral("A"));
    combo("Combo1")->setCurrentText(QStringLiteral("Main Eventer"));
    clickButton(window.get(), "Command1");
    EXPECT_EQ(roster(), recordBytes({wrestler("A", " 1")}));
}

TEST_F(RosterEditorWindow, LineBreaksNeverReachTheFile) {
    world.setRoster("save1", {wrestler("A")});
    open();
    clickItem(list, QStringLiteral("A"));

    description()->clear();
    QTest::keyClicks(description(), QStringLiteral("Tall"));
    QTest::keyClick(description(), Qt::Key_Return);
    QTest::keyClick(description(), Qt::Key_Return);
    QTest::keyClicks(description(), QStringLiteral("and strong"));
    description()->appendPlainText(QStringLiteral("pasted\r\nline"));

    QApplication::clipboard()->setText(QStringLiteral("Big\r\n\r\nShow\n"));
    text("Text2")->clear();
    text("Text2")->paste();
    EXPECT_FALSE(text("Text2")->text().contains(QLatin1Char('\n')));
    text("Text9")->setText(QStringLiteral("Chokeslam\nfrom hell"));
    QTest::keyClick(text("Text9"), Qt::Key_Return);
    combo("Combo5")->lineEdit()->clear();
    combo("Combo5")->lineEdit()->paste();
    EXPECT_EQ(combo("Combo5")->count(), 9);
    clickButton(window.get(), "Command1");

    Lines expected = withLine(wrestler("A"), Line::Carder, " 2 ");
    expected[Line::Name] = "Big Show ";
    expected[Line::Description] = "Tall and strong pasted line";
    expected[Line::Finisher] = "Chokeslam from hell";
    expected[Line::Style] = "Big Show ";
    EXPECT_EQ(roster(), recordBytes({expected}));
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(RosterEditorWindow, ACharacterTheFileCannotHoldIsRefusedNamingTheBox) {
    world.setRoster("save1", {wrestler("A")});
    open();
    const auto before = snapshot(world.root.path());
    clickItem(list, QStringLiteral("A"));
    text("Text9")->setText(QStringLiteral("Dragon ") + QChar(0x9F8D));
    clickButton(window.get(), "Command1");

    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_TRUE(messages.texts[0].contains(QStringLiteral("Finsher")))
        << messages.texts[0].toStdString();
    EXPECT_EQ(snapshot(world.root.path()), before);
    // The boxes keep what was typed, so the user can correct it.
    EXPECT_EQ(text("Text1")->text(), QStringLiteral("A"));
}

TEST_F(RosterEditorWindow, AddAndDeleteRefillTheListWithNothingSelected) {
    world.setRoster("save1", {wrestler("A"), placeholderWrestler(), wrestler("B"), wrestler("A")});
    open();
    clickItem(list, QStringLiteral("B"));
    clickButton(window.get(), "Command2");
    const Lines blank = blankWrestlerLines();
    EXPECT_EQ(roster(), recordBytes({wrestler("A"), placeholderWrestler(), wrestler("B"),
                                     wrestler("A"), blank}));
    EXPECT_EQ(items(list), names({"A", "B", "A", "Your Wrestler"}));
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_EQ(text("Text2")->text(), QStringLiteral("B")); // the boxes keep what they showed

    const auto unchanged = snapshot(world.root.path());
    clickButton(window.get(), "Command3"); // nothing selected
    EXPECT_EQ(snapshot(world.root.path()), unchanged);

    clickItem(list, QStringLiteral("A"));
    clickButton(window.get(), "Command3");
    EXPECT_EQ(roster(), recordBytes({placeholderWrestler(), wrestler("B"), blank}));
    EXPECT_EQ(items(list), names({"B", "Your Wrestler"}));
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(RosterEditorWindow, ApplyWithNoWrestlerShownWritesNothing) {
    world.setRoster("save1", {wrestler("A"), withLine(wrestler(""), Line::Draw, "1")});
    open();
    const auto before = snapshot(world.root.path());
    type(text("Text3"), QStringLiteral("77"));
    clickButton(window.get(), "Command1");
    EXPECT_EQ(snapshot(world.root.path()), before);
    EXPECT_TRUE(text("Text3")->text().isEmpty());
}

TEST_F(RosterEditorWindow, UnreadableFilesAreReportedAndTheWindowStaysUsable) {
    std::string truncated = recordBytes({wrestler("A"), wrestler("B")});
    truncated.resize(truncated.size() - 5);
    writeFile(rosterFile(), truncated);
    std::filesystem::remove(world.slotFile("save1", "Saved Game/save1.hv1"));
    const auto before = snapshot(world.root.path());
    open();

    ASSERT_EQ(messages.texts.size(), 2u);
    EXPECT_TRUE(messages.texts[0].contains(QStringLiteral("yourfed.hv1")))
        << messages.texts[0].toStdString();
    EXPECT_TRUE(messages.texts[0].contains(QStringLiteral("ends inside a record")));
    EXPECT_TRUE(messages.texts[1].contains(QStringLiteral("save1.hv1")))
        << messages.texts[1].toStdString();
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(comboItems(combo("Combo4")), names({"no"}));

    clickButton(window.get(), "Command2");
    EXPECT_EQ(messages.texts.size(), 3u);
    EXPECT_EQ(snapshot(world.root.path()), before);

    world.setRoster("save1", {wrestler("A")});
    clickButton(window.get(), "Command2");
    EXPECT_EQ(items(list), names({"A", "Your Wrestler"}));
}

TEST_F(RosterEditorWindow, AFailedRewriteIsReportedAndTheRosterIsUnchanged) {
    world.setRoster("save1", {placeholderWrestler(), wrestler("A")});
    open();
    const auto before = snapshot(world.root.path());
    clickItem(list, QStringLiteral("A"));
    type(text("Text3"), QStringLiteral("77"));
    rewriteSyscalls().rename = [](const char*, const char*) {
        errno = EIO;
        return -1;
    };
    clickButton(window.get(), "Command1");
    clickButton(window.get(), "Command2");
    clickItem(list, QStringLiteral("A"));
    clickButton(window.get(), "Command3");
    resetRewriteSyscalls();

    EXPECT_EQ(snapshot(world.root.path()), before);
    ASSERT_EQ(messages.texts.size(), 3u);
    for (const auto& message : messages.texts)
        EXPECT_TRUE(message.contains(QStringLiteral("yourfed.hv1"))) << message.toStdString();
    EXPECT_EQ(items(list), names({"A"}));
}

} // namespace
} // namespace hv::test
