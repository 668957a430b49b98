// The filter boxes over every list of names, export files dropped on the exchange window, and
// files changed on disk under an open window.

#include "exchange/exchange_windows.h"
#include "gamefiles/records.h"
#include "managers/managers_window.h"
#include "otherfeds/otherfeds_windows.h"
#include "roster/roster_windows.h"
#include "savegame/savegame_windows.h"
#include "testsupport/hostile_world.h"
#include "testsupport/window_test_support.h"
#include "ui/file_watch.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QUrl>

namespace hv::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Records = std::vector<Lines>;
using Open = QWidget* (*)(ui::EditorContext&);
using Where = fs::path (*)(const GameWorld&);
using W = WrestlerRecord;

QWidget* trading(ui::EditorContext& context) {
    return otherfeds::createTradingWindow(context, [] { return 0.3; });
}
fs::path rosterAt(const GameWorld& w) {
    return w.rosterFile();
}
fs::path ecwAt(const GameWorld& w) {
    return w.slotFile("save1", "Background/ecw.hv1");
}
fs::path managersAt(const GameWorld& w) {
    return w.slotFile("save1", "Background/wwfmanagers.hv1");
}
fs::path saveAt(const GameWorld& w) {
    return w.slotFile("save1", "Saved Game/save1.hv1");
}
QString qt(const fs::path& file) {
    return QString::fromStdString(file.string());
}

// The rows a user sees.
std::string visible(FilteredList* list) {
    QStringList texts;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        texts.append(list->model()->index(i, 0).data().toString());
    return texts.join(QLatin1Char('|')).toStdString();
}

// Replaces the file as a game's safe save does: a new file renamed over it.
void saveOutside(const fs::path& file, const std::string& bytes) {
    writeFile(file.string() + ".new", bytes);
    fs::rename(file.string() + ".new", file);
}

const Lines p = placeholderWrestler(), axe = wrestler("Axe", "2", "3"),
            blade = wrestler("Blade", "2", "2"), bo = wrestler("Bo Axelson", "2", "4"),
            cy = wrestler("Cy", "2", "1"), dee = wrestler("Dee");
const Records roster = {p, axe, blade, bo};
const Records ecw = {rivalWrestler("Axe Rival"), rivalWrestler("Blade Rival"),
                     rivalWrestler("Bo Axelson Jr")};
const std::string managers = crlf({"Axe Manager", "m", "Blade Manager", "m", "Bo Axelson", "f"});

class FilterAndWatch : public WindowTest {
protected:
    FilterAndWatch() { reset(); }
    ~FilterAndWatch() override {
        delete window.data(); // first: it owns some of the top-level windows below
        for (QWidget* w : QApplication::topLevelWidgets())
            delete w;
    }
    void reset() {
        world.setRoster("save1", roster);
        writeFile(managersAt(world), managers);
        writeFile(ecwAt(world), recordBytes(ecw));
    }
    QWidget* open(Open create) { return showWindow(create(context)); }
};

// The filter folds case both ways and shows every row again once cleared; moves stay on while
// it hides nobody (off under one: the next test).
TEST_F(FilterAndWatch, AFilterThatHidesNobodyLeavesMovesOnAndLeavesTheTeardownAlone) {
    QWidget* w = open(roster::createReorderWindow);
    auto* list = child<FilteredList>(w, "List1");
    auto* filter = child<QLineEdit>(w, "Filter1");
    QTest::keyClicks(filter, QStringLiteral("XEL"));
    EXPECT_EQ(visible(list), "Bo Axelson");
    filter->clear();
    QTest::keyClicks(filter, QStringLiteral("a"));
    EXPECT_EQ(visible(list), items(list));
    EXPECT_TRUE(child<QPushButton>(w, "Command2")->isEnabled());
    clickItem(list, "Blade");
    clickButton(w, "Command1");
    EXPECT_EQ(world.roster(), recordBytes({p, blade, axe, bo}));
    EXPECT_TRUE(messages.empty());

    // Closing a window while its filter hides rows leaves the filter out of the teardown.
    QTest::keyClicks(filter, QStringLiteral("x"));
    int runs = 0;
    QObject::connect(w->findChild<ui::ListFilter*>(), &ui::ListFilter::changed,
                     [&runs] { ++runs; });
    delete window.data();
    EXPECT_EQ(runs, 0);
}

