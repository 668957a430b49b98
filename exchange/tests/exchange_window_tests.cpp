#include "exchange/exchange_windows.h"

#include "testsupport/window_test_support.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

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
    auto* list = child<QListWidget>(showWindow(exchange::createExchangeWindow(context)), "List1");
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
    EXPECT_EQ(choose(QString()), QString());
    const fs::path file = world.work / "New.hve";
    writeFile(file, crlf(n));
    EXPECT_TRUE(choose(QString::fromStdString(file.string()))
                    .startsWith(QLatin1String("Name : New\nDraw : 50\n")));
    writeFile(world.work / "short.hve", crlf({"Short"}));
    choose(QString::fromStdString((world.work / "short.hve").string()));
    expectReported(3, "short.hve");
    EXPECT_TRUE(choose(QString()).startsWith(QStringLiteral("Name : New\n")));

    clickButton(window, "Command2"); // appends the file chosen before
    EXPECT_EQ(world.roster(), recordBytes({placeholderWrestler(), a, b, n}));
    EXPECT_EQ(items(list), "A|B|New");

    clickButton(window, "Command2"); // a clash: nothing written until the answer
    QWidget* yesno = conflictWindow();
    ASSERT_NE(yesno, nullptr);
    auto* apply = child<QPushButton>(yesno, "Command3");
    auto* newName = child<QLineEdit>(yesno, "Text5");
    EXPECT_EQ(child<QLineEdit>(yesno, "Text2")->text(), QStringLiteral("New"));
    EXPECT_FALSE(apply->isEnabled());
    clickButton(yesno, "Command2");
    EXPECT_TRUE(apply->isEnabled() && newName->isEnabled());
    newName->setText(QStringLiteral("Newer"));
    clickButton(yesno, "Command3");
    EXPECT_EQ(world.roster(),
              recordBytes({placeholderWrestler(), a, b, n, withLine(n, 0, "Newer")}));
    EXPECT_EQ(items(list), "A|B|New|Newer");
    EXPECT_EQ(conflictWindow(), nullptr);

    // "Yes" reads the export file when pressed, from its own boxes.
    clickButton(window, "Command2");
    delete window.data();
    writeFile(file, crlf(withLine(n, 1, "99")));
    clickButton(conflictWindow(), "Command1");
    EXPECT_EQ(world.roster(), recordBytes({placeholderWrestler(), a, b, withLine(n, 1, "99"),
                                           withLine(n, 0, "Newer")}));
    EXPECT_EQ(conflictWindow(), nullptr);
    EXPECT_EQ(messages.size(), 3u);
}

} // namespace
} // namespace hv::test
