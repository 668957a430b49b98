// Every window that writes, over game files whose values are hostile in turn: a button pressed
// without typing leaves every file byte for byte as it was (but for lines the window computes),
// and a value typed into one box changes exactly its own line.

#include "exchange/exchange_windows.h"
#include "gamefiles/records.h"
#include "gamefiles/text.h"
#include "managers/managers_window.h"
#include "otherfeds/otherfeds_windows.h"
#include "report/report_ops.h"
#include "report/report_windows.h"
#include "restore/restore_windows.h"
#include "roster/roster_ops.h"
#include "roster/roster_windows.h"
#include "savegame/savegame_windows.h"
#include "testsupport/hostile_world.h"
#include "testsupport/operations.h"
#include "testsupport/window_test_support.h"
#include "ui/byte_text.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <utility>

namespace hv::test {
namespace {

using Line = WrestlerRecord::Line;
using Records = std::vector<std::vector<std::string>>;
using LineChanges = std::map<std::size_t, std::string>; // 0-based line -> new text

// Values a game file may hold that a window could easily mangle: 40,000 characters; a lone CR;
// every byte from 0x01 to 0xFF but CR and LF; outer blanks; enclosing double quotes around a
// comma; an inner comma; markup; empty.
// The bytes of the file whose name ends in `name`; a test failure when there is none.
std::string& fileNamed(Files& files, std::string_view name) {
    for (auto& [path, bytes] : files)
        if (path.ends_with(name))
            return bytes;
    ADD_FAILURE() << "no file " << name;
    static std::string none;
    return none;
}

// `files` with the given lines of the file `name` replaced.
Files withLines(Files files, std::string_view name, const LineChanges& changes) {
    std::string& bytes = fileNamed(files, name);
    auto lines = crlfLines(bytes);
    for (const auto& [line, text] : changes) {
        if (line >= lines.size()) {
            ADD_FAILURE() << name << " has no line " << line + 1;
            continue;
        }
        lines[line] = text;
    }
    bytes = crlf(lines);
    return files;
}

constexpr const char* kRoster = "save1/Controlled/yourfed.hv1";
constexpr const char* kSave = "save1/Saved Game/save1.hv1";
constexpr const char* kSlotNames = "saveslots.hv1";
constexpr const char* kManagers = "save1/Background/wwfmanagers.hv1";
constexpr const char* kEcw = "save1/Background/ecw.hv1";

// What a press did: the files before and after, the hostile value, and the typed text (none for
// the untouched press).
struct Outcome {
    Files before, after;
    const std::string& value;
    const char* typed;
};
using Check = std::function<void(const Outcome&)>;

// Picks the value's record in the open window, or chooses a file.
using Pick = std::function<void(QWidget* window, const GameWorld&, const std::string& value)>;

struct Row {
    const char* window;
    const char* operation; // the catalogue's row it drives
    QWidget* (*open)(ui::EditorContext&);
    std::function<void(GameWorld&, const std::string& value)> plant;
    Pick pick;          // none: nothing to pick
    const char* box;    // typed into; a feud's label is clicked and its deletion confirmed
    const char* button; // apply, move, heal, export, import, write or restore
    const char* typed;  // none: the row has no box
    Check check;
};

// Clicks the item showing `bytes` near its left end, which a 40,000-character item has far out
// of sight.
void pickItem(QWidget* window, const char* listName, const std::string& bytes) {
    auto* list = child<FilteredList>(window, listName);
    ASSERT_NE(list, nullptr);
    const auto row = static_cast<int>(list->names().indexOf(ui::toQt(bytes)));
    ASSERT_GE(row, 0) << listName;
    list->scrollToRow(row);
    const QRect rect = list->rowRect(row);
    const int x = std::clamp(rect.left() + 4, 1, list->viewport()->width() - 2);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(x, rect.center().y()));
    if (list->selectedRow() != row) // an empty item may be too narrow to hit
        list->setCurrentRow(row);
}

// The list item showing the value, or `name` where the value is on another line.
Pick pickIn(const char* list, const char* name = nullptr) {
    return [list, name](QWidget* window, const GameWorld&, const std::string& value) {
        pickItem(window, list, name != nullptr ? std::string(name) : value);
    };
}

// The value's own line, unchanged when untouched (but for `derived` lines) and `written` when
// typed.
Check ownLine(const char* file, std::size_t line, std::string written,
              std::function<LineChanges(const std::string&)> derived = {}) {
    return [=](const Outcome& o) {
        const LineChanges changes = o.typed != nullptr ? LineChanges{{line, written}}
                                    : derived          ? derived(o.value)
                                                       : LineChanges{};
        EXPECT_EQ(o.after, withLines(o.before, file, changes));
    };
}

// The roster holds exactly `records` afterwards; every other file is as it was.
Check rosterBecomes(std::function<Records(const std::string&)> records) {
    return [=](const Outcome& o) {
        Files expected = o.before;
        fileNamed(expected, kRoster) = recordBytes(records(o.value));
        EXPECT_EQ(o.after, expected);
    };
}

// The one file a press added; every file that was there is as it was.
std::pair<std::string, std::string> addedFile(const Outcome& o) {
    Files added; // both sorted, as snapshot() gives them
    std::ranges::set_difference(o.after, o.before, std::back_inserter(added));
    EXPECT_EQ(o.after.size(), o.before.size() + 1);
    EXPECT_EQ(added.size(), 1u);
    return added.empty() ? std::pair<std::string, std::string>() : added.front();
}

void writeLine(GameWorld& world, const char* file, std::size_t line, const std::string& value) {
    auto lines = crlfLines(readFile(world.game / file));
    lines.at(line) = value;
    writeFile(world.game / file, crlf(lines));
}

std::vector<Row> rows() {
    std::vector<Row> table;
    for (std::size_t l = 0; l < WrestlerRecord::kLines; ++l) {
        const auto line = static_cast<Line>(l);
        std::string written = "Typed";
        const char* typed = "Typed";
        if (line == Line::Carder)
            typed = "Upper Carder", written = numberLine(*carderCode(typed));
        if (line == Line::FinisherType)
            typed = "Submission", written = std::string(*finisherTypeCode(typed));
        if (kWrestlerFields[l].kind == FieldKind::Number)
            typed = "42", written = typed; // other text is refused there
        // An empty tag team or stable is written as "no".
        auto derived = [line](const std::string& value) {
            const bool group = line == Line::TagTeam || line == Line::Stable;
            return group && value.empty() ? LineChanges{{line, "no"}} : LineChanges{};
        };
        table.push_back({"save", "roster apply", roster::createRosterEditor,
                         [line](GameWorld& w, const std::string& v) {
                             // The carder as the window computes it: only the hostile line counts.
                             const auto carder =
                                 withLine(wrestler("Hostile"), Line::Carder, numberLine(2));
                             w.setRoster("save1", {withLine(carder, line, v)});
                         },
                         pickIn("List1", line == Line::Name ? nullptr : "Hostile"),
                         roster::boxLabel(line).data(), "Command1", typed,
                         ownLine(kRoster, l, written, derived)});
    }
    // Federation settings: the slot's name, then save lines 1 and 3 to 7.
    static constexpr std::pair<const char*, std::size_t> kSettings[] = {
        {"Text1", 0},  {"Text2", 0}, {"Combo1", 2}, {"Combo2", 3},
        {"Combo3", 4}, {"Text3", 5}, {"Text4", 6}};
    for (std::size_t s = 0; s < std::size(kSettings); ++s) {
        const auto [box, line] = kSettings[s];
        const char* file = s == 0 ? kSlotNames : kSave;
        const char* typed = line >= 5 ? "42" : "Typed"; // the year and bank take numbers only
        table.push_back(
            {"fededit", "federation settings", savegame::createFedEditWindow,
             [file, line](GameWorld& w, const std::string& v) { writeLine(w, file, line, v); },
             Pick(), box, "Command1", typed, ownLine(file, line, typed)});
    }
    // Title holders on save lines 8 to 12, the roster offering the same name; feud texts on
    // lines 16 to 20, where the only change a user makes is a deletion.
    for (std::size_t t = 0; t < 5; ++t) {
        static constexpr const char* kCombos[] = {"Combo1", "Combo2", "Combo3", "Combo4", "Combo5"};
        static constexpr const char* kLabels[] = {"Label1", "Label2", "Label3", "Label4", "Label5"};
        table.push_back({"titles", "title holders", savegame::createTitlesWindow,
                         [t](GameWorld& w, const std::string& v) {
                             writeLine(w, kSave, 7 + t, v);
                             w.setRoster("save1", {wrestler(v)});
                         },
                         Pick(), kCombos[t], "Command1", "vacant",
                         ownLine(kSave, 7 + t, "vacant")});
        table.push_back(
            {"fuededit", "feud edits", savegame::createFeudWindow,
             [t](GameWorld& w, const std::string& v) { writeLine(w, kSave, 15 + t, v); }, Pick(),
             kLabels[t], "Command1", "", ownLine(kSave, 15 + t, "")});
    }
    // Managers: a name the list shows as the game reads it (none for an empty one), and a sex.
    table.push_back({"mansave", "managers change", managers::createManagersWindow,
                     [](GameWorld& w, const std::string& v) {
                         writeFile(w.game / kManagers, crlf({v, "m"}));
                     },
                     [](QWidget* window, const GameWorld&, const std::string& v) {
                         pickItem(window, "List1", fieldReadFirst(v));
                     },
                     "Text2", "Command2", "Typed",
                     [](const Outcome& o) {
                         const bool shown = !fieldReadFirst(o.value).empty();
                         EXPECT_EQ(o.after, withLines(o.before, kManagers,
                                                      o.typed && shown ? LineChanges{{0, "Typed"}}
                                                                       : LineChanges{}));
                     }});
    table.push_back({"mansave", "managers change", managers::createManagersWindow,
                     [](GameWorld& w, const std::string& v) {
                         writeFile(w.game / kManagers, crlf({"Manager", v}));
                     },
                     pickIn("List1", "Manager"), "Combo1", "Command2", "female",
                     ownLine(kManagers, 1, "f")});
    // Trading: the rival's name goes into the roster as stored, or as typed.
    table.push_back(
        {"traderos", "trade ecw to own",
         [](ui::EditorContext& c) { return otherfeds::createTradingWindow(c, [] { return 0.3; }); },
         [](GameWorld& w, const std::string& v) {
             writeFile(w.game / kEcw, recordBytes({rivalWrestler(v)}));
             w.setRoster("save1", {});
         },
         pickIn("List3"), "Combo3", "yftran2", "Typed",
         [](const Outcome& o) {
             // The roster was empty; the rival file is left so.
             Files after = o.after, before = o.before;
             const auto roster = crlfLines(std::exchange(fileNamed(after, kRoster), ""));
             ASSERT_EQ(roster.size(), WrestlerRecord::kLines);
             EXPECT_EQ(roster[0], o.typed ? o.typed : o.value);
             fileNamed(before, kEcw) = "";
             EXPECT_EQ(after, before);
         }});
    // Reordering: Down swaps the records byte for byte. Injuries: healing changes the injury
    // line alone.
    table.push_back({"reorder", "roster move up", roster::createReorderWindow,
                     [](GameWorld& w, const std::string& v) {
                         w.setRoster("save1", {wrestler("First"), wrestler(v), wrestler("Last")});
                     },
                     pickIn("List1"), nullptr, "Command2", nullptr,
                     rosterBecomes([](const std::string& v) {
                         return Records{wrestler("First"), wrestler("Last"), wrestler(v)};
                     })});
    table.push_back(
        {"doctor", "injuries heal", roster::createInjuriesWindow,
         [](GameWorld& w, const std::string& v) { w.setRoster("save1", {wrestler(v, "2", "3")}); },
         Pick(), nullptr, "Command1", nullptr, rosterBecomes([](const std::string& v) {
             return Records{wrestler(v, "2", numberLine(0))};
         })});
    // Exchange: an export holds the record byte for byte, and an import appends it so.
    table.push_back(
        {"impsave", "export", exchange::createExchangeWindow,
         [](GameWorld& w, const std::string& v) { w.setRoster("save1", {wrestler(v)}); },
         pickIn("List1"), nullptr, "Command1", nullptr,
         [](const Outcome& o) {
             const auto [name, bytes] = addedFile(o);
             EXPECT_TRUE(name.ends_with(".hve")) << name;
             EXPECT_EQ(bytes, recordBytes({wrestler(o.value)}));
         }});
    table.push_back({"impsave", "import appended", exchange::createExchangeWindow,
                     [](GameWorld& w, const std::string& v) {
                         w.setRoster("save1", {});
                         writeFile(w.work / "in.hve", recordBytes({wrestler(v)}));
                     },
                     [](QWidget* window, const GameWorld& w, const std::string&) {
                         ui::setNextOpenFileName(
                             QString::fromStdString((w.work / "in.hve").string()));
                         clickButton(window, "Command3");
                         ui::setNextOpenFileName(std::nullopt);
                     },
                     nullptr, "Command2", nullptr,
                     rosterBecomes([](const std::string& v) { return Records{wrestler(v)}; })});
    // The report: the page holds the values escaped; the game's files are only read.
    table.push_back({"html22", "report page", report::createReportWindow,
                     [](GameWorld& w, const std::string& v) {
                         w.setRoster("save1", {wrestler(v)});
                         writeFile(w.work / "options.dat", crlf({w.game.string(), "page.html",
                                                                 "Title", "White", "Black", "1"}));
                     },
                     Pick(), nullptr, "Command1", nullptr,
                     [](const Outcome& o) {
                         const auto [name, bytes] = addedFile(o);
                         EXPECT_TRUE(name.ends_with("page.html")) << name;
                         EXPECT_NE(bytes.find(report::escapeHtml(o.value)), std::string::npos);
                     }});
    // Restore: the point taken before a change gives the hostile record back byte for byte.
    table.push_back({"restore", "restore point apply", restore::createRestoreWindow,
                     [](GameWorld& w, const std::string& v) {
                         w.setRoster("save1", {wrestler(v)});
                         roster::setWrestlerFields(RosterFile(w.game.string(), "save1"), v,
                                                   {{Line::Draw, "1"}});
                     },
                     [](QWidget* window, const GameWorld&, const std::string&) {
                         child<QListWidget>(window, "List1")->setCurrentRow(0); // the newest
                     },
                     nullptr, "Command1", nullptr,
                     rosterBecomes([](const std::string& v) { return Records{wrestler(v)}; })});
    return table;
}

class HostileWorld : public WindowTest {
protected:
    void type(const char* boxName, const char* typed) {
        // By its name, or as a screen reader finds it: by its caption or its own name.
        auto* widget = window->findChild<QWidget*>(QString::fromLatin1(boxName));
        for (QWidget* w : window->findChildren<QWidget*>())
            if (auto* caption = qobject_cast<QLabel*>(w); widget == nullptr && caption &&
                                                          caption->buddy() &&
                                                          caption->text() == QLatin1String(boxName))
                widget = caption->buddy();
            else if (widget == nullptr && w->accessibleName() == QLatin1String(boxName))
                widget = w;
        ASSERT_NE(widget, nullptr) << boxName;
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
    void press(const OpWorld& game, const Row& row, const std::string& value, const char* typed) {
        context.work = game.work;
        showWindow(row.open(context));
        const Files before = game.files();
        // A refusal may come at the pick (an export file refused when chosen) or at the press.
        const std::size_t reported = messages.size();
        if (row.pick)
            row.pick(window, game, value);
        if (typed != nullptr)
            type(row.box, typed);
        clickButton(window, row.button);
        const Files after = game.files();
        delete window.data(); // before its files go
        EXPECT_EQ(changedOutside(operation(row.operation), before, after), "");
        if (messages.size() > reported) {
            // A refusal says why and writes nothing.
            EXPECT_EQ(after, before);
            const QString& said = messages[reported];
            EXPECT_TRUE(said.contains(QStringLiteral(".hv1")) ||
                        said.contains(QStringLiteral(".hve")) ||
                        said.contains(QStringLiteral("othing was written")))
                << said.toStdString();
            return;
        }
        row.check({before, after, value, typed});
    }
};

TEST_F(HostileWorld, UntouchedValuesGoBackAsStoredAndTypedOnesChangeOnlyTheirLine) {
    for (const Row& row : rows()) {
        for (const auto& [label, bytes] : hostileValues()) {
            SCOPED_TRACE(std::string(row.window) + " " + (row.box ? row.box : row.button) + ", " +
                         label);
            OpWorld game;
            for (const char* typed : {static_cast<const char*>(nullptr), row.typed}) {
                row.plant(game, bytes); // afresh: the untouched press may have moved it
                press(game, row, bytes, typed);
                if (row.typed == nullptr)
                    break; // a button without a box
            }
        }
    }
}

} // namespace
} // namespace hv::test
