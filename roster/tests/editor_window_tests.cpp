#include "roster/roster_windows.h"
#include "testsupport/rewrite_steps.h"
#include "testsupport/window_test_support.h"

#include "gamefiles/records.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace hv::test {
namespace {

using Lines = std::vector<std::string>;
using Line = WrestlerRecord::Line;

class RosterEditorWindow : public WindowTest {
protected:
    // Opens the editor on these records and clicks the wrestler `shown`, if any.
    void open(const std::vector<Lines>& records, const char* shown = nullptr) {
        world.setRoster("save1", records);
        openOnFiles();
        if (shown != nullptr)
            clickItem(list, shown);
    }
    void openOnFiles() {
        list = child<FilteredList>(showWindow(hv::roster::createRosterEditor(context)), "List1");
    }
    QLineEdit* text(const char* name) { return child<QLineEdit>(window, name); }
    QComboBox* combo(const char* name) { return child<QComboBox>(window, name); }
    QPlainTextEdit* description() { return child<QPlainTextEdit>(window, "Text7"); }
    std::string shown(const char* name) { return text(name)->text().toStdString(); }
    std::string choice(const char* name) { return combo(name)->currentText().toStdString(); }
    void click(const char* button) { clickButton(window, button); }

    FilteredList* list = nullptr;
};

TEST_F(RosterEditorWindow, AClickShowsTheFirstRecordOfThatName) {
    Lines b = withLine(wrestler("B", "9"), Line::FinisherType, "P");
    b[Line::Weapon] = "";
    open({placeholderWrestler(), wrestler("A", " 2 "),
          withLine(wrestler("A", "3"), Line::Draw, "99"), b, placeholderWrestler()},
         "A");
    EXPECT_EQ(items(list), "A|A|B");
    EXPECT_EQ(combo("Combo4")->count(), 3); // "no" and the federation's two managers
    EXPECT_EQ(shown("Text1") + "|" + shown("Text3") + "|" + shown("Text15"), "A|50|Chair");
    EXPECT_EQ(choice("Combo1") + "|" + choice("Combo3"), "Middle Carder|Power Move");

    // Codes that are none of the offered ones are shown as stored; nothing is left from before.
    clickItem(list, "B");
    EXPECT_EQ(choice("Combo1") + "|" + choice("Combo3") + "|" + shown("Text15"), "9|P|");
}

TEST_F(RosterEditorWindow, ApplyRenamesThroughTheOldNameAndWithNoWrestlerShownWritesNothing) {
    const Lines unnamed = withLine(wrestler(""), Line::Draw, "1");
    open({placeholderWrestler(), wrestler("Old"), wrestler("B"), unnamed}, "Old");
    text("Text2")->setText(QStringLiteral("New"));
    click("Command1");
    EXPECT_EQ(world.roster(),
              recordBytes({placeholderWrestler(), withLine(wrestler("Old"), Line::Name, "New"),
                           wrestler("B"), unnamed}));
    EXPECT_EQ(items(list), "New|B|");
    EXPECT_EQ(shown("Text1") + shown("Text2") + choice("Combo5"), "");
    EXPECT_TRUE(messages.empty());

    // The boxes were emptied: Apply now has no name to look for, not even the empty one.
    const auto before = world.files();
    QTest::keyClicks(text("Text3"), QStringLiteral("77"));
    click("Command1");
    EXPECT_EQ(world.files(), before);
    EXPECT_EQ(shown("Text3"), "");
}

TEST_F(RosterEditorWindow, LineBreaksNeverReachTheFile) {
    open({wrestler("A")}, "A");
    description()->clear();
    QTest::keyClicks(description(), QStringLiteral("Tall"));
    QTest::keyClick(description(), Qt::Key_Return);
    QTest::keyClick(description(), Qt::Key_Return);
    QTest::keyClicks(description(), QStringLiteral("and strong"));
    description()->appendPlainText(QStringLiteral("pasted\r\nline"));

    QApplication::clipboard()->setText(QStringLiteral("Big\r\n\r\nShow\n"));
    text("Text2")->clear();
    text("Text2")->paste();
    EXPECT_EQ(shown("Text2"), "Big Show "); // turned into blanks at once, in the box too
    text("Text9")->setText(QStringLiteral("Chokeslam\nfrom hell"));
    combo("Combo5")->lineEdit()->clear();
    combo("Combo5")->lineEdit()->paste();
    click("Command1");

    Lines expected = wrestler("A"); // the carder untouched keeps its stored "2"
    expected[Line::Name] = expected[Line::Style] = "Big Show ";
    expected[Line::Description] = "Tall and strong pasted line";
    expected[Line::Finisher] = "Chokeslam from hell";
    EXPECT_EQ(world.roster(), recordBytes({expected}));
    EXPECT_TRUE(messages.empty());
}

TEST_F(RosterEditorWindow, AddAndDeleteRefillTheListWithNothingSelected) {
    open({wrestler("A"), placeholderWrestler(), wrestler("B")}, "B");
    click("Command2");
    EXPECT_EQ(items(list), "A|B|Your Wrestler");
    EXPECT_EQ(selected(list), "");
    clickItem(list, "A");
    click("Command3");
    EXPECT_EQ(world.roster(),
              recordBytes({placeholderWrestler(), wrestler("B"), blankWrestlerLines()}));
    EXPECT_EQ(items(list), "B|Your Wrestler");
    EXPECT_TRUE(messages.empty());
}

TEST_F(RosterEditorWindow, RefusalsAndFailedRewritesAreReportedAndWriteNothing) {
    open({placeholderWrestler(), wrestler("A")}, "A");
    const auto before = world.files();
    text("Text9")->setText(QStringLiteral("Dragon ") + QChar(0x9F8D)); // not in the 8-bit set
    click("Command1");
    expectReported(1, "Finsher");
    // The boxes keep what was typed, to be corrected, and he stays the one picked.
    EXPECT_EQ(shown("Text1") + selected(list), "AA");
    text("Text9")->setText(QStringLiteral("Dragon"));

    {
        const RewriteStepFailure failing(RewriteStep::Replace, 0);
        click("Command1");
        click("Command2");
        clickItem(list, "A");
        click("Command3");
    }
    expectReported(4, "yourfed.hv1");
    EXPECT_EQ(world.files(), before);
    EXPECT_EQ(items(list), "A");
}

TEST_F(RosterEditorWindow, UnreadableFilesAreReportedAndTheWindowStaysUsable) {
    std::string truncated = recordBytes({wrestler("A"), wrestler("B")});
    truncated.resize(truncated.size() - 5);
    writeFile(world.rosterFile(), truncated);
    std::filesystem::remove(world.slotFile("save1", "Saved Game/save1.hv1"));
    openOnFiles();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("yourfed.hv1:38: ")))
        << messages[0].toStdString();
    expectReported(2, "save1.hv1");
    EXPECT_EQ(items(list), "");
    EXPECT_EQ(combo("Combo4")->count(), 1);

    world.setRoster("save1", {wrestler("A")});
    click("Command2");
    EXPECT_EQ(items(list), "A|Your Wrestler");
}

