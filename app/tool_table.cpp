#include "tool_table.h"

#include <algorithm>
#include <span>
#include <string_view>

namespace hv::app {
namespace {

using Opener = ui::ToolDescriptor::Opener;

// The main window's buttons, row by row in two columns, and its menu items, by window name.
// A tool missing here still gets its button or item, after these.
constexpr std::string_view kButtonOrder[] = {"save",     "mansave",  "impsave", "doctor", "titles",
                                             "fuededit", "traderos", "reorder", "fededit"};
constexpr std::string_view kMenuOrder[] = {"html22", "batch", "restore"};

// The windows showing one slot's data, closed in this order by a change of slot. The restore
// window goes last: it lists the points of the slot it was opened with.
constexpr std::string_view kSlotClosingOrder[] = {"doctor",      "fuededit", "html22", "impsave",
                                                  "mansave",     "save",     "titles", "batch",
                                                  "rostertable", "restore"};

std::vector<const ui::ToolDescriptor*> inOrder(std::span<const std::string_view> order) {
    std::vector<const ui::ToolDescriptor*> tools;
    for (std::string_view name : order)
        for (const auto& tool : allTools())
            if (name == tool.window) {
                tools.push_back(&tool); // a window opened from a button and the menu: once
                break;
            }
    return tools;
}

} // namespace

const std::vector<ui::ToolDescriptor>& allTools() {
    static const std::vector<ui::ToolDescriptor> tools = [] {
        std::vector<ui::ToolDescriptor> all;
        for (auto toolsOf : subsystemTools()) {
            const ui::ToolTable table = toolsOf();
            all.insert(all.end(), table.begin(), table.end());
        }
        return all;
    }();
    return tools;
}

const ui::ToolDescriptor* findTool(const QString& window) {
    for (const auto& tool : allTools())
        if (window == QLatin1String(tool.window))
            return &tool;
    return nullptr;
}

std::vector<const ui::ToolDescriptor*> toolsOpenedBy(Opener opener) {
    std::vector<const ui::ToolDescriptor*> tools =
        inOrder(opener == Opener::Button ? std::span<const std::string_view>(kButtonOrder)
                                         : std::span<const std::string_view>(kMenuOrder));
    std::erase_if(tools, [opener](auto* tool) { return tool->opener != opener; });
    for (const auto& tool : allTools())
        if (tool.opener == opener && std::ranges::find(tools, &tool) == tools.end())
            tools.push_back(&tool);
    return tools;
}

std::vector<const ui::ToolDescriptor*> slotClosingOrder() {
    return inOrder(kSlotClosingOrder);
}

} // namespace hv::app
