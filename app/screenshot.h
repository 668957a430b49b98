#pragma once

// `hv-editor --screenshot WINDOW FILE.png`: renders one window to a PNG file, so that the
// windows can be looked at without a display.

#include <QString>

namespace hv::app {

class MainWindow;

// Opens `window` (MAin, pathfind or a tool window name) from `main`, lets it lay out, and
// saves it. Returns the process exit code; errors go to stderr.
int saveScreenshot(MainWindow& main, const QString& window, const QString& file);

} // namespace hv::app
