#include "otherfeds_tools.h"
#include "otherfeds_windows.h"

namespace hv::otherfeds {
namespace {

using Tool = ui::ToolDescriptor;

constexpr Tool kTools[] = {
    {.window = "traderos",
     .caption = "Trading Rosters",
     .opener = Tool::Opener::Button,
     .openerName = "Command7",
     .openerText = "Trading Rosters",
     .receivesSlot = false,
     .create = &createTradingWindow},
};

} // namespace

ui::ToolTable otherFedTools() {
    return kTools;
}

} // namespace hv::otherfeds
