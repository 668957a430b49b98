#include "exchange/exchange_windows.h"

#include "testsupport/window_test_support.h"
#include "ui/file_path.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTimer>
#include <QUrl>

namespace hv::test {
namespace {

namespace fs = std::filesystem;

// The conflict window on screen, if any (closed ones are deleted first).
QWidget* conflictWindow() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("yesno") && w->isVisible())
            return w;
    return nullptr;
}

TEST_F(WindowTest, ExchangeWindowExportPreviewImportAndTheConflictWindow) {
    const std::vector<std::string> a = wrestler("A"), b = wrestler("B"), n = wrestler("New");
    world.setRoster("save1", {placeholderWrestler(), a, b});
    auto* list = child<FilteredList>(showWindow(exchange::createExchangeWindow(context)), "List1");
    auto choose = [&](const QString& file) {
        ui::setNextOpenFileName(file); // empty: cancelled
        clickButton(window, "Command3");
        ui::setNextOpenFileName(std::nullopt);
        return child<QPlainTextEdit>(window, "Text1")->toPlainText();
    };
    clickButton(window, "Command1"); // an export of the one picked: the filter's test
    expectReported(1, "Select");

    clickButton(window, "Command2");
    expectReported(2, "Choose");
    const fs::path file = world.work / "New.hve";
    writeFile(file, crlf(n));
    choose(QString::fromStdString(file.string()));
    writeFile(world.work / "short.hve", crlf({"Short"}));
    choose(QString::fromStdString((world.work / "short.hve").string()));
    expectReported(3, "short.hve");
    EXPECT_TRUE(choose(QString()).startsWith(QStringLiteral("Name : New\n")));

    clickButton(window, "Command2"); // appends the file chosen before

    clickButton(window, "Command2"); // a clash: nothing written until the answer
    QWidget* yesno = conflictWindow();
    ASSERT_NE(yesno, nullptr);
    auto* apply = child<QPushButton>(yesno, "Command3");
    auto* newName = child<QLineEdit>(yesno, "Text5");
    EXPECT_EQ(child<QLineEdit>(yesno, "Text2")->text(), QStringLiteral("New"));
    EXPECT_TRUE(!apply->isEnabled() && newName->isReadOnly());
    clickButton(yesno, "Command2");
    EXPECT_TRUE(apply->isEnabled() && !newName->isReadOnly());
    newName->setText(QStringLiteral("Newer"));
    clickButton(yesno, "Command3");
    EXPECT_EQ(world.roster(),
              recordBytes({placeholderWrestler(), a, b, n, withLine(n, 0, "Newer")}));
    EXPECT_EQ(items(list), "A|B|New|Newer");
    EXPECT_EQ(conflictWindow(), nullptr);

    // "Yes" overwrites only the wrestler the question was about: changed meanwhile (another
    // program's edit), it writes nothing and asks again about him as he is now.
    clickButton(window, "Command2");
    const std::string edited =
        recordBytes({placeholderWrestler(), a, b, withLine(n, 1, "70"), withLine(n, 0, "Newer")});
    writeFile(world.rosterFile(), edited);
    clickButton(conflictWindow(), "Command1");
    expectReported(4, "changed while the question was open");
    EXPECT_EQ(world.roster(), edited);
    EXPECT_TRUE(child<QLabel>(conflictWindow(), "Label1")
                    ->text()
                    .contains(QStringLiteral("changed while")));
    clickButton(conflictWindow(), "Command1");
    EXPECT_EQ(world.roster(),
              recordBytes({placeholderWrestler(), a, b, n, withLine(n, 0, "Newer")}));

    // "Yes" reads the export file when pressed, from its own boxes.
    clickButton(window, "Command2");
    delete window.data();
    writeFile(file, crlf(withLine(n, 1, "99")));
    clickButton(conflictWindow(), "Command1");
    EXPECT_EQ(world.roster(), recordBytes({placeholderWrestler(), a, b, withLine(n, 1, "99"),
                                           withLine(n, 0, "Newer")}));
    EXPECT_EQ(conflictWindow(), nullptr);
    EXPECT_EQ(messages.size(), 4u);
}