TEST_F(RosterEditorWindow, CsvExportAndImportThroughTheDialogs) {
    open({placeholderWrestler(), wrestler("A"), wrestler("B")});
    const auto csv = world.work / "r.csv";
    const auto through = [&](const char* button, const std::string& bytes = {}) {
        if (!bytes.empty())
            writeFile(csv, bytes);
        ui::setNextOpenFileName(QString::fromStdString(csv.string()));
        click(button);
        return child<QLabel>(window, "StatusLine")->text().toStdString();
    };
    EXPECT_TRUE(through("exportCsv").starts_with("Exported the roster to "));
    const std::string exported = readFile(csv);
    EXPECT_EQ(through("importCsv"), "0 changes from r.csv.");

    std::string renamed = exported;
    renamed.replace(renamed.find("3,\"B\""), 5, "3,\"C\"");
    EXPECT_EQ(through("importCsv", renamed), "Imported 1 change from r.csv. Undo with Restore...");
    EXPECT_EQ(items(list), "A|C");
    const std::string after = world.roster();
    EXPECT_EQ(after, recordBytes({placeholderWrestler(), wrestler("A"),
                                  withLine(wrestler("B"), Line::Name, "C")}));

    through("importCsv", exported.substr(0, exported.find("\r\n3,") + 2));
    expectReported(1, "row 4, column 1");
    EXPECT_EQ(world.roster(), after);
    // The sheet renames B, whom the roster renamed otherwise since: the conflict is listed.
    renamed.replace(renamed.find("3,\"C\""), 5, "3,\"D\"");
    world.setRoster("save1", {placeholderWrestler(), wrestler("A"), wrestler("E")});
    through("importCsv", renamed);
    expectReported(2,
                   "row 4 (B), no longer in the roster: name: sheet \"D\", read \"B\", now \"\"");
}

} // namespace
} // namespace hv::test
