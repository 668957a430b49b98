#include "report_ops.h"

#include "gamefiles/error.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/header_value.h"
#include "gamefiles/options.h"
#include "gamefiles/records.h"
#include "gamefiles/save_game.h"
#include "gamefiles/system_path.h"
#include "gamefiles/temp_rewrite.h"
#include "gamefiles/text.h"

#include <algorithm>
#include <utility>

namespace fs = std::filesystem;

namespace hv::report {
namespace {

constexpr long long kTopLevel = 10600;
constexpr std::size_t kFeudCount = 5;

// The page, one line at a time.
class Page {
public:
    template <class... Parts> void line(const Parts&... parts) {
        (out_.append(parts), ...);
        out_.append(kLineEnd);
    }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

void heading(Page& p, std::string_view title) {
    p.line("<TR><TD><B><I><CENTER>", title, "</CENTER></B></I></TD></TR>");
}

// A save game value: the whole line as one value, escaped.
std::string shown(const SaveHeader& save, std::size_t line) {
    return escapeHtml(headerValue(save.line(line)));
}

void holder(Page& p, const SaveHeader& save, std::size_t line) {
    p.line("<TR><TD><CENTER>", shown(save, line), "</CENTER></TD></TR>");
}

void titlesSection(Page& p, const SaveHeader& save) {
    const std::string fed = headerValue(save.line(SaveHeader::Federation));
    const bool wwf = fed == "WWF", wcw = fed == "WCW";
    p.line("<CENTER><H1>TITLES</H1></CENTER>");
    p.line("<TABLE BORDER = \"0\">");
    heading(p, "World Champion");
    holder(p, save, SaveHeader::Title1);
    const std::pair<std::string_view, std::string_view> middle[] = {
        {"I.C. Champion", "U.S. Champion"},
        {"European Champion", "Television Champion"},
        {"Lightweight Champion", "Cruiserweight Champion"}};
    for (std::size_t i = 0; i < 3; ++i) {
        if (wwf || wcw)
            heading(p, wwf ? middle[i].first : middle[i].second);
        holder(p, save, SaveHeader::Title1 + 1 + i);
    }
    heading(p, "Hardcore Champion");
    holder(p, save, SaveHeader::Title5);
    heading(p, "Tag Team Champions");
    p.line("<TR><TD><CENTER>", shown(save, SaveHeader::TagTeamName), "  (",
           shown(save, SaveHeader::TagTeamFirst), " and ", shown(save, SaveHeader::TagTeamSecond),
           ")</CENTER></TD></TR>");
    p.line("</TABLE>");
    p.line("<BR>");
}

void cell(Page& p, std::string_view value) {
    p.line("<TD>", escapeHtml(value), "</TD>");
}

void rosterSection(Page& p, const fs::path& rosterFile, const PageOptions& o) {
    p.line("<CENTER><H1>ROSTER</H1></CENTER>");
    p.line("<CENTER>");
    p.line("<TABLE BORDER=\"", o.settings.border, "\">");
    p.line("<TR>");
    p.line("<TD><I><B>Name</B></I></TD>");
    const std::pair<bool, std::string_view> columns[] = {
        {o.draw, "Draw"},    {o.ent, "Ent"},           {o.carder, "Carder"},
        {o.align, "Allign"}, {o.finisher, "Finisher"}, {o.morale, "Morale"}};
    for (const auto& [on, title] : columns)
        if (on)
            p.line("<TD><I><B>", title, "</B></I></TD>");
    p.line("</TR>");

    using L = WrestlerRecord::Line;
    const auto records = RecordFile<WrestlerRecord>::read(rosterFile);
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records.isPlaceholder(i))
            continue;
        p.line("<TR>");
        cell(p, records.name(i));
        if (o.draw)
            cell(p, records.line(i, L::Draw));
        if (o.ent)
            cell(p, records.line(i, L::Entertainment));
        if (o.carder) {
            const auto code = parseNumber(records.line(i, L::Carder));
            if (code == 1)
                p.line("<TD>Lower</TD>");
            else if (code == 2)
                p.line("<TD>Middle</TD>");
            else if (code == 3)
                p.line("<TD>High</TD>");
        }
        if (o.align)
            cell(p, records.line(i, L::Alignment));
        if (o.finisher)
            cell(p, records.line(i, L::Finisher));
        if (o.morale)
            cell(p, records.line(i, L::Morale));
    }
    p.line("</TABLE>");
    p.line("</CENTER>");
}

void feudsSection(Page& p, const SaveHeader& save, const fs::path& saveFile) {
    p.line("</CENTER></CENTER></CENTER></CENTER></CENTER></CENTER></CENTER>");
    for (std::size_t n = 0; n < kFeudCount; ++n) {
        const std::string text = headerValue(save.line(SaveHeader::Feud1Text + n));
        if (text.empty())
            continue;
        const std::size_t levelLine = SaveHeader::Feud1Level + 2 * n;
        const auto level = parseNumber(headerValue(save.line(levelLine)));
        if (!level)
            throw GameFileError(saveFile,
                                "the level of feud " + std::to_string(n + 1) +
                                    " is not a number: \"" + save.line(levelLine) + "\"",
                                levelLine);
        if (n == 0)
            p.line("<CENTER><H1>FUEDS</H1></CENTER>");
        p.line("<CENTER>", escapeHtml(text), "</CENTER>");
        p.line("<TABLE BORDER=\"0\" cellspacing=\"0\">");
        p.line("<TR>");
        for (std::size_t k = levelCells(*level); k > 0; --k)
            p.line("<TD BGCOLOR=\"#FF0000\"><FONT color=\"#FF0000\">1</FONT></TD>");
        p.line("</TR>");
        p.line("</TABLE>");
    }
    p.line("</TABLE>");
    p.line("</FONT>");
}

void refuseLineBreaks(const ReportSettings& s, const fs::path& workDir) {
    const std::pair<std::string_view, std::string_view> boxes[] = {
        {"file name", s.file},
        {"title", s.title},
        {"background colour", s.background},
        {"text colour", s.text},
        {"border", s.border}};
    for (const auto& [label, value] : boxes)
        refuseLineBreak(optionsPath(workDir), label, value);
}

} // namespace

