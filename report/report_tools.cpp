#include "report_tools.h"

#include "report_windows.h"

namespace hv::report {
namespace {

using Tool = ui::ToolDescriptor;

constexpr Tool kTools[] = {
    {"html22", kCaption, Tool::Opener::Menu, "html", "HTMLize", 1, 3, false, &createReportWindow},
};

} // namespace

ui::ToolTable reportTools() {
    return kTools;
}

} // namespace hv::report
