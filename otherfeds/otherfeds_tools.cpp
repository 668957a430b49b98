#include "otherfeds_tools.h"

namespace hv::otherfeds {
namespace {

using Tool = ui::ToolDescriptor;

constexpr Tool kTools[] = {
    {"traderos", "Trading Rosters", Tool::Opener::Button, "Command7", "Trading Rosters", 6, 0,
     false, nullptr},
};

} // namespace

ui::ToolTable otherFedTools() {
    return kTools;
}

} // namespace hv::otherfeds
