#include "report/report_ops.h"

#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <ranges>
#include <set>

namespace hv::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using report::PageOptions;

// Expected lines, "|" between them.
Lines split(std::string_view text) {
    Lines lines;
    for (auto part : std::views::split(text, '|'))
        lines.emplace_back(part.begin(), part.end());
    return lines;
}

const Lines kHead = split("<HTML>|<TITLE>My <b>Page</b></TITLE>|"
                          "<BODY BGCOLOR=\"#000000\" TEXT=\"fff\">|<CENTER>|<H1>");
const Lines kRosterLines =
    split("<CENTER><H1>ROSTER</H1></CENTER>|<CENTER>|<TABLE BORDER=\"2\">|<TR>|"
          "<TD><I><B>Name</B></I></TD>|<TD><I><B>Draw</B></I></TD>|<TD><I><B>Ent</B></I></TD>|"
          "<TD><I><B>Carder</B></I></TD>|<TD><I><B>Allign</B></I></TD>|"
          "<TD><I><B>Finisher</B></I></TD>|<TD><I><B>Morale</B></I></TD>|</TR>|"
          "<TR>|<TD>A &amp; &lt;B&gt;</TD>|<TD>50</TD>|<TD>60</TD>|<TD>Lower</TD>|<TD>Face</TD>|"
          "<TD>A &amp; &lt;B&gt; Driver</TD>|<TD>75</TD>|"
          "<TR>|<TD>C</TD>|<TD>50</TD>|<TD>60</TD>|<TD>Face</TD>|<TD>C Driver</TD>|<TD>75</TD>|"
          "</TABLE>|</CENTER>");
const Lines kTitleLines =
    split("<CENTER><H1>TITLES</H1></CENTER>|<TABLE BORDER = \"0\">|"
          "<TR><TD><B><I><CENTER>World Champion</CENTER></B></I></TD></TR>|"
          "<TR><TD><CENTER>T1</CENTER></TD></TR>|"
          "<TR><TD><B><I><CENTER>I.C. Champion</CENTER></B></I></TD></TR>|"
          "<TR><TD><CENTER>T2, Jr.</CENTER></TD></TR>|"
          "<TR><TD><B><I><CENTER>European Champion</CENTER></B></I></TD></TR>|"
          "<TR><TD><CENTER>T3</CENTER></TD></TR>|"
          "<TR><TD><B><I><CENTER>Lightweight Champion</CENTER></B></I></TD></TR>|"
          "<TR><TD><CENTER>T4</CENTER></TD></TR>|"
          "<TR><TD><B><I><CENTER>Hardcore Champion</CENTER></B></I></TD></TR>|"
          "<TR><TD><CENTER>T5</CENTER></TD></TR>|"
          "<TR><TD><B><I><CENTER>Tag Team Champions</CENTER></B></I></TD></TR>|"
          "<TR><TD><CENTER>Team  (M&amp;1 and M2)</CENTER></TD></TR>|</TABLE>|<BR>");
const Lines kFeudLines =
    split("</CENTER></CENTER></CENTER></CENTER></CENTER></CENTER></CENTER>|"
          "<CENTER><H1>FUEDS</H1></CENTER>|<CENTER>F1, &amp; co</CENTER>|"
          "<TABLE BORDER=\"0\" cellspacing=\"0\">|<TR>|"
          "<TD BGCOLOR=\"#FF0000\"><FONT color=\"#FF0000\">1</FONT></TD>|</TR>|</TABLE>|"
          "<CENTER>F3</CENTER>|<TABLE BORDER=\"0\" cellspacing=\"0\">|<TR>|</TR>|</TABLE>|"
          "</TABLE>|</FONT>");

Lines without(Lines lines, const std::set<std::string>& drop) {
    std::erase_if(lines, [&](const std::string& l) { return drop.contains(l); });
    return lines;
}

std::string page(const std::string& heading, std::initializer_list<const Lines*> sections) {
    Lines all = kHead;
    if (!heading.empty())
        all.push_back(heading);
    all.push_back("</H1>");
    for (const Lines* s : sections)
        all.insert(all.end(), s->begin(), s->end());
    all.insert(all.end(), {"</CENTER>", "</BODY>", "</HTML>"});
    return crlf(all);
}

