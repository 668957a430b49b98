#include "table/table_windows.h"
#include "testsupport/window_test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

namespace hv::test {
namespace {

using Lines = std::vector<std::string>;
using namespace Qt::StringLiterals;

class TableWindow : public WindowTest {
protected:
    void open(const std::vector<Lines>& records, int federation = 0) {
        world.setRoster("save1", records);
        showWindow(table::createRosterTable(context));
        if (federation != 0)
            child<QComboBox>(window, "Combo1")->setCurrentIndex(federation);
        view = child<QTableView>(window, "table");
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        view->setFocus();
    }
    QModelIndex cell(int row, int column) { return view->model()->index(row, column); }
    // Types `text` into a cell, as the user does: the first key starts the edit.
    void type(int row, int column, const QString& text) {
        view->setCurrentIndex(cell(row, column));
        QTest::keyClicks(view, text.left(1));
        QTest::keyClicks(window->focusWidget(), text.mid(1)); // into the box the key opened
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
        QApplication::processEvents(); // the edit is committed from the event loop
    }
    QString shown(int row, int column) { return cell(row, column).data().toString(); }
    QString label(const char* name) { return child<QLabel>(window, name)->text(); }
    void keys(QKeySequence keys) { QTest::keySequence(view, keys); }
    void apply() { clickButton(window, "Command1"); }

    QTableView* view = nullptr;
};

// What a field of each kind is given through the table, and the line it then stores.
struct FieldCase {
    std::string_view name;
    const char* typed;
    std::string stored;
};
const FieldCase kGiven[] = {
    {"name", "Newman", "Newman"},        {"carder", "Upper Carder", " 3 "},
    {"alignment", "Heel", "Heel"},       {"finishertype", "Submission", "s"},
    {"style", "Hardcore", "Hardcore"},   {"manager", "Wally Manager", "Wally Manager"},
    {"tagteam", "The Pair", "The Pair"},
};

TEST_F(TableWindow, EveryFieldOfBothKindsEditedThroughTheTableChangesExactlyItsLine) {
    for (const auto kind : {table::RecordKind::Wrestler, table::RecordKind::Rival}) {
        const bool own = kind == table::RecordKind::Wrestler;
        Lines before = wrestler("Axe");
        if (!own) // his alignment, finisher type and style unlike those given below
            before = withLine(withLine(withLine(rivalWrestler("Axe"), 9, "Face"), 13, "p"), 14, "");
        const auto file = own ? world.rosterFile() : world.slotFile("save1", "Background/ecw.hv1");
        for (const Field& field : table::tableFields(kind)) {
            SCOPED_TRACE(std::string(field.name));
            writeFile(file, recordBytes({before}));
            open({own ? before : wrestler("Other")}, own ? 0 : 2);
            FieldCase given{field.name, "61", "61"};
            if (field.kind == FieldKind::Text)
                given = {field.name, "Edited", "Edited"};
            for (const FieldCase& c : kGiven)
                if (c.name == field.name)
                    given = c;
            type(0, int(field.line) + 1, QString::fromLatin1(given.typed));
            EXPECT_EQ(label("pending"), u"1 pending change"_s);
            apply();
            EXPECT_EQ(readFile(file), recordBytes({withLine(before, field.line, given.stored)}));
            EXPECT_EQ(shown(0, int(field.line) + 1), QString::fromLatin1(given.typed)); // as saved
            EXPECT_TRUE(label("StatusLine").startsWith(u"Saved "_s));
            if (field.kind == FieldKind::Number) { // a number box refuses what is no number
                type(0, int(field.line) + 1, u"60a"_s);
                expectReported(1, "is not a number: \"60a\"");
                messages.clear();
                EXPECT_EQ(label("pending"), u"No pending changes"_s);
            }
        }
    }
    EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
}

TEST_F(TableWindow, UntouchedSortedOrFilteredApplyWritesNothing) {
    open({placeholderWrestler(), withLine(wrestler("Bo"), 12, "90"), wrestler("Al"),
          withLine(wrestler("Cy"), 12, "9")});
    const auto files = world.files();
    EXPECT_EQ(label("count"), u"3 of 3 wrestlers"_s);
    // A click on the Morale header sorts by the number, not the text ("9" before "75").
    QHeaderView* header = view->horizontalHeader();
    view->scrollTo(cell(0, 13));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(13) + 5, 5));
    EXPECT_EQ(shown(0, 1) + shown(3, 1), u"CyBo"_s);
    QTest::keyClicks(child<QLineEdit>(window, "Filter1"), u"Y"_s);
    EXPECT_EQ(label("count"), u"1 of 3 wrestlers"_s);
    child<QLineEdit>(window, "Filter1")->clear();
    QTest::keyClicks(child<QLineEdit>(window, "where"), u"morale>=75, carder=middle carder"_s);
    EXPECT_EQ(label("count"), u"2 of 3 wrestlers"_s);
    EXPECT_EQ(shown(0, 1) + shown(1, 1), u"AlBo"_s);
    QTest::keyClicks(child<QLineEdit>(window, "where"), u"x"_s); // no number: told, no filter
    EXPECT_FALSE(label("whereProblem").isEmpty());
    EXPECT_EQ(label("count"), u"3 of 3 wrestlers"_s);
    apply();
    EXPECT_EQ(label("StatusLine"), u"Nothing changed"_s);
    EXPECT_EQ(world.files(), files);
    EXPECT_TRUE(messages.empty());
}

