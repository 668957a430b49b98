#include "main_window.h"
#include "screenshot.h"

#include "exchange/exchange_windows.h"
#include "ui/file_path.h"

#include "gamefiles/options.h"

#include <QApplication>

#include <filesystem>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // options.dat and the files the editor writes of its own lie in the working folder, on
    // Windows beside the program (or with the user when that folder is read-only), however the
    // program was started: from the Start menu, or by opening an exchange file.
    hv::ui::MainWindow window(hv::optionsFolder());
    window.showAtStart();

    const QStringList args = QApplication::arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("--screenshot"))
        return hv::ui::saveScreenshot(window, args.at(2), args.at(3));
    // `hv-editor FILE.hve`, as the desktop opens an export file: the exchange window with
    // that file chosen and previewed, ready for "Import".
    for (const std::filesystem::path& file : hv::ui::argumentPaths(argc, argv)) {
        if (hv::ui::pathText(file.extension())
                .compare(QLatin1String(hv::exchange::kExportExtension), Qt::CaseInsensitive) == 0) {
            std::error_code ec;
            hv::exchange::chooseExportFile(window.openTool(QStringLiteral("impsave")),
                                           std::filesystem::absolute(file, ec));
            break;
        }
    }
    return QApplication::exec();
}
