#include "exchange_tools.h"

#include "exchange_windows.h"

namespace hv::exchange {
namespace {

using Tool = ui::ToolDescriptor;

constexpr Tool kTools[] = {
    {.window = "impsave",
     .caption = "Import/Export Wrestlers",
     .opener = Tool::Opener::Button,
     .openerName = "Command5",
     .openerText = "Import/Export Wrestlers",
     .receivesSlot = true,
     .create = &createExchangeWindow},
};

} // namespace

ui::ToolTable exchangeTools() {
    return kTools;
}

} // namespace hv::exchange