// What a window shows of the wrestler picked: a box, a label or a name combo.
std::string shownIn(QWidget* w, const char* name) {
    QWidget* control = child<QWidget>(w, name);
    if (auto* box = qobject_cast<QLineEdit*>(control))
        return box->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text().toStdString();
    return qobject_cast<QComboBox*>(control)->currentText().toStdString();
}

TEST_F(FilterAndWatch, NoInputReachesARowTheFilterHidesNorDoesAButtonActOnOne) {
    struct Window {
        Open open;
        const char* list;
        const char* row; // the only row "bla" leaves: the first and the last are hidden
        const char* shows;
        const char* nothing; // shown with no wrestler picked
        const char* picked;  // shown with `row` picked
        const char* button;  // acts on the wrestler picked, if on any
        Where file;
        std::string acted;               // the file after `button` on `row`
        const char* typedOver = nullptr; // a box a second click on `row` fills again
        // Windows whose boxes keep the first row shown when the filter hides it, or `row` when
        // it is deselected, and what `button` then does (empty: nothing).
        const char* kept = nullptr;
        std::string actedKept = {};
    };
    const Window windows[] = {
        // The name key box emptied, as "Apply Changes" leaves it.
        {roster::createRosterEditor, "List1", "Blade", "Text1", "", "Blade", "Command3", rosterAt,
         recordBytes({p, axe, bo}), "Text1", "Axe"},
        // Moves are off under a filter.
        {roster::createReorderWindow, "List1", "Blade", nullptr, "", "", "Command1", rosterAt,
         recordBytes(roster)},
        {roster::createInjuriesWindow, "List1", "Blade", "Label1", "Out for ???",
         "Out for 2 week(s)", nullptr, rosterAt, recordBytes(roster)},
        {trading, "List3", "Blade Rival", "Combo3", "", "Blade Rival", "indytran3", ecwAt,
         recordBytes({ecw[0], ecw[2]}), "Combo3", "Axe Rival", recordBytes({ecw[1], ecw[2]})},
        {exchange::createExchangeWindow, "List1", "Blade", nullptr, "", "", "Command1",
         [](const GameWorld& w) { return w.work / "Blade.hve"; }, crlf(blade)},
        {managers::createManagersWindow, "List1", "Blade Manager", "Text2", "", "Blade Manager",
         "Command3", managersAt, crlf({"Axe Manager", "m", "Bo Axelson", "f"}), "Text1",
         "Axe Manager"},
    };
    // A click on the row shown; the same after typing over `typedOver`; a control-click on it.
    constexpr int kClick = 0, kRetype = 1, kDeselect = 2;
    struct Input {
        std::vector<int> keys;
        bool picks;
    };
    const Input inputs[] = {
        {{}, false}, // focus alone
        {{Qt::Key_A}, false},
        {{Qt::Key_B}, true},
        {{Qt::Key_Down}, true},
        {{Qt::Key_End}, true},
        {{kClick, Qt::Key_A}, true},
        {{kClick, kRetype}, true},
        {{kClick, kDeselect}, false},
    };
    for (const Window& c : windows)
        for (const Input& input : inputs) {
            SCOPED_TRACE(std::string(c.list) + " " + c.row + " input " +
                         std::to_string(&input - inputs));
            reset();
            const auto before = world.files();
            QWidget* w = open(c.open);
            auto* list = child<FilteredList>(w, c.list);
            // A wrestler the filter hides is no longer selected; a window that shows him keeps
            // him shown, with what was typed.
            clickItem(list, list->text(0).toLatin1().data());
            QTest::keyClicks(
                child<QLineEdit>(w, QByteArray(c.list).replace("List", "Filter").data()),
                QStringLiteral("bla"));
            ASSERT_EQ(visible(list), c.row);
            QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
            QApplication::sendEvent(list, &focus);
            for (int key : input.keys) {
                if (key == kRetype && c.typedOver != nullptr) {
                    if (auto* combo = w->findChild<QComboBox*>(QString::fromLatin1(c.typedOver)))
                        combo->setEditText(QStringLiteral("Typed"));
                    else
                        child<QLineEdit>(w, c.typedOver)->clear();
                }
                if (key == kClick || key == kRetype)
                    clickItem(list, c.row);
                else if (key == kDeselect)
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                                      list->rowRect(*list->selectedRow()).center());
                else
                    QTest::keyClick(list, static_cast<Qt::Key>(key));
                // Current and selected are the same row, and never a hidden one.
                const int current = list->currentRow();
                EXPECT_TRUE(current < 0 || !list->isRowHidden(current));
                if (key != kDeselect) {
                    EXPECT_EQ(selected(list), current < 0 ? "" : list->text(current).toStdString());
                }
            }
            EXPECT_EQ(selected(list), input.picks ? c.row : "");
            // The record shown stays shown until another is picked.
            const bool deselected = !input.keys.empty() && input.keys.back() == kDeselect;
            const bool keeps = c.kept != nullptr && !input.picks;
            if (c.shows != nullptr) {
                EXPECT_EQ(shownIn(w, c.shows), input.picks || (keeps && deselected) ? c.picked
                                               : keeps                              ? c.kept
                                                                                    : c.nothing);
            }
            if (c.button != nullptr)
                clickButton(w, c.button);
            const std::string acted =
                input.picks || (deselected && !c.actedKept.empty()) ? c.acted : c.actedKept;
            if (!acted.empty())
                EXPECT_EQ(readFile(c.file(world)), acted);
            else
                EXPECT_EQ(world.files(), before);
            messages.clear(); // a refusal to act on nobody
        }
}

