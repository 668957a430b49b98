#include "tool_descriptor.h"

namespace hv::ui {

QWidget* createTool(const ToolDescriptor& tool, EditorContext& context) {
    return tool.create(context);
}

} // namespace hv::ui
