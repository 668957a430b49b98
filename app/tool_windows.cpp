#include "tool_windows.h"

#include "editor_context.h"
#include "roster/roster_windows.h"

#include <QLineEdit>
#include <QWidget>

#include <map>

namespace hv::ui {
namespace {

struct ToolInfo {
    const char* name;
    const char* caption;
};

// Windows designed without a caption keep an empty title bar; mansave and impsave, which
// were given none at all, show their button's text.
constexpr ToolInfo kTools[] = {
    {"save", "Editing Roster"},
    {"mansave", "Managers"},
    {"impsave", "Import/Export Wrestlers"},
    {"doctor", ""},
    {"titles", ""},
    {"fuededit", ""},
    {"traderos", "Trading Rosters"},
    {"reorder", "Re Order your Roster"},
    {"fededit", "Form1"},
    {"html22", "HTML Roster"},
};

// Stands in for a tool that is not built yet: the right name and caption, and a hidden
// `hid` holding the slot it was opened for.
QWidget* placeholder(const QString& name, EditorContext& context) {
    auto* window = new QWidget;
    window->setObjectName(name);
    window->setWindowTitle(toolCaption(name));
    window->resize(360, 240);
    auto* hid = new QLineEdit(context.currentSlot(), window);
    hid->setObjectName(QStringLiteral("hid"));
    hid->hide();
    return window;
}

} // namespace

const QStringList& toolWindowNames() {
    static const QStringList names = [] {
        QStringList list;
        for (const ToolInfo& tool : kTools)
            list << QString::fromLatin1(tool.name);
        return list;
    }();
    return names;
}

QString toolCaption(const QString& name) {
    for (const ToolInfo& tool : kTools) {
        if (name == QLatin1String(tool.name))
            return QString::fromLatin1(tool.caption);
    }
    return {};
}

bool receivesSlot(const QString& name) {
    return name == QLatin1String("save") || name == QLatin1String("mansave") ||
           name == QLatin1String("impsave");
}

ToolFactory defaultToolFactory(const QString& name) {
    if (name == QLatin1String("save"))
        return [](EditorContext& context) { return roster::createRosterEditor(context); };
    if (name == QLatin1String("reorder"))
        return [](EditorContext& context) { return roster::createReorderWindow(context); };
    if (name == QLatin1String("doctor"))
        return [](EditorContext& context) { return roster::createInjuriesWindow(context); };
    return [name](EditorContext& context) { return placeholder(name, context); };
}

} // namespace hv::ui
