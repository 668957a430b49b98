// Every window that writes, over game files whose values are hostile in turn: a button pressed
// without typing leaves every file byte for byte as it was (but for lines the window computes),
// and a value typed into one box changes exactly its own line.

#include "gamefiles/records.h"
#include "gamefiles/text.h"
#include "managers/managers_window.h"
#include "otherfeds/otherfeds_windows.h"
#include "roster/roster_windows.h"
#include "savegame/savegame_windows.h"
#include "testsupport/hostile_world.h"
#include "testsupport/window_test_support.h"
#include "ui/byte_text.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>
#include <functional>
#include <iostream>

namespace hv::test {
namespace {

using Line = WrestlerRecord::Line;

constexpr const char* kRoster = "save1/Controlled/yourfed.hv1";
constexpr const char* kSave = "save1/Saved Game/save1.hv1";
constexpr const char* kSlotNames = "saveslots.hv1";
constexpr const char* kManagers = "save1/Background/wwfmanagers.hv1";
constexpr const char* kEcw = "save1/Background/ecw.hv1";

// What a press did: the files before and after, the hostile value, and the typed text (none for
// the untouched press).
struct Outcome {
    Files before;
    Files after;
    const std::string& value;
    const char* typed;
};
using Check = std::function<void(const Outcome&)>;

struct Row {
    const char* window;
    QWidget* (*open)(ui::EditorContext&);
    std::function<void(GameWorld&, const std::string& value)> plant;
    const char* list; // where the record is picked; none: no pick
    std::function<std::string(const std::string&)> pick; // the list item for the value
    const char* box;    // typed into; a feud's label is clicked and its deletion confirmed
    const char* button; // apply or move
    const char* typed;
    Check check;
};

// The value's own line, unchanged when untouched (but for `derived` lines) and `written` when
// typed.
Check ownLine(const char* file, std::size_t line, std::string written,
              std::function<LineChanges(const std::string&)> derived = {}) {
    return [=](const Outcome& o) {
        const LineChanges changes = o.typed != nullptr
                                        ? LineChanges{{line, written}}
                                        : (derived ? derived(o.value) : LineChanges{});
        EXPECT_EQ(o.after, withLines(o.before, file, changes));
    };
}

std::string same(const std::string& value) {
    return value;
}

std::string fixed(const char* name) {
    return name;
}

std::string fieldRead(const std::string& value) {
    return fieldReadFirst(value);
}

std::vector<std::string> wrestlerWith(Line line, const std::string& value) {
    // The carder as the window computes it, so that only the hostile line is in question.
    auto record = withLine(wrestler("Hostile"), Line::Carder, numberLine(2));
    record.at(line) = value;
    return record;
}

void writeLines(GameWorld& world, const char* file, std::size_t line, const std::string& value) {
    auto lines = crlfLines(readFile(world.game / file));
    lines.at(line) = value;
    writeFile(world.game / file, crlf(lines));
}

std::vector<Row> rows() {
    std::vector<Row> table;
    // The roster editor's boxes in record line order.
    static constexpr const char* kRosterBoxes[WrestlerRecord::kLines] = {
        "Text2",  "Text3",  "Text4",  "Text5",  "Text6",  "Text7",  "Combo1",
        "Combo2", "Text8",  "Text9",  "Text10", "Text11", "Text12", "Text13",
        "Combo4", "Text15", "Combo3", "Combo5", "Text14"};
    for (std::size_t l = 0; l < WrestlerRecord::kLines; ++l) {
        const auto line = static_cast<Line>(l);
        std::string written = "Typed";
        const char* typed = "Typed";
        if (line == Line::Carder)
            typed = "Upper Carder", written = numberLine(*carderCode(typed));
        if (line == Line::FinisherType)
            typed = "Submission", written = std::string(*finisherTypeCode(typed));
        // An empty tag team or stable is written as "no".
        auto derived = [line](const std::string& value) {
            const bool group = line == Line::TagTeam || line == Line::Stable;
            return group && value.empty() ? LineChanges{{line, "no"}} : LineChanges{};
        };
        table.push_back(
            {"save", roster::createRosterEditor,
             [line](GameWorld& w, const std::string& v) {
                 w.setRoster("save1", {wrestlerWith(line, v)});
             },
             "List1",
             line == Line::Name ? same : [](const std::string&) { return fixed("Hostile"); },
             kRosterBoxes[l], "Command1", typed, ownLine(kRoster, l, written, derived)});
    }
    // Federation settings: the slot's name, then save lines 1 and 3 to 7.
    static constexpr std::pair<const char*, std::size_t> kSettings[] = {
        {"Text1", 0},  {"Text2", 0}, {"Combo1", 2}, {"Combo2", 3},
        {"Combo3", 4}, {"Text3", 5}, {"Text4", 6}};
    for (std::size_t s = 0; s < std::size(kSettings); ++s) {
        const auto [box, line] = kSettings[s];
        const char* file = s == 0 ? kSlotNames : kSave;
        table.push_back(
            {"fededit",
             savegame::createFedEditWindow,
             [file, line](GameWorld& w, const std::string& v) { writeLines(w, file, line, v); },
             nullptr,
             {},
             box,
             "Command1",
             "Typed",
             ownLine(file, line, "Typed")});
    }
    // Title holders on save lines 8 to 12, the roster offering the same name.
    for (std::size_t t = 0; t < 5; ++t) {
        static constexpr const char* kCombos[] = {"Combo1", "Combo2", "Combo3", "Combo4", "Combo5"};
        table.push_back({"titles",
                         savegame::createTitlesWindow,
                         [t](GameWorld& w, const std::string& v) {
                             writeLines(w, kSave, 7 + t, v);
                             w.setRoster("save1", {wrestler(v)});
                         },
                         nullptr,
                         {},
                         kCombos[t],
                         "Command1",
                         "vacant",
                         ownLine(kSave, 7 + t, "vacant")});
    }
    // Feud texts on save lines 16 to 20; the only change a user makes is a deletion.
    for (std::size_t f = 0; f < 5; ++f) {
        static constexpr const char* kLabels[] = {"Label1", "Label2", "Label3", "Label4", "Label5"};
        table.push_back(
            {"fuededit",
             savegame::createFeudWindow,
             [f](GameWorld& w, const std::string& v) { writeLines(w, kSave, 15 + f, v); },
             nullptr,
             {},
             kLabels[f],
             "Command1",
             "",
             ownLine(kSave, 15 + f, "")});
    }
    // Managers: a name the list shows as the game reads it (none for an empty one), and a sex.
    table.push_back({"mansave", managers::createManagersWindow,
                     [](GameWorld& w, const std::string& v) {
                         writeFile(w.game / kManagers, crlf({v, "m"}));
                     },
                     "List1", fieldRead, "Text2", "Command2", "Typed",
                     [](const Outcome& o) {
                         const bool shown = !fieldReadFirst(o.value).empty();
                         EXPECT_EQ(o.after, withLines(o.before, kManagers,
                                                      o.typed && shown ? LineChanges{{0, "Typed"}}
                                                                       : LineChanges{}));
                     }});
    table.push_back({"mansave", managers::createManagersWindow,
                     [](GameWorld& w, const std::string& v) {
                         writeFile(w.game / kManagers, crlf({"Manager", v}));
                     },
                     "List1", [](const std::string&) { return fixed("Manager"); }, "Combo1",
                     "Command2", "female", ownLine(kManagers, 1, "f")});
    // Trading: the rival's name moves into the roster as stored, or as typed.
    table.push_back(
        {"traderos",
         [](ui::EditorContext& c) { return otherfeds::createTradingWindow(c, [] { return 0.3; }); },
         [](GameWorld& w, const std::string& v) {
             writeFile(w.game / kEcw, recordBytes({rivalWrestler(v)}));
             w.setRoster("save1", {});
         },
         "List3", same, "Combo3", "yftran2", "Typed",
         [](const Outcome& o) {
             if (!o.typed && o.value.empty()) { // refused: no name to carry
                 EXPECT_EQ(o.after, o.before);
                 return;
             }
             Files after = o.after;
             const auto roster = crlfLines(fileNamed(after, kRoster));
             ASSERT_EQ(roster.size(), WrestlerRecord::kLines);
             EXPECT_EQ(roster[0], o.typed ? o.typed : o.value);
             EXPECT_EQ(fileNamed(after, kEcw), "");
             fileNamed(after, kRoster) = fileNamed(after, kEcw) = "";
             Files before = o.before;
             fileNamed(before, kEcw) = "";
             EXPECT_EQ(after, before);
         }});
    // Reordering: Down swaps the records byte for byte.
    table.push_back({"reorder", roster::createReorderWindow,
                     [](GameWorld& w, const std::string& v) {
                         w.setRoster("save1", {wrestler("First"), wrestler(v), wrestler("Last")});
                     },
                     "List1", same, nullptr, "Command2", nullptr,
                     [](const Outcome& o) {
                         Files expected = o.before;
                         fileNamed(expected, kRoster) =
                             recordBytes({wrestler("First"), wrestler("Last"), wrestler(o.value)});
                         EXPECT_EQ(o.after, expected);
                     }});
    // Injuries: healing changes the injury line alone.
    table.push_back(
        {"doctor",
         roster::createInjuriesWindow,
         [](GameWorld& w, const std::string& v) { w.setRoster("save1", {wrestler(v, "2", "3")}); },
         nullptr,
         {},
         nullptr,
         "Command1",
         nullptr,
         ownLine(kRoster, 0, "", [](const std::string&) {
             return LineChanges{{Line::Injury, numberLine(0)}};
         })});
    return table;
}

class HostileWorld : public WindowTest {
protected:
    // Clicks the item showing `bytes` near its left end, which a 40,000-character item has far
    // out of sight.
    void pickItem(const char* listName, const std::string& bytes) {
        auto* list = child<QListWidget>(window, listName);
        ASSERT_NE(list, nullptr);
        const QString text = ui::toQt(bytes);
        QListWidgetItem* found = nullptr;
        for (int i = 0; i < list->count() && found == nullptr; ++i)
            if (list->item(i)->text() == text)
                found = list->item(i);
        ASSERT_NE(found, nullptr) << listName;
        list->scrollToItem(found);
        const QRect rect = list->visualItemRect(found);
        const int x = std::clamp(rect.left() + 4, 1, list->viewport()->width() - 2);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(x, rect.center().y()));
    }

