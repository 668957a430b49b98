#include "restore_tools.h"

#include "restore_windows.h"

namespace hv::restore {
namespace {

using Tool = ui::ToolDescriptor;

constexpr Tool kTools[] = {
    {.window = "restore",
     .caption = kCaption,
     .opener = Tool::Opener::Menu,
     .openerName = "restoreMenu",
     .openerText = "Restore...",
     .receivesSlot = false,
     .create = &createRestoreWindow},
};

} // namespace

ui::ToolTable restoreTools() {
    return kTools;
}

} // namespace hv::restore
