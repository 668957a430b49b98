#include "main_window.h"
#include "screenshot.h"

#include "exchange/exchange_windows.h"

#include "gamefiles/options.h"

#include <QApplication>
#include <QFileInfo>

#include <filesystem>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const bool screenshot = args.size() == 4 && args.at(1) == QLatin1String("--screenshot");
    // `hv-editor FILE.hve`, as the desktop opens an export file: the exchange window with
    // that file chosen and previewed, ready for "Import". A relative name counts from where
    // the program was started.
    QString file = screenshot ? QFileInfo(args.at(3)).absoluteFilePath() : QString();
    for (const QString& arg : args.mid(1)) {
        if (!screenshot &&
            arg.endsWith(QLatin1String(hv::exchange::kExportExtension), Qt::CaseInsensitive)) {
            file = QFileInfo(arg).absoluteFilePath();
            break;
        }
    }

    // options.dat, the editor's own files (exports, the report's page) and a relative game
    // folder count from the working folder. On Windows that becomes the program's folder (or
    // the user's, when it is read-only), however the program was started: from the Start
    // menu, or by Explorer in the folder of an exchange file it opens.
    const std::filesystem::path workDir = hv::optionsFolder();
    std::error_code ec;
    std::filesystem::current_path(workDir, ec);
    hv::ui::MainWindow window(workDir);
    window.showAtStart();

    if (screenshot)
        return hv::ui::saveScreenshot(window, args.at(2), file);
    if (!file.isEmpty())
        hv::exchange::chooseExportFile(window.openTool(QStringLiteral("impsave")), file);
    return QApplication::exec();
}
