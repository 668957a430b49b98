#pragma once

// The HTML roster report: one page about the player's federation in a slot (heading, roster
// table, title holders, feud bars), its settings in lines 2 to 6 of options.dat and the
// section order in "arrange.tmp", both in the working folder. Qt-free, shared by the report
// window and `hv report`. The game's files are only read.

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace hv::report {

inline constexpr std::string_view kRoster = "Roster";
inline constexpr std::string_view kTitles = "Titles";
inline constexpr std::string_view kFeuds = "Fueds";

using SectionOrder = std::array<std::string, 3>;
SectionOrder defaultOrder();

// Lines 2 to 6 of options.dat, as the window shows them.
struct ReportSettings {
    std::string file;       // output file name
    std::string title;      // page title
    std::string background; // colour name or typed text
    std::string text;       // likewise
    std::string border;     // roster table border, as typed
};

// Lines 2 to 6 by line read; the lines a short (first use) or missing options.dat lacks
// are empty.
ReportSettings readSettings(const std::filesystem::path& workDir);

// Rewrites options.dat through "temp": line 1 byte for byte, then the five settings; any
// older lines after line 1 are dropped. A setting with a line break is refused.
void writeSettings(const std::filesystem::path& workDir, const ReportSettings& settings);

struct PageOptions {
    ReportSettings settings;
    SectionOrder order = defaultOrder();
    bool commissioner = true, fedName = true, titles = true, feuds = true; // Check7 to Check10
    bool draw = true, ent = true, carder = true, align = true, finisher = true,
         morale = true; // Check1 to Check6
};

// "White" and the other four names become their colour codes; any other text stays as it is.
std::string colourCode(std::string_view name);

// Escapes the characters that would be read as markup: & < > and the double quote.
std::string escapeHtml(std::string_view text);

// Number of cells in a feud's level bar: one per step of 141 from 15, so 0 below 15 and 76
// at 10600, the top of the feud scale (higher levels draw the full bar).
std::size_t levelCells(long long level);

// The page for `slot`, every line ended by CR LF. Values from the game's files are escaped;
// the title, colours and border are written as typed.
std::string renderPage(const std::string& gameFolder, std::string_view slot,
                       const PageOptions& options);

// The page file: settings.file, a relative name counting from `workDir`. An empty name is
// refused.
std::filesystem::path pagePath(const std::filesystem::path& workDir, const ReportSettings& s);

// Renders and writes the page (safe rewrite of the page file); returns its path. A page file
// that is one of the editor's own files (options.dat, "arrange.tmp", "temp") or lies inside
// the game folder is refused, with nothing written.
std::filesystem::path writePage(const std::filesystem::path& workDir, const std::string& gameFolder,
                                std::string_view slot, const PageOptions& options);

// The section order file "arrange.tmp". Reading takes three values by field read; a missing
// file or one that is not the three names in some order reads as the default order.
std::filesystem::path orderPath(const std::filesystem::path& workDir);
SectionOrder readOrder(const std::filesystem::path& workDir);
void writeOrder(const std::filesystem::path& workDir, const SectionOrder& order);

enum class Move { Up, Down };
// The order after moving `section`: up swaps it with the one above (the top one with the
// bottom one), down with the one below (the bottom one with the top one). A name not in the
// order changes nothing.
SectionOrder moved(SectionOrder order, std::string_view section, Move move);

} // namespace hv::report