#ifndef _WIN32 // Windows names files in UTF-16, not in bytes
// File names are bytes: a name that is no UTF-8 (a roster name in the game's 8-bit text) is
// exported, chosen in the dialog (which shows it with U+FFFD, as Qt decodes it), dropped and
// imported under its own bytes. A file of other line ends is refused when dropped; an export
// over another wrestler's file is refused and leaves it.
TEST_F(WindowTest, ExchangeWindowKeepsByteNamesAndRefusesBadFiles) {
    for (const std::string name : {"Caf\xE9.hve", "\xFF\x80 \xC3\xA9\xED\xA0\x80\xF4\x90.hve"}) {
        const fs::path file = world.work / name;
        EXPECT_EQ(ui::pathFromText(ui::pathText(file)), file);
    }
    const std::vector<std::string> cafe = wrestler("Caf\xE9"), q = wrestler("A?"),
                                   star = wrestler("A*");
    world.setRoster("save1", {cafe, q, star});
    auto* list = child<FilteredList>(showWindow(exchange::createExchangeWindow(context)), "List1");
    for (const char* name : {"Caf\xE9", "A?", "A*"}) {
        clickItem(list, name);
        clickButton(window, "Command1");
    }
    const fs::path exported = world.work / "Caf\xE9.hve";
    EXPECT_EQ(readFile(exported), crlf(cafe));
    EXPECT_EQ(readFile(world.work / "A_.hve"), crlf(q));
    expectReported(1, "A_.hve");

    world.setRoster("save1", {q});
    const std::string& bytes = exported.native();
    ui::setNextOpenFileName(QFile::decodeName(QByteArray::fromStdString(bytes)));
    clickButton(window, "Command3");
    clickButton(window, "Command2");
    EXPECT_EQ(world.roster(), recordBytes({q, cafe}));

    world.setRoster("save1", {q});
    writeFile(world.work / "Lf.hve", crlf(withLine(wrestler("Lf"), 4, "1\n2")));
    QMimeData data;
    data.setUrls({QUrl::fromEncoded(QByteArray("file://") +
                                    QByteArray::fromStdString(bytes).toPercentEncoding("/")),
                  QUrl::fromLocalFile(ui::pathText(world.work / "Lf.hve"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    EXPECT_EQ(world.roster(), recordBytes({q, cafe}));
    expectReported(2, "Lf.hve:5:");

    // `hv-editor A.hve B.hve`: imported in turn, as a drop of them is.
    world.setRoster("save1", {q});
    writeFile(world.work / "Two.hve", crlf(wrestler("Two")));
    ASSERT_TRUE(exchange::openExportFiles(window, {exported, world.work / "Two.hve"}));
    EXPECT_EQ(world.roster(), recordBytes({q, cafe, wrestler("Two")}));
}
#endif

// Text from the game's files reaches message boxes and questions: markup in it is shown as
// written, never rendered.
TEST_F(WindowTest, MessageBoxesShowTextAsWritten) {
    ui::setMessageSink({});
    ui::setQuestionAnswerer({});
    const QString text = QStringLiteral("carder code is not a number: \"<b>x</b>\"");
    for (const bool question : {false, true}) {
        QString shown;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            if (box->textFormat() == Qt::PlainText && label->textFormat() == Qt::PlainText)
                shown = label->text();
            box->done(QMessageBox::No);
        });
        timer.start(10);
        if (question)
            EXPECT_FALSE(ui::askYesNo(nullptr, QStringLiteral("Q"), text));
        else
            ui::showError(nullptr, QStringLiteral("E"), text);
        EXPECT_EQ(shown, text) << question;
    }
}

} // namespace
} // namespace hv::test
