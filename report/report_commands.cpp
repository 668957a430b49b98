#include "cli/cli.h"

#include "gamefiles/system_path.h"
#include "report/report_ops.h"

#include <algorithm>
#include <ostream>
#include <ranges>

namespace hv::cli {
namespace {

const Value kOutput{"--output", "FILE", "the page's file"};
const Value kTitle{"--title", "T", "the page's heading"};
const Value kBackground{"--background", "C", "the background colour"};
const Value kText{"--text", "C", "the text colour"};
const Value kBorder{"--border", "N", "the table border"};
const Value kOrder{"--order", "Roster,Titles,Fueds", "the order of the sections"};
const Value kHide{"--hide", "LIST", "the parts left out (see below)"};

using report::PageOptions;

// A plain loop: clang 14 cannot compile std::views::split over libstdc++ 12's ranges.
std::vector<std::string> splitCommas(std::string_view list) {
    std::vector<std::string> parts;
    for (std::size_t start = 0; !list.empty();) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        parts.emplace_back(list.substr(start, comma - start));
        if (comma == list.size())
            return parts;
        start = comma + 1;
    }
    return parts;
}

report::SectionOrder orderOption(const std::string& value) {
    const auto parts = splitCommas(value);
    report::SectionOrder order = report::defaultOrder();
    if (parts.size() != order.size() || !std::ranges::is_permutation(parts, order))
        throw UsageError{"--order takes Roster, Titles and Fueds, each once, separated by "
                         "commas, not \"" +
                         value + "\""};
    std::ranges::copy(parts, order.begin());
    return order;
}

void hideOption(const std::string& value, PageOptions& o) {
    const std::pair<std::string_view, bool*> kParts[] = {{"commissioner", &o.commissioner},
                                                         {"fedname", &o.fedName},
                                                         {"titles", &o.titles},
                                                         {"feuds", &o.feuds},
                                                         {"draw", &o.draw},
                                                         {"ent", &o.ent},
                                                         {"carder", &o.carder},
                                                         {"align", &o.align},
                                                         {"finisher", &o.finisher},
                                                         {"morale", &o.morale}};
    for (const auto& word : splitCommas(value)) {
        const auto found =
            std::ranges::find(kParts, word, &std::pair<std::string_view, bool*>::first);
        if (found == std::end(kParts))
            throw UsageError{"--hide does not know \"" + word + "\"; see hv report --help"};
        *found->second = false;
    }
}

int reportCommand(CliContext& c, const Args& args) {
    PageOptions o;
    o.settings = report::readSettings(c.settingsDir);
    const std::pair<const Value&, std::string*> kSettings[] = {
        {kOutput, &o.settings.file},
        {kTitle, &o.settings.title},
        {kBackground, &o.settings.background},
        {kText, &o.settings.text},
        {kBorder, &o.settings.border}};
    for (const auto& [option, setting] : kSettings)
        if (const auto value = args[option])
            *setting = *value;
    if (const auto value = args[kOrder])
        o.order = orderOption(*value);
    if (const auto value = args[kHide])
        hideOption(*value, o);
    c.out << pathBytes(report::writePage(c.workDir, c.gameFolder(), c.slot, o)) << "\n";
    return kOk;
}

} // namespace

std::vector<Command> reportCommands() {
    return {
        {{"report"},
         "",
         {kOutput, kTitle, kBackground, kText, kBorder, kOrder, kHide},
         "Write the HTML roster page, as \"HTML IT!!!\" does.",
         "Writes the page of the report window for the slot (heading, roster table, title\n"
         "holders, feud bars) to FILE and prints FILE's name; a relative FILE counts from\n"
         "the working folder. Options not given take the window's remembered settings,\n"
         "lines 2 to 6 of options.dat (file, title, background, text colour, border).\n"
         "Colours \"White\", \"Black\", \"Blue\", \"Red\" and \"Yellow\" become their codes; any\n"
         "other text, the title and the border are written as given. Values from the\n"
         "game's files are escaped for HTML.\n"
         "--order gives the order of the sections (default Roster,Titles,Fueds).\n"
         "--hide takes a comma-separated list of: commissioner, fedname (heading),\n"
         "titles, feuds (sections), draw, ent, carder, align, finisher, morale (roster\n"
         "columns); everything else is shown.\n"
         "options.dat and the window's arrange.tmp are left alone. Refused (exit 1) when\n"
         "no file name is given or known, when FILE is options.dat, arrange.tmp or temp\n"
         "of the working folder, saveslots.hv1 or a file in a slot folder of the game,\n"
         "or lies under .hv-restore, or when a file cannot be read or written.",
         reportCommand},
    };
}

} // namespace hv::cli