TEST_F(FilterAndWatch, DroppedExportFilesImportInTurnEachClashWaitingForItsAnswer) {
    const fs::path clash = world.work / "Axe.hve", fresh = world.work / "New.hve",
                   notes = world.work / "notes.txt";
    const Lines axe99 = withLine(axe, W::Draw, "99"), fresher = wrestler("New");
    writeFile(clash, crlf(axe99));
    writeFile(fresh, crlf(fresher));
    writeFile(notes, "not an export file");
    QWidget* w = open(exchange::createExchangeWindow);
    auto* preview = child<QPlainTextEdit>(w, "Text1");

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(qt(clash)), QUrl::fromLocalFile(qt(notes)),
                  QUrl::fromLocalFile(qt(fresh))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &drop);
    EXPECT_EQ(world.roster(), recordBytes(roster)); // waiting for the clash's answer
    QWidget* yesno = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == QLatin1String("yesno") && top->isVisible())
            yesno = top;
    ASSERT_NE(yesno, nullptr);
    clickButton(yesno, "Command1"); // Yes: overwrite, then the next file follows
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(world.roster(), recordBytes({p, axe99, blade, bo, fresher}));

    // `hv-editor FILE.hve`: chosen and previewed, imported only on "Import".
    ASSERT_TRUE(exchange::chooseExportFile(w, clash));
    EXPECT_TRUE(preview->toPlainText().startsWith(u"Name : Axe"));
    EXPECT_EQ(world.roster(), recordBytes({p, axe99, blade, bo, fresher}));
    EXPECT_TRUE(messages.empty());
    QTest::qWait(50); // the editor's own writes raise no bar
    EXPECT_TRUE(child<QWidget>(w, "OutsideChangeBar")->isHidden());
}

