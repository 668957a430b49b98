#include "screenshot.h"

#include "main_window.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>

namespace hv::app {

using namespace hv::ui;

int saveScreenshot(MainWindow& main, const QString& window, const QString& file) {
    QWidget* target = nullptr;
    if (window == main.objectName())
        target = &main;
    else if (window == QLatin1String("pathfind"))
        target = main.openFolderChooser();
    else
        target = main.openTool(window);
    if (!target) {
        std::fprintf(stderr, "hv-editor: no window named %s\n", qPrintable(window));
        return 2;
    }
    target->show();
    // Let layouts and deferred deletes settle before grabbing.
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    if (!target->grab().save(file, "PNG")) {
        std::fprintf(stderr, "hv-editor: cannot write %s\n", qPrintable(file));
        return 1;
    }
    return 0;
}

} // namespace hv::app
