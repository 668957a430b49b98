// What every tool window shares: a status line after each write, the keys, and names a
// screen reader announces.

#include "app/tool_table.h"
#include "gamefiles/records.h"
#include "testsupport/window_test_support.h"
#include "ui/file_path.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QUrl>

#include <functional>
#include <set>
#include <string_view>

namespace hv::test {
namespace {

namespace fs = std::filesystem;

class Feedback : public WindowTest {
protected:
    Feedback() {
        world.setRoster("save1",
                        {placeholderWrestler(), wrestler("Axe", "2", "3"), wrestler("Blade")});
        writeFile(world.slotFile("save1", "Background/wwfmanagers.hv1"),
                  crlf({"Axe Manager", "m"}));
        writeFile(world.slotFile("save1", "Background/ecw.hv1"),
                  recordBytes({rivalWrestler("Cy Rival")}));
        ui::setFolderOpener([this](const QUrl& url) { opened = url; });
    }
    ~Feedback() override {
        ui::setFolderOpener({});
        delete window.data();
        // A window may own another top-level one: delete each only while it still lives.
        const auto tops = QApplication::topLevelWidgets();
        std::vector<QPointer<QWidget>> alive(tops.begin(), tops.end());
        for (const QPointer<QWidget>& w : alive)
            delete w.data();
    }
    QWidget* open(const char* name) {
        return showWindow(app::findTool(QString::fromLatin1(name))->create(context));
    }
    QString status() const {
        const auto* line = child<QLabel>(window, "StatusLine");
        return line != nullptr ? line->text() : QString();
    }
    QUrl opened;
};

void key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

struct Write {
    const char* window;
    std::function<void(QWidget*)> act;
    const char* said; // the status line starts so
    fs::path (*file)(const GameWorld&);
};

fs::path roster(const GameWorld& w) {
    return w.rosterFile();
}
fs::path save(const GameWorld& w) {
    return w.slotFile("save1", "Saved Game/save1.hv1");
}

// One write of each subsystem, the keys included: Enter in a box and Ctrl+S apply.
const Write kWrites[] = {
    {"save", [](QWidget* w) { clickButton(w, "Command2"); },
     "Saved the roster of Save 1 (yourfed.hv1). Undo with Restore...", roster},
    {"doctor", [](QWidget* w) { clickButton(w, "Command1"); },
     "Saved the roster of Save 1 (yourfed.hv1).", roster},
    {"reorder",
     [](QWidget* w) {
         clickItem(child<FilteredList>(w, "List1"), "Blade");
         clickButton(w, "Command1");
     },
     "Saved the roster of Save 1", roster},
    {"mansave", [](QWidget* w) { clickButton(w, "Command1"); },
     "Saved the WWF managers of Save 1 (wwfmanagers.hv1)",
     [](const GameWorld& w) { return w.slotFile("save1", "Background/wwfmanagers.hv1"); }},
    {"traderos",
     [](QWidget* w) {
         clickItem(child<FilteredList>(w, "List3"), "Cy Rival");
         clickButton(w, "indytran3");
     },
     "Saved the", [](const GameWorld& w) { return w.slotFile("save1", "Background/ecw.hv1"); }},
    {"fededit",
     [](QWidget* w) {
         auto* box = child<QLineEdit>(w, "Text1");
         box->setText(QStringLiteral("Renamed"));
         key(box, Qt::Key_Return);
     },
     "Saved the slot names (saveslots.hv1).", // the save game holds what it held
     [](const GameWorld& w) { return w.game / "saveslots.hv1"; }},
    {"titles",
     [](QWidget* w) {
         child<QComboBox>(w, "Combo1")->setCurrentIndex(1);
         key(w, Qt::Key_S, Qt::ControlModifier);
     },
     "Saved the save game of Save 1 (save1.hv1).", save},
    {"impsave",
     [](QWidget* w) {
         clickItem(child<FilteredList>(w, "List1"), "Axe");
         clickButton(w, "Command1");
     },
     "Exported Axe to ", [](const GameWorld& w) { return w.work / "Axe.hve"; }},
    {"html22",
     [](QWidget* w) {
         child<QLineEdit>(w, "Text1")->setText(QStringLiteral("page.html"));
         clickButton(w, "Command1");
     },
     "Wrote the page to ", [](const GameWorld& w) { return w.work / "page.html"; }},
    // Undoes the titles' change above.
    {"restore", [](QWidget* w) { clickButton(w, "Command1"); },
     "Put back the save game of Save 1 (save1.hv1) as before", save},
};

TEST_F(Feedback, EveryWriteSaysWhatItSavedInTheWindowThatMadeIt) {
    for (const Write& write : kWrites) {
        SCOPED_TRACE(write.window);
        const fs::path file = write.file(world);
        const std::string before = fs::exists(file) ? readFile(file) : std::string();
        QWidget* w = open(write.window);
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        write.act(w);
        EXPECT_NE(readFile(file), before);
        EXPECT_TRUE(status().startsWith(QString::fromLatin1(write.said))) << status().toStdString();
        // A file written outside the game is named in full, its folder a click away.
        if (auto* folder = child<QPushButton>(w, "OpenFolder"); folder->isVisible()) {
            EXPECT_TRUE(status().endsWith(ui::pathText(file))) << status().toStdString();
            folder->click();
            EXPECT_EQ(opened, QUrl::fromLocalFile(ui::pathText(file.parent_path())));
        }
        EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
        // Made again, the same change changes no byte: nothing is written, and the window
        // says so.
        static const std::set<std::string_view> kRepeatable = {"doctor", "fededit", "titles",
                                                               "impsave", "html22"};
        if (!kRepeatable.contains(write.window))
            continue;
        const std::string once = readFile(file);
        write.act(w);
        EXPECT_EQ(readFile(file), once);
        EXPECT_TRUE(status().startsWith(QStringLiteral("Nothing changed")))
            << status().toStdString();
    }
}

// Every box, combo and list is announced by its caption, never by its value; Esc closes.
TEST_F(Feedback, EveryToolNamesItsControlsForAScreenReaderAndClosesOnEscape) {
    for (const auto& tool : app::allTools()) {
        SCOPED_TRACE(tool.window);
        QPointer<QWidget> w = open(tool.window);
        std::vector<QWidget*> controls;
        std::vector<std::pair<QLineEdit*, QListView*>> filtered;
        for (auto* box : w->findChildren<QLineEdit*>())
            if (box->isVisible() && qobject_cast<QComboBox*>(box->parentWidget()) == nullptr)
                controls.push_back(box);
        for (auto* combo : w->findChildren<QComboBox*>())
            controls.push_back(combo);
        for (auto* list : w->findChildren<QListView*>()) {
            if (list->window() != w)
                continue; // a combo's popup
            controls.push_back(list);
            // Tab from a filter box goes into the list it narrows.
            auto* filter =
                list->parentWidget()->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
            if (filter != nullptr && filter->placeholderText() == QStringLiteral("Filter"))
                filtered.emplace_back(filter, list);
        }
        for (QWidget* control : controls) {
            QAccessibleInterface* announced = QAccessible::queryAccessibleInterface(control);
            const QString name = announced->text(QAccessible::Name);
            // A list's value is its name.
            const QString value = qobject_cast<QListView*>(control) != nullptr
                                      ? QString()
                                      : announced->text(QAccessible::Value);
            EXPECT_FALSE(name.isEmpty()) << control->objectName().toStdString();
            EXPECT_TRUE(value.isEmpty() || name != value)
                << control->objectName().toStdString() << " is announced as " << name.toStdString();
        }
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        for (auto [filter, list] : filtered) {
            filter->setFocus();
            key(filter, Qt::Key_Tab);
            EXPECT_TRUE(list->hasFocus()) << list->objectName().toStdString();
        }
        key(w, Qt::Key_Escape);
        EXPECT_FALSE(w && w->isVisible());
    }
}

} // namespace
} // namespace hv::test
