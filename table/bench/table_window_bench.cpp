// Times the roster table on large rosters (offscreen): opening at 100,000 and 1,000,000
// wrestlers, a filter keystroke and a sort by a number column at 100,000, Apply of one edited
// cell beside a synced copy and rename of the same file, and the memory held with 1,000,000
// open. Not a test: run it and read the medians.
//   table_window_bench [SCREENSHOT.png]

#include "table/table_windows.h"
#include "testsupport/window_test_support.h"

#include "bench/bench_support.h"
#include "tools/world.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using hv::bench::measure;
using hv::bench::Timing;

void report(const char* what, const Timing& t, const char* limit) {
    std::printf("%-44s median %8.2f ms (cpu %8.2f ms)  best %8.2f ms  (limit %s)\n", what,
                t.median * 1e3, t.cpuMedian * 1e3, t.best * 1e3, limit);
}

long long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "VmRSS:") {
            long long kb = 0;
            status >> kb;
            return kb;
        }
    return 0;
}

struct World {
    explicit World(std::size_t wrestlers) {
        const std::string bytes = hv::world::makeRosterBytes(wrestlers, hv::world::kDefaultSeed);
        hv::test::writeFile(world.rosterFile(), bytes);
        size = bytes.size();
    }
    hv::test::GameWorld world;
    hv::test::FakeContext context{world.work};
    std::size_t size = 0;
};

QWidget* openTable(World& w) {
    QWidget* table = hv::table::createRosterTable(w.context);
    table->show();
    QApplication::processEvents();
    return table;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    constexpr int kReps = 7;

    const QByteArray part = qgetenv("HV_BENCH_PART");
    if (part != "million") {
        World w(100000);
        std::printf("100,000 wrestlers: %zu bytes\n", w.size);
        // One part alone, for a profiler: HV_BENCH_PART=sort, apply or million.
        const bool sortOnly = part == "sort";
        const bool applyOnly = part == "apply";
        if (part.isEmpty())
            report("open the table (load and show), 100,000",
                   measure(kReps, [&] { delete openTable(w); }), "150 ms");
        QWidget* table = openTable(w);
        auto* view = table->findChild<QTableView*>(QStringLiteral("table"));
        auto* filter = table->findChild<QLineEdit*>(QStringLiteral("Filter1"));
        const char keys[] = "Wrestlerxyz";
        std::size_t k = 0;
        if (part.isEmpty())
            report("a filter keystroke, 100,000",
                   measure(
                       kReps,
                       [&] {
                           QTest::keyClick(filter, keys[k++ % (sizeof keys - 1)]);
                           QApplication::processEvents();
                       },
                       [&] {
                           if (k % (sizeof keys - 1) == 0)
                               filter->clear();
                       }),
                   "16 ms");
        filter->clear();
        const int morale = 1 + hv::WrestlerRecord::Morale;
        int turn = 0;
        if (!applyOnly)
            report("sort by Morale, 100,000",
                   measure(kReps,
                           [&] {
                               view->sortByColumn(morale, turn++ % 2 ? Qt::DescendingOrder
                                                                     : Qt::AscendingOrder);
                               QApplication::processEvents();
                           }),
                   "100 ms");
        view->sortByColumn(morale, Qt::DescendingOrder);
        QApplication::processEvents();
        if (argc > 1)
            table->grab().save(QString::fromLocal8Bit(argv[1]), "PNG");

        if (sortOnly)
            return 0;

        // An accessibility client: opens the window, walks the tree to the last cell and selects
        // every cell.
        if (part.isEmpty()) {
            int told = 0;
            QAccessible::installUpdateHandler([](QAccessibleEvent*) {});
            QAccessible::setActive(true);
            report("open, walk and select all, accessibility on",
                   measure(3,
                           [&] {
                               QWidget* shown = openTable(w);
                               auto* grid = shown->findChild<QTableView*>(QStringLiteral("table"));
                               QAccessibleInterface* a =
                                   QAccessible::queryAccessibleInterface(grid);
                               told += a->childCount();
                               if (QAccessibleTableInterface* t = a->tableInterface())
                                   if (QAccessibleInterface* last =
                                           t->cellAt(t->rowCount() - 1, t->columnCount() - 1))
                                       told += int(last->text(QAccessible::Name).size());
                               grid->setFocus();
                               grid->selectAll();
                               QApplication::processEvents();
                               delete shown;
                           }),
                   "no hang");
            QAccessible::setActive(false);
            QAccessible::installUpdateHandler(nullptr);
            if (told == 0)
                std::printf("(the accessibility client saw no cells)\n");
        }
        // One cell edited through the table, then Apply, against a synced copy and rename.
        auto* apply = table->findChild<QPushButton*>(QStringLiteral("Command1"));
        const fs::path roster = w.world.rosterFile();
        const fs::path copy = roster.parent_path() / "copy.tmp";
        const fs::path copied = roster.parent_path() / "copy.hv1";
        int value = 0;
        const auto editOne = [&] {
            view->setCurrentIndex(view->model()->index(5, morale)); // no placeholder
            QTest::keyClicks(view, QString::number(40 + value++ % 2).left(1));
            QTest::keyClicks(view->focusWidget(), QString::number(value % 2));
            QTest::keyClick(view->focusWidget(), Qt::Key_Return);
            QApplication::processEvents();
        };
        const auto copyOne = [&] {
            hv::bench::syncedCopy(roster, copy);
            fs::rename(copy, copied);
        };
        // More turns than elsewhere: each is short, and the two are close.
        const auto [applied, synced] = hv::bench::measurePaired(
            3 * kReps, [&] { apply->click(); }, copyOne, editOne); // the edit as the user types it
        report("Apply one edited cell, 100,000", applied, "1.3x copy");
        report("synced copy and rename of the same file", synced, "-");
        std::printf("%-52s %.2fx\n", "Apply / copy", applied.median / synced.median);
        delete table;
    }
    if (qEnvironmentVariableIsEmpty("HV_BENCH_100K_ONLY")) {
        World w(1000000);
        std::printf("1,000,000 wrestlers: %zu bytes\n", w.size);
        malloc_trim(0); // what making the roster took goes back to the system first
        const long long before = residentKb();
        QWidget* table = openTable(w);
        const long long held = residentKb() - before;
        std::printf("%-52s %8.1f MB over %8.1f MB before (limit file %.1f MB + 64 MB)\n",
                    "memory with 1,000,000 open", static_cast<double>(held) / 1024.0,
                    static_cast<double>(before) / 1024.0, static_cast<double>(w.size) / 1048576.0);
        delete table;
        report("open the table (load and show), 1,000,000",
               measure(3, [&] { delete openTable(w); }), "1500 ms");
    }
    return 0;
}
