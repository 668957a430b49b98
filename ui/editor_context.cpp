#include "editor_context.h"

#include "gamefiles/options.h"

namespace hv::ui {

std::string gameFolder(const EditorContext& context) {
    return readGameFolder(context.settingsDir());
}

} // namespace hv::ui