// Apply writes only what the user edited, merged into the file as the game or `hv` left it;
// a field both changed is asked about, and asked again when the file moves once more.
TEST_F(FilterAndWatch, ApplyMergesTheEditsIntoTheFileAsItIsNowAndAsksAboutEachConflict) {
    struct Case {
        Open open;
        Where file;
        const char* pick;  // in List1, then hidden by the filter before Apply; or none
        std::size_t other; // a line changed outside (same size, the time put back)
        const char* otherValue;
        const char* box; // the box edited: text typed, or a scroll bar's right arrow clicked
        const char* typed;
        std::size_t line; // the line it writes
        const char* written;
        const char* field; // as the question names it
        const char* now1;  // the line changed outside, for the conflict,
        const char* now2;  // and again before the answer
        const char* apply = "Command1";
    };
    const std::size_t boAt = 3 * W::kLines;
    const Case cases[] = {
        {roster::createRosterEditor, rosterAt, "Bo Axelson", boAt + W::Draw, "51", "Text12", "90",
         boAt + W::Morale, "90", "Morale", "60", "61"},
        {savegame::createFedEditWindow, saveAt, nullptr, 6, "250001", "Text2", "Boss", 0, "Boss",
         "Commish's name", "Commissioner Kane", "Commissioner Kant"},
        {savegame::createTitlesWindow, saveAt, nullptr, 8, "Vacanz", "Combo1", "Axe", 7, "Axe",
         "WWF World Champion", "Blade", "Cy"},
        {savegame::createFeudWindow, saveAt, nullptr, 23, " 16 ", "HScroll1", nullptr, 21, " 16 ",
         "Level of feud 1", " 40 ", " 41 "},
        {managers::createManagersWindow, managersAt, "Blade Manager", 0, "Axe Managex", "Combo1",
         "female", 3, "f", "Sex", "x", "y", "Command2"},
    };
    Lines save = crlfLines(readFile(saveAt(world)));
    save[15] = "A vs B";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        auto open = [&] {
            reset();
            writeFile(saveAt(world), crlf(save));
            QWidget* w = this->open(c.open);
            QWidget* box = child<QWidget>(w, c.box);
            if (c.pick != nullptr) { // keys start in the filter; no box takes them yet
                EXPECT_EQ(w->focusWidget(), child<QWidget>(w, "Filter1"));
                EXPECT_FALSE(box->isEnabled());
                clickItem(child<FilteredList>(w, "List1"), c.pick);
            }
            if (auto* combo = qobject_cast<QComboBox*>(box))
                box = combo->lineEdit();
            if (auto* text = qobject_cast<QLineEdit*>(box)) {
                text->selectAll();
                QTest::keyClicks(text, QString::fromLatin1(c.typed));
            } else {
                QTest::mouseClick(box, Qt::LeftButton, {}, {box->width() - 4, box->height() / 2});
            }
            return w;
        };
        auto typedText = [&](QWidget* w) {
            return c.typed != nullptr ? shownIn(w, c.box)
                                      : std::to_string(child<QScrollBar>(w, c.box)->value());
        };
        auto setLine = [&](std::size_t line, const char* value) {
            Lines lines = crlfLines(readFile(c.file(world)));
            lines[line] = value;
            return crlf(lines);
        };

        // Changed outside in place, same size, its time put back: still noticed. A restore
        // made meanwhile in the editor does not reload a window with typed edits.
        QWidget* w = open();
        const fs::path file = c.file(world);
        const auto time = fs::last_write_time(file);
        writeFile(file, setLine(c.other, c.otherValue));
        fs::last_write_time(file, time);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return child<QWidget>(w, "OutsideChangeBar")->isVisible(); }, 5000));
        ui::FileWatch::noteRestored({file});
        if (c.pick != nullptr) // hides the record shown, which stays shown
            QTest::keyClicks(child<QLineEdit>(w, "Filter1"), QStringLiteral("zzz"));
        const std::string expected = setLine(c.line, c.written);
        clickButton(w, c.apply);
        EXPECT_EQ(readFile(file), expected);
        EXPECT_TRUE(questions.empty());

        // The edited field changed outside too: "No" writes nothing and keeps the typed text;
        // "Yes" asks again when the file changed once more before the answer.
        w = open();
        saveOutside(file, setLine(c.line, c.now1));
        const std::string conflicting = readFile(file);
        const std::string typed = typedText(w);
        answer = false;
        clickButton(w, c.apply);
        ASSERT_EQ(questions.size(), 1u);
        for (const char* named : {c.field, c.now1, c.typed ? c.typed : c.written})
            EXPECT_TRUE(questions[0].contains(QString::fromLatin1(named)))
                << questions[0].toStdString();
        EXPECT_EQ(readFile(file), conflicting);
        EXPECT_EQ(typedText(w), typed);
        std::vector<QString> asked;
        ui::setQuestionAnswerer([&](const QString&, const QString& text) {
            asked.push_back(text);
            if (asked.size() == 1)
                saveOutside(file, setLine(c.line, c.now2));
            return true;
        });
        clickButton(w, c.apply);
        ASSERT_EQ(asked.size(), 2u);
        EXPECT_TRUE(asked[1].contains(QString::fromLatin1(c.now2))) << asked[1].toStdString();
        EXPECT_EQ(readFile(file), setLine(c.line, c.written));
        ui::setQuestionAnswerer([this](const QString&, const QString& text) {
            questions.push_back(text);
            return answer;
        });
        questions.clear();
        answer = true;
    }
    EXPECT_TRUE(messages.empty());
}

