// Times the roster windows on a 100,000-wrestler roster (offscreen). Not a test: run it and
// read the figures.

#include "roster/roster_windows.h"
#include "testsupport/window_test_support.h"

#include "testsupport/test_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kWrestlers = 100000;

double timed(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    QApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void report(const char* what, double ms) {
    std::printf("%-48s %9.1f ms\n", what, ms);
}

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    return n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// Types `text` into the filter one key at a time and takes it back with Backspace, timing
// each key until the list has been narrowed and painted.
std::vector<double> filterKeystrokes(QLineEdit* filter, const QString& text) {
    std::vector<double> samples;
    for (const QChar c : text)
        samples.push_back(timed([&] { QTest::keyClick(filter, c.toLatin1()); }));
    for (qsizetype i = 0; i < text.size(); ++i)
        samples.push_back(timed([&] { QTest::keyClick(filter, Qt::Key_Backspace); }));
    return samples;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);

    hv::test::GameWorld world;
    std::vector<std::vector<std::string>> records;
    records.reserve(kWrestlers + kWrestlers / 1000);
    for (int i = 0; i < kWrestlers; ++i) {
        if (i % 1000 == 0)
            records.push_back(hv::test::wrestler("name", "2", "4"));
        records.push_back(
            hv::test::wrestler("Wrestler " + std::to_string(i), "2", i % 10 == 0 ? " 3 " : "0"));
    }
    world.setRoster("save1", records);
    const auto rosterFile = world.slotFile("save1", "Controlled/yourfed.hv1");
    std::printf("roster: %d wrestlers, %zu records, %ju bytes\n", kWrestlers, records.size(),
                static_cast<std::uintmax_t>(std::filesystem::file_size(rosterFile)));

    hv::test::FakeContext context(world.work);

    QWidget* editor = nullptr;
    report("roster editor: open (load and show)", timed([&] {
               editor = hv::roster::createRosterEditor(context);
               editor->show();
           }));
    auto* list = editor->findChild<hv::ui::FilteredList*>(QStringLiteral("List1"));
    report("roster editor: show the last wrestler",
           timed([&] { list->setCurrentRow(list->count() - 1); }));
    report("roster editor: Apply Changes",
           timed([&] { editor->findChild<QPushButton*>(QStringLiteral("Command1"))->click(); }));
    report("roster editor: Add Blank Wrestler",
           timed([&] { editor->findChild<QPushButton*>(QStringLiteral("Command2"))->click(); }));
    auto* filter = editor->findChild<QLineEdit*>(QStringLiteral("Filter1"));
    std::vector<double> keys;
    for (const char* typed : {"wrestler 12", "99", "name", "zz"})
        for (double ms : filterKeystrokes(filter, QString::fromLatin1(typed)))
            keys.push_back(ms);
    report("roster editor: filter keystroke (median)", median(keys));
    report("roster editor: filter keystroke (slowest)",
           *std::max_element(keys.begin(), keys.end()));
    delete editor;
    // The first window pays for Qt's own start (fonts, style); the later openings do not.
    std::vector<double> opens;
    for (int i = 0; i < 5; ++i) {
        opens.push_back(timed([&] {
            editor = hv::roster::createRosterEditor(context);
            editor->show();
        }));
        delete editor;
    }
    report("roster editor: open again (median of 5)", median(opens));

    QWidget* reorder = nullptr;
    report("reordering window: open", timed([&] {
               reorder = hv::roster::createReorderWindow(context);
               reorder->show();
           }));
    report("reordering window: Down",
           timed([&] { reorder->findChild<QPushButton*>(QStringLiteral("Command2"))->click(); }));
    delete reorder;

    QPointer<QWidget> doctor;
    report("injuries window: open", timed([&] {
               doctor = hv::roster::createInjuriesWindow(context);
               doctor->setAttribute(Qt::WA_DeleteOnClose);
               doctor->show();
           }));
    std::printf("injuries window: %d injured listed\n",
                doctor->findChild<hv::ui::FilteredList*>(QStringLiteral("List1"))->count());
    report("injuries window: Fix Them all (heal and close)", timed([&] {
               doctor->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
               QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
           }));
    std::printf("injuries window closed: %s\n", doctor.isNull() ? "yes" : "no");
    return 0;
}
