#include "report/report_windows.h"

#include "testsupport/window_test_support.h"
#include "ui/file_path.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>

namespace hv::test {
namespace {

namespace fs = std::filesystem;

TEST_F(WindowTest, ReportWindowWritesThePageAndRemembersItsSettings) {
    world.setRoster("save1", {wrestler("A")});
    const auto options = world.work / "options.dat";
    const std::string line1 = readFile(options);
    QWidget* w = showWindow(report::createReportWindow(context));
    auto* list = child<QListWidget>(w, "List1");
    EXPECT_EQ(child<QLineEdit>(w, "Text1")->text(), QString());
    clickButton(w, "Command2");
    EXPECT_EQ(items(list), "Fueds|Titles|Roster");
    EXPECT_EQ(selected(list), "");
    EXPECT_EQ(readFile(world.work / "arrange.tmp"), crlf({"Fueds", "Titles", "Roster"}));

    child<QLineEdit>(w, "Text1")->setText(QStringLiteral("nowhere/page.html"));
    child<QComboBox>(w, "Combo1")->setCurrentText(QStringLiteral("Black"));
    child<QComboBox>(w, "Combo2")->setCurrentText(QStringLiteral("#123"));
    child<QScrollBar>(w, "HScroll1")->setValue(3);
    child<QCheckBox>(w, "Check9")->setChecked(false);
    clickButton(w, "Command1");
    expectReported(1, "page.html");
    EXPECT_EQ(readFile(options), line1);

    // Never onto the editor's own files or into the game folder: refused, nothing written.
    const auto before = world.files();
    for (const fs::path& file : {world.work / "options.dat", world.work / "Arrange.tmp",
                                 world.rosterFile(), world.game / "save3" / "page.html"}) {
        child<QLineEdit>(w, "Text1")->setText(ui::pathText(file));
        clickButton(w, "Command1");
        EXPECT_TRUE(messages.back().contains(ui::pathText(file.filename()))) << file;
    }
    EXPECT_EQ(messages.size(), 5u);
    EXPECT_EQ(world.files(), before);

    // The name is a file name as the system spells it (UTF-8 here), stored so in options.dat.
    child<QLineEdit>(w, "Text1")->setText(QStringLiteral("p\u00E9.html"));
    clickButton(w, "Command1");
    EXPECT_TRUE(fs::exists(world.work / fs::path(u8"p\u00E9.html")));
    child<QLineEdit>(w, "Text1")->setText(QStringLiteral("page.html"));
    clickButton(w, "Command1");
    EXPECT_EQ(messages.size(), 5u);
    const std::string page = readFile(world.work / "page.html");
    EXPECT_NE(page.find("<BODY BGCOLOR=\"#000000\" TEXT=\"#123\">\r\n"), std::string::npos);
    EXPECT_NE(page.find("<TABLE BORDER=\"3\">"), std::string::npos);
    EXPECT_LT(page.find("</CENTER></CENTER></CENTER>"), page.find("ROSTER"));
    EXPECT_EQ(page.find("TITLES"), std::string::npos);
    EXPECT_EQ(readFile(options), line1 + crlf({"page.html", "", "Black", "#123", "3"}));

    w = showWindow(report::createReportWindow(context)); // a new load: settings back, order reset
    EXPECT_EQ(child<QComboBox>(w, "Combo2")->currentText(), QStringLiteral("#123"));
    EXPECT_EQ(child<QLineEdit>(w, "Text2")->text(), QStringLiteral("3"));
    EXPECT_EQ(readFile(world.work / "arrange.tmp"), crlf({"Roster", "Titles", "Fueds"}));
}

} // namespace
} // namespace hv::test
