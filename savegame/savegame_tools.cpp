#include "savegame_tools.h"

#include "savegame_windows.h"

namespace hv::savegame {
namespace {

using Tool = ui::ToolDescriptor;

// The title holders and feud editors have no caption; the settings editor keeps the one it
// was designed with.
constexpr Tool kTools[] = {
    {.window = "titles",
     .caption = "",
     .opener = Tool::Opener::Button,
     .openerName = "Command4",
     .openerText = "Titles",
     .receivesSlot = false,
     .create = &createTitlesWindow},
    {.window = "fuededit",
     .caption = "",
     .opener = Tool::Opener::Button,
     .openerName = "Command6",
     .openerText = "Fued Editor",
     .receivesSlot = false,
     .create = &createFeudWindow},
    {.window = "fededit",
     .caption = "Form1",
     .opener = Tool::Opener::Button,
     .openerName = "Command10",
     .openerText = "Fed Edit",
     .receivesSlot = false,
     .create = &createFedEditWindow},
};

} // namespace

ui::ToolTable saveGameTools() {
    return kTools;
}

} // namespace hv::savegame
