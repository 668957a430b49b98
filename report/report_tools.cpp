#include "report_tools.h"

namespace hv::report {
namespace {

using Tool = ui::ToolDescriptor;

constexpr Tool kTools[] = {
    {"html22", "HTML Roster", Tool::Opener::Menu, "html", "HTMLize", 1, 3, false, nullptr},
};

} // namespace

ui::ToolTable reportTools() {
    return kTools;
}

} // namespace hv::report
