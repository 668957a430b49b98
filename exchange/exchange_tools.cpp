#include "exchange_tools.h"

#include "exchange_windows.h"

namespace hv::exchange {
namespace {

using Tool = ui::ToolDescriptor;

constexpr Tool kTools[] = {
    {"impsave", "Import/Export Wrestlers", Tool::Opener::Button, "Command5",
     "Import/Export Wrestlers", 2, 4, true, &createExchangeWindow},
};

} // namespace

ui::ToolTable exchangeTools() {
    return kTools;
}

} // namespace hv::exchange