class Report : public ::testing::Test {
protected:
    Report() {
        world.setRoster("save1",
                        {placeholderWrestler(), wrestler("A & <B>", "1"), wrestler("C", "4")});
        setSave("WWF");
        o.settings = {"out.html", "My <b>Page</b>", "Black", "fff", "2"};
    }
    void setSave(const std::string& fed) {
        Lines save = split("Cole \"Boss\"|" + fed +
                           "|Mon|1|May|99|0|T1|T2, Jr.|T3|T4|T5|Team|M&1|M2| \"F1, & co\" ||F3||");
        for (const char* level : {" 15 ", " 0 ", " 14 ", "x", "x"})
            save.insert(save.end(), {" 33023 ", level});
        writeFile(world.slotFile("save1", "Saved Game/save1.hv1"), crlf(save) + "rest");
    }
    std::string render() const { return report::renderPage(world.game.string(), "save1", o); }

    GameWorld world;
    PageOptions o;
};

TEST_F(Report, EverythingOnEachPartOffLevelCellsAndMoves) {
    const std::string heading = "Cole &quot;Boss&quot;'s WWF";
    EXPECT_EQ(render(), page(heading, {&kRosterLines, &kTitleLines, &kFeudLines}));

    const std::pair<bool PageOptions::*, std::set<std::string>> columns[] = {
        {&PageOptions::draw, {kRosterLines[5], "<TD>50</TD>"}},
        {&PageOptions::ent, {kRosterLines[6], "<TD>60</TD>"}},
        {&PageOptions::carder, {kRosterLines[7], "<TD>Lower</TD>"}},
        {&PageOptions::align, {kRosterLines[8], "<TD>Face</TD>"}},
        {&PageOptions::finisher, {kRosterLines[9], kRosterLines[18], "<TD>C Driver</TD>"}},
        {&PageOptions::morale, {kRosterLines[10], "<TD>75</TD>"}}};
    for (const auto& [flag, gone] : columns) {
        PageOptions off = o;
        off.*flag = false;
        const Lines roster = without(kRosterLines, gone);
        EXPECT_EQ(report::renderPage(world.game.string(), "save1", off),
                  page(heading, {&roster, &kTitleLines, &kFeudLines}));
    }
    o.titles = false;
    o.commissioner = false;
    EXPECT_EQ(render(), page("WWF", {&kRosterLines, &kFeudLines}));
    o.feuds = false;
    o.fedName = false;
    o.commissioner = true;
    EXPECT_EQ(render(), page("Cole &quot;Boss&quot;'s fed", {&kRosterLines}));
    o.commissioner = false;
    o.titles = true;
    o.order = {"Titles", "Fueds", "Roster"};
    EXPECT_EQ(render(), page("", {&kTitleLines, &kRosterLines}));

    setSave("ECW"); // neither WWF nor WCW: no headings for the middle three titles
    const Lines titles = without(kTitleLines, {kTitleLines[4], kTitleLines[6], kTitleLines[8]});
    EXPECT_EQ(render(), page("", {&titles, &kRosterLines}));

    // Cells per feud level, and the section moves.
    const std::pair<long long, std::size_t> levels[] = {
        {-5, 0}, {14, 0}, {15, 1}, {155, 1}, {156, 2}, {10600, 76}, {1LL << 60, 76}};
    for (const auto& [level, cells] : levels)
        EXPECT_EQ(report::levelCells(level), cells) << level;

    using report::Move;
    const report::SectionOrder reversed = {"Fueds", "Titles", "Roster"};
    EXPECT_EQ(report::moved(report::defaultOrder(), "Fueds", Move::Down), reversed);
    EXPECT_EQ(report::moved(reversed, "", Move::Down), reversed);
}

// A page that cannot be written is a row of the failure sweep and a case of the window's test.
TEST_F(Report, SettingsKeepLineOne) {
    const fs::path options = world.work / "options.dat";
    writeFile(options, "\"/g, h\" \n");
    report::writeSettings(world.work, o.settings);
    EXPECT_EQ(readFile(options),
              "\"/g, h\" \n" + crlf({"out.html", "My <b>Page</b>", "Black", "fff", "2"}));
}

TEST(ReportSample, GoldenPage) {
    PageOptions o;
    o.settings = {"page.html", "Sample", "Black", "Yellow", "1"};
    // Kept with LF ends so that no checkout setting can change it; the page has CR LF.
    std::string golden;
    for (char c : readFile(HV_SOURCE_DIR "/report/tests/sample_page.html"))
        golden += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(report::renderPage(HV_SOURCE_DIR "/sample/game", "save1", o), golden);
}

} // namespace
} // namespace hv::test
