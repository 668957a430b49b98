#include "otherfeds_tools.h"
#include "otherfeds_windows.h"

namespace hv::otherfeds {
namespace {

using Tool = ui::ToolDescriptor;

constexpr Tool kTools[] = {
    {"traderos", "Trading Rosters", Tool::Opener::Button, "Command7", "Trading Rosters", 6, 0,
     false, &createTradingWindow},
};

} // namespace

ui::ToolTable otherFedTools() {
    return kTools;
}

} // namespace hv::otherfeds
