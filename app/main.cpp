#include "main_window.h"
#include "screenshot.h"

#include "exchange/exchange_windows.h"
#include "ui/file_path.h"
#include "ui/messages.h"

#include "gamefiles/options.h"
#include "hv_version.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Start {
    std::optional<int> exitCode; // set: print nothing more and end with it
    QString screenshotWindow;
    QString screenshotFile;
    std::vector<fs::path> exportFiles;
};

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

Start usageError(const QString& message) {
    print(stderr, QStringLiteral("hv-editor: %1\nTry 'hv-editor --help'.\n").arg(message));
    return {2, {}, {}, {}};
}

// Read before any window system is needed, so that --help, --version and mistakes are
// answered without a display. The arguments go through pathText so that file names come
// back byte for byte.
Start parseArguments(int argc, char** argv) {
    QStringList args{QStringLiteral("hv-editor")};
    for (const fs::path& arg : hv::ui::argumentPaths(argc, argv))
        args.append(hv::ui::pathText(arg));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Edits the data files of a Halvorn game folder.\n\n"
        "With FILE.hve arguments the exchange window opens with them: one file is chosen and\n"
        "previewed, ready for Import; several are imported in turn, as a drop of them is.\n"
        "options.dat is used from the working folder when it holds one, else from the\n"
        "user's settings folder (see `hv game-folder show`)."));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save WINDOW (MAin, pathfind or a tool window's name) as the PNG file "
                       "FILE, the argument after it, and exit."),
        QStringLiteral("WINDOW"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(screenshot);
    parser.addPositionalArgument(QStringLiteral("FILE.hve"),
                                 QStringLiteral("Export files to open in the exchange window."),
                                 QStringLiteral("[FILE.hve...]"));
    if (!parser.parse(args))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        print(stdout,
              parser.helpText().replace(
                  QStringLiteral("<executable_name> [options]"),
                  QStringLiteral("hv-editor [--help | --version | --screenshot WINDOW FILE]")));
        return {0, {}, {}, {}};
    }
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("hv-editor " HV_VERSION "\n"));
        return {0, {}, {}, {}};
    }
    Start start;
    const QStringList rest = parser.positionalArguments();
    if (parser.isSet(screenshot)) {
        if (rest.size() != 1)
            return usageError(QStringLiteral("--screenshot needs WINDOW and FILE"));
        start.screenshotWindow = parser.value(screenshot);
        std::error_code ec; // a relative name counts from where the program was started
        start.screenshotFile =
            hv::ui::pathText(fs::absolute(hv::ui::pathFromText(rest.front()), ec));
        return start;
    }
    for (const QString& arg : rest) {
        const fs::path file = hv::ui::pathFromText(arg);
        if (hv::ui::pathText(file.extension())
                .compare(QLatin1String(hv::exchange::kExportExtension), Qt::CaseInsensitive) != 0)
            return usageError(QStringLiteral("not an export file (.hve): %1").arg(arg));
        std::error_code ec;
        start.exportFiles.push_back(fs::absolute(file, ec));
    }
    return start;
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Windows always has a display, and gives the arguments whole only through the
    // application object.
    QApplication app(argc, argv);
#endif
    const Start start = parseArguments(argc, argv);
    if (start.exitCode)
        return *start.exitCode;
#ifndef _WIN32
    QApplication app(argc, argv);
#endif
    QApplication::setApplicationName(QStringLiteral("hv-editor"));
    // A screenshot run, or one on a platform that shows nothing, has nobody to answer a box.
    const QString platform = QGuiApplication::platformName();
    hv::ui::setNoUser(!start.screenshotWindow.isEmpty() || platform == QLatin1String("offscreen") ||
                      platform == QLatin1String("minimal"));
    // options.dat and the editor's own scratch files lie where optionsFolder() says, however
    // the program was started: from a menu, or by opening an exchange file. Exported files
    // and pages go to the working folder; on Windows, where the Start menu or Explorer picks
    // an arbitrary one, they go beside the settings.
    std::error_code ec;
    const fs::path settings = hv::optionsFolder();
#ifdef _WIN32
    fs::current_path(settings, ec);
#endif
    hv::app::MainWindow window(settings, fs::current_path(ec));
    window.showAtStart();

    if (!start.screenshotWindow.isEmpty())
        return hv::app::saveScreenshot(window, start.screenshotWindow, start.screenshotFile);
    if (!start.exportFiles.empty())
        hv::exchange::openExportFiles(window.openTool(QStringLiteral("impsave")),
                                      start.exportFiles);
    return QApplication::exec();
}
