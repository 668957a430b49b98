#include "report_tools.h"

#include "report_windows.h"

namespace hv::report {
namespace {

using Tool = ui::ToolDescriptor;

constexpr Tool kTools[] = {
    {.window = "html22",
     .caption = kCaption,
     .opener = Tool::Opener::Menu,
     .openerName = "html",
     .openerText = "HTMLize",
     .receivesSlot = false,
     .create = &createReportWindow},
};

} // namespace

ui::ToolTable reportTools() {
    return kTools;
}

} // namespace hv::report