    void type(const char* boxName, const char* typed) {
        auto* widget = child<QWidget>(window, boxName);
        ASSERT_NE(widget, nullptr);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            QTest::mouseClick(label, Qt::LeftButton); // asks to delete; answered yes
            return;
        }
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            widget = combo->lineEdit();
        if (auto* line = qobject_cast<QLineEdit*>(widget))
            line->selectAll();
        if (auto* text = qobject_cast<QPlainTextEdit*>(widget))
            text->selectAll();
        QTest::keyClicks(widget, QString::fromLatin1(typed));
    }

    // Opens the row's window over `game`, picks, types if `typed` and presses.
    void press(const GameWorld& game, const Row& row, const std::string& value, const char* typed) {
        context.work = game.work;
        showWindow(row.open(context));
        if (row.list != nullptr)
            pickItem(row.list, row.pick(value));
        if (typed != nullptr)
            type(row.box, typed);
        const Files before = game.files();
        const std::size_t reported = messages.size();
        clickButton(window, row.button);
        const Files after = game.files();
        delete window.data(); // before its files go
        if (messages.size() > reported) {
            // A refusal says why and writes nothing.
            EXPECT_EQ(after, before);
            const QString& said = messages.back();
            EXPECT_TRUE(said.contains(QStringLiteral(".hv1")) ||
                        said.contains(QStringLiteral("othing was written")))
                << said.toStdString();
            refusals.push_back(said.left(100).toStdString());
            return;
        }
        row.check({before, after, value, typed});
    }

    std::vector<std::string> refusals;
};

TEST_F(HostileWorld, UntouchedValuesGoBackAsStoredAndTypedOnesChangeOnlyTheirLine) {
    const auto table = rows();
    std::size_t cases = 0;
    for (const Row& row : table) {
        for (const HostileValue& value : hostileValues()) {
            SCOPED_TRACE(std::string(row.window) + " " + (row.box ? row.box : row.button) + ", " +
                         value.label);
            GameWorld game;
            for (const char* typed : {static_cast<const char*>(nullptr), row.typed}) {
                row.plant(game, value.bytes); // afresh: the untouched press may have moved it
                press(game, row, value.bytes, typed);
                if (row.typed == nullptr)
                    break; // a button without a box
            }
            ++cases;
        }
    }
    std::cout << "hostile sweep: " << table.size() << " fields over " << hostileValues().size()
              << " values = " << cases << " cases, " << refusals.size() << " refused\n";
    for (const auto& said : refusals)
        std::cout << "  refused: " << said << "\n";
}

} // namespace
} // namespace hv::test
