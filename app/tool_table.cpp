#include "tool_table.h"

#include "exchange/exchange_tools.h"
#include "managers/managers_tools.h"
#include "otherfeds/otherfeds_tools.h"
#include "report/report_tools.h"
#include "restore/restore_tools.h"
#include "roster/roster_windows.h"
#include "savegame/savegame_tools.h"

namespace hv::app {

const std::vector<ui::ToolDescriptor>& allTools() {
    static const std::vector<ui::ToolDescriptor> tools = [] {
        std::vector<ui::ToolDescriptor> all;
        for (ui::ToolTable table : {
                 roster::rosterTools(),
                 otherfeds::otherFedTools(),
                 savegame::saveGameTools(),
                 managers::managerTools(),
                 exchange::exchangeTools(),
                 report::reportTools(),
                 restore::restoreTools(),
             })
            all.insert(all.end(), table.begin(), table.end());
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

} // namespace hv::app