// The reordering window, which writes back the order it shows, asks before it replaces a newer
// file, naming it as a player knows it; one that reads the file again and changes only what it
// names (delete, trading, import) does not, nor does one that merges what the user edited (the
// settings editor: nothing edited, nothing written).
TEST_F(FilterAndWatch, AnOutsideChangeShowsTheBarReloadRereadsAndAWriteOverItAsksFirst) {
    struct Case {
        Open open;
        const char* list; // or a text box
        Where file;
        std::string newer;  // saved outside while the window is open
        const char* shows;  // the list or the box after "Reload"
        std::string newest; // saved outside again before the write
        const char* pick;   // in the list, if any
        const char* button;
        std::string written; // the write over `newest`, once allowed
        const char* asks = "The roster of Save 1 (yourfed.hv1) changed on disk";
    };
    const std::string save = readFile(saveAt(world));
    auto commissioner = [&](const std::string& name) {
        return std::string(save).replace(0, std::string("Commissioner Cole").size(), name);
    };
    const Case cases[] = {
        {roster::createRosterEditor, "List1", rosterAt, recordBytes({p, axe, blade, bo, cy}),
         "Axe|Blade|Bo Axelson|Cy", recordBytes({p, axe, blade, bo, cy, dee}), "Cy", "Command3",
         recordBytes({p, axe, blade, bo, dee}), nullptr},
        {roster::createReorderWindow, "List1", rosterAt, recordBytes({p, axe, blade, bo, cy}),
         "Axe|Blade|Bo Axelson|Cy", recordBytes({p, axe, blade, bo, cy, dee}), "Cy", "Command1",
         recordBytes({p, axe, blade, cy, bo, dee})},
        {trading, "List3", ecwAt, recordBytes({ecw[0], ecw[1], ecw[2], rivalWrestler("Cy Rival")}),
         "Axe Rival|Blade Rival|Bo Axelson Jr|Cy Rival",
         recordBytes({ecw[0], ecw[1], rivalWrestler("Cy Rival")}), "Cy Rival", "indytran3",
         recordBytes({ecw[0], ecw[1]}), nullptr},
        {exchange::createExchangeWindow, "List1", rosterAt, recordBytes({p, axe, blade, bo, cy}),
         "Axe|Blade|Bo Axelson|Cy", recordBytes({p, axe, blade, bo, cy, dee}), nullptr, "Command2",
         recordBytes({p, axe, blade, bo, cy, dee, wrestler("New")}), nullptr},
        {managers::createManagersWindow, "List1", managersAt,
         crlf({"Axe Manager", "m", "Cy Manager", "m"}), "Axe Manager|Cy Manager",
         crlf({"Cy Manager", "m"}), "Cy Manager", "Command3", std::string(), nullptr},
        {savegame::createFedEditWindow, "Text2", saveAt, commissioner("Colt"), "Colt",
         commissioner("Commissioner Newest"), nullptr, "Command1",
         commissioner("Commissioner Newest"), nullptr},
    };
    writeFile(world.work / "New.hve", crlf(wrestler("New")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shows);
        QWidget* w = open(c.open);
        if (c.open == exchange::createExchangeWindow) {
            ASSERT_TRUE(exchange::chooseExportFile(w, world.work / "New.hve"));
        }
        auto* bar = child<QWidget>(w, "OutsideChangeBar");
        auto* list = w->findChild<FilteredList*>(QString::fromLatin1(c.list));
        auto shown = [&] {
            return list ? items(list) : child<QLineEdit>(w, c.list)->text().toStdString();
        };
        EXPECT_TRUE(bar->isHidden());
        saveOutside(c.file(world), c.newer);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !bar->isHidden(); }, 5000));
        clickButton(w, "Reload");
        EXPECT_EQ(shown(), c.shows);
        EXPECT_TRUE(bar->isHidden());

        saveOutside(c.file(world), c.newest);
        if (c.pick != nullptr)
            clickItem(list, c.pick);
        questions.clear();
        answer = false;
        clickButton(w, c.button);
        if (c.asks != nullptr) {
            ASSERT_EQ(questions.size(), 1u);
            EXPECT_TRUE(questions[0].startsWith(QString::fromLatin1(c.asks)))
                << questions[0].toStdString();
            EXPECT_EQ(readFile(c.file(world)), c.newest);
            EXPECT_FALSE(bar->isHidden());
            answer = true;
            clickButton(w, c.button);
        }
        EXPECT_EQ(questions.size(), c.asks ? 2u : 0u);
        EXPECT_EQ(readFile(c.file(world)), c.written);
        reset();
    }
    EXPECT_TRUE(messages.empty());
}

} // namespace
} // namespace hv::test
