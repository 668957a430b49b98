#include "tool_descriptor.h"

#include "editor_context.h"
#include "window_support.h"

#include <QWidget>

namespace hv::ui {

QWidget* createTool(const ToolDescriptor& tool, EditorContext& context) {
    if (tool.create)
        return tool.create(context);
    auto* window = new QWidget;
    window->setObjectName(QString::fromLatin1(tool.window));
    window->setWindowTitle(QString::fromLatin1(tool.caption));
    window->resize(360, 240);
    hiddenBox(window, QStringLiteral("hid"), context.currentSlot());
    return window;
}

} // namespace hv::ui