SectionOrder defaultOrder() {
    return {std::string(kRoster), std::string(kTitles), std::string(kFeuds)};
}

ReportSettings readSettings(const fs::path& workDir) {
    std::error_code ec;
    if (!fs::exists(optionsPath(workDir), ec))
        return {}; // `hv --game-folder` may run where no settings were ever kept
    const std::string bytes = readFileBytes(optionsPath(workDir));
    LineReader reader(bytes);
    std::array<std::string, 6> lines;
    for (auto& line : lines)
        if (!reader.atEnd())
            line = reader.next();
    return {lines[1], lines[2], lines[3], lines[4], lines[5]};
}

void writeSettings(const fs::path& workDir, const ReportSettings& s) {
    refuseLineBreaks(s, workDir);
    const fs::path file = optionsPath(workDir);
    const OptionsLock lock(workDir); // line 1 is another program's to change meanwhile
    const std::string old = readFileBytes(file);
    std::string out;
    if (const auto lf = old.find('\n'); lf != std::string::npos)
        out.assign(old, 0, lf + 1);
    else
        out = old + std::string(kLineEnd); // a line 1 without its ending gets one
    for (const auto* value : {&s.file, &s.title, &s.background, &s.text, &s.border})
        appendTextLine(out, *value);
    TempRewrite(file, "temp", out);
}

std::string colourCode(std::string_view name) {
    static constexpr std::pair<std::string_view, std::string_view> kColours[] = {
        {"White", "#FFFFFF"},
        {"Black", "#000000"},
        {"Blue", "#0000FF"},
        {"Red", "#FF0000"},
        {"Yellow", "#FFFF00"}};
    for (const auto& [colour, code] : kColours)
        if (colour == name)
            return std::string(code);
    return std::string(name);
}

