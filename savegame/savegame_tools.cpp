#include "savegame_tools.h"

#include "savegame_windows.h"

namespace hv::savegame {
namespace {

using Tool = ui::ToolDescriptor;

// The title holders and feud editors have no caption; the settings editor keeps the one it
// was designed with.
constexpr Tool kTools[] = {
    {"titles", "", Tool::Opener::Button, "Command4", "Titles", 4, 7, false, &createTitlesWindow},
    {"fuededit", "", Tool::Opener::Button, "Command6", "Fued Editor", 5, 2, false,
     &createFeudWindow},
    {"fededit", "Form1", Tool::Opener::Button, "Command10", "Fed Edit", 8, 0, false,
     &createFedEditWindow},
};

} // namespace

ui::ToolTable saveGameTools() {
    return kTools;
}

} // namespace hv::savegame
