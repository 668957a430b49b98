#include "restore_tools.h"

#include "restore_windows.h"

namespace hv::restore {
namespace {

using Tool = ui::ToolDescriptor;

// Closed by a change of slot, last: it lists the points of the slot it was opened with.
constexpr Tool kTools[] = {
    {"restore", kCaption, Tool::Opener::Menu, "restoreMenu", "Restore...", 2, 8, false,
     &createRestoreWindow},
};

} // namespace

ui::ToolTable restoreTools() {
    return kTools;
}

} // namespace hv::restore