TEST_F(TableWindow, APastedBlockFillsFromTheCurrentCellSkippingPlaceholdersAndTheEdge) {
    open({wrestler("A"), placeholderWrestler(), wrestler("B"), wrestler("C")});
    QApplication::clipboard()->setText(u"70\t71\r\n72\t73\r\n74\t75\r\n"_s);
    view->setCurrentIndex(cell(0, 2));
    keys(QKeySequence::Paste);
    EXPECT_EQ(shown(0, 2) + shown(0, 3) + shown(1, 2) + shown(2, 2) + shown(2, 3),
              u"707150"_s + u"7475"_s);
    view->setCurrentIndex(cell(3, 19)); // the last column: the second value goes nowhere
    QApplication::clipboard()->setText(u"9\t9"_s);
    keys(QKeySequence::Paste);
    QApplication::clipboard()->setText(u"9\tx"_s); // refused: nothing of the block is taken
    view->setCurrentIndex(cell(3, 1));
    keys(QKeySequence::Paste);
    expectReported(1, "is not a number");
    EXPECT_EQ(label("pending"), u"5 pending changes"_s);
    // Ctrl+C copies the selected cells as they show, tab-separated.
    view->selectionModel()->select(QItemSelection(cell(0, 1), cell(0, 3)),
                                   QItemSelectionModel::ClearAndSelect);
    keys(QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), u"A\t70\t71\n"_s);
    apply();
    EXPECT_EQ(world.roster(), recordBytes({withLine(withLine(wrestler("A"), 1, "70"), 2, "71"),
                                           placeholderWrestler(),
                                           withLine(withLine(wrestler("B"), 1, "74"), 2, "75"),
                                           withLine(wrestler("C"), 18, "9")}));
}

TEST_F(TableWindow, AChangeMadeMeanwhileIsKeptUnlessTheCellWasEditedThenItConflicts) {
    open({wrestler("A"), wrestler("B")});
    type(0, 13, u"40"_s); // A's morale
    // Meanwhile the game gives B another morale: kept.
    world.setRoster("save1", {wrestler("A"), withLine(wrestler("B"), 12, "20")});
    apply();
    EXPECT_EQ(world.roster(),
              recordBytes({withLine(wrestler("A"), 12, "40"), withLine(wrestler("B"), 12, "20")}));
    // Read again, not taken for the bytes shown; the next key goes where the last went.
    EXPECT_EQ(shown(1, 13), u"20"_s);
    EXPECT_EQ(view->currentIndex(), cell(0, 13));
    type(1, 2, u"99"_s); // B's draw, changed meanwhile too: nothing is written
    const std::string meanwhile = recordBytes(
        {withLine(wrestler("A"), 12, "40"), withLine(withLine(wrestler("B"), 12, "20"), 1, "7")});
    writeFile(world.rosterFile(), meanwhile);
    apply();
    expectReported(1, "row 2 (B): Draw: yours \"99\", read \"50\", now \"7\"");
    EXPECT_EQ(world.roster(), meanwhile);
}

TEST_F(TableWindow, PendingEditsUndoRedoAndRevertAndSetFieldGivesSelectedRowsOneValue) {
    open({wrestler("A"), wrestler("B"), wrestler("C")});
    const std::string before = world.roster();
    type(0, 2, u"11"_s);
    type(1, 2, u"12"_s);
    type(1, 2, u"50"_s); // back as read: no change
    EXPECT_EQ(label("pending"), u"1 pending change"_s);
    keys(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(shown(1, 2), u"12"_s);
    keys(QKeySequence(Qt::CTRL | Qt::Key_Z));
    keys(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(label("pending"), u"No pending changes"_s);
    keys(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(shown(0, 2), u"11"_s);
    clickButton(window, "revert");
    EXPECT_EQ(shown(0, 2), u"50"_s);

    view->selectionModel()->select(QItemSelection(cell(0, 0), cell(1, 0)),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    clickButton(window, "setField");
    auto* dialog = window->findChild<QDialog*>(u"setFieldDialog"_s);
    ASSERT_NE(dialog, nullptr);
    child<QComboBox>(dialog, "field")->setCurrentIndex(WrestlerRecord::Morale);
    QTest::keyClicks(child<QLineEdit>(dialog, "value"), u"-80"_s);
    QTest::keyClick(child<QLineEdit>(dialog, "value"), Qt::Key_Return);
    EXPECT_EQ(shown(0, 13) + shown(1, 13) + shown(2, 13), u" 0  0 75"_s); // kept at 0
    apply();
    EXPECT_EQ(world.roster(), recordBytes({withLine(wrestler("A"), 12, " 0 "),
                                           withLine(wrestler("B"), 12, " 0 "), wrestler("C")}));
    EXPECT_NE(world.roster(), before);
    EXPECT_TRUE(messages.empty());
}

} // namespace
} // namespace hv::test
