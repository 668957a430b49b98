#include "main_window.h"
#include "screenshot.h"

#include <QApplication>

#include <filesystem>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // options.dat is looked up in the folder the program was started from.
    hv::ui::MainWindow window(std::filesystem::current_path());
    window.showAtStart();

    const QStringList args = QApplication::arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("--screenshot"))
        return hv::ui::saveScreenshot(window, args.at(2), args.at(3));
    return QApplication::exec();
}