std::string escapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::size_t levelCells(long long level) {
    if (level < 15)
        return 0;
    return static_cast<std::size_t>((std::min(level, kTopLevel) - 15) / 141 + 1);
}

std::string renderPage(const std::string& gameFolder, std::string_view slot, const PageOptions& o) {
    const fs::path saveFile = slotFilePath(gameFolder, slot, GameFile::SaveGame);
    const SaveHeader save = readSaveGame(saveFile);
    const std::string commissioner = shown(save, SaveHeader::Commissioner);
    const std::string fed = shown(save, SaveHeader::Federation);

    Page p;
    p.line("<HTML>");
    p.line("<TITLE>", o.settings.title, "</TITLE>");
    p.line("<BODY BGCOLOR=\"", colourCode(o.settings.background), "\" TEXT=\"",
           colourCode(o.settings.text), "\">");
    p.line("<CENTER>");
    p.line("<H1>");
    if (o.commissioner && o.fedName)
        p.line(commissioner, "'s ", fed);
    else if (o.commissioner)
        p.line(commissioner, "'s fed");
    else if (o.fedName)
        p.line(fed);
    p.line("</H1>");
    for (const auto& section : o.order) {
        if (section == kRoster)
            rosterSection(p, slotFilePath(gameFolder, slot, GameFile::Roster), o);
        else if (section == kTitles && o.titles)
            titlesSection(p, save);
        else if (section == kFeuds && o.feuds)
            feudsSection(p, save, saveFile);
    }
    p.line("</CENTER>");
    p.line("</BODY>");
    p.line("</HTML>");
    return p.take();
}

fs::path pagePath(const fs::path& workDir, const ReportSettings& s) {
    if (s.file.empty())
        throw OperationRefused("No file name is given for the page.");
    const fs::path name = pathFromBytes(s.file);
    return name.is_relative() ? workDir / name : name;
}

fs::path writePage(const fs::path& workDir, const std::string& gameFolder, std::string_view slot,
                   const PageOptions& options) {
    refuseLineBreaks(options.settings, workDir);
    const fs::path file = pagePath(workDir, options.settings);
    refuseOutputPath(file, workDir, gameFolder, "page");
    const std::string page = renderPage(gameFolder, slot, options);
    TempRewrite(file, "hv-report.tmp", page);
    return file;
}

fs::path orderPath(const fs::path& workDir) {
    return workDir / "arrange.tmp";
}

SectionOrder readOrder(const fs::path& workDir) {
    std::error_code ec;
    if (!fs::exists(orderPath(workDir), ec))
        return defaultOrder();
    const std::string bytes = readFileBytes(orderPath(workDir));
    FieldReader reader(bytes);
    SectionOrder order;
    for (auto& name : order)
        if (!reader.atEnd())
            name = reader.next();
    SectionOrder sorted = order, expected = defaultOrder();
    std::ranges::sort(sorted);
    std::ranges::sort(expected);
    return sorted == expected ? order : defaultOrder();
}

void writeOrder(const fs::path& workDir, const SectionOrder& order) {
    std::string out;
    for (const auto& name : order)
        appendTextLine(out, name);
    std::error_code ec;
    fs::create_directories(workDir, ec); // the user's settings folder on first use
    TempRewrite(orderPath(workDir), "arrange.new", out);
}

SectionOrder moved(SectionOrder o, std::string_view section, Move move) {
    const auto at = std::ranges::find(o, section);
    if (at == o.end())
        return o;
    const std::size_t i = static_cast<std::size_t>(at - o.begin());
    // Up from the top and down from the bottom wrap round to the other end.
    const std::size_t other = move == Move::Up ? (i == 0 ? 2 : i - 1) : (i == 2 ? 0 : i + 1);
    std::swap(o[i], o[other]);
    return o;
}

} // namespace hv::report
