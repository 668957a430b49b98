// Renders the three roster windows over a small game world into PNG files, to look at their
// layout: roster_screenshots [FOLDER] (default /tmp/shots).

#include "../tests/fake_context.h"
#include "roster/roster_windows.h"

#include "testsupport/test_support.h"

#include <QApplication>
#include <QListWidget>
#include <QPixmap>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

void save(QWidget* window, const std::filesystem::path& file) {
    window->show();
    QApplication::processEvents();
    const bool saved = window->grab().save(QString::fromStdString(file.string()));
    std::printf("%s %s\n", saved ? "wrote" : "could not write", file.c_str());
}

void select(QWidget* window, const QString& name) {
    auto* list = window->findChild<QListWidget*>(QStringLiteral("List1"));
    const auto found = list->findItems(name, Qt::MatchExactly);
    if (!found.isEmpty())
        list->setCurrentItem(found.first());
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::filesystem::path folder = argc > 1 ? argv[1] : "/tmp/shots";
    std::filesystem::create_directories(folder);

    hv::test::GameWorld world;
    auto stone = hv::test::wrestler("Stone Cold Steve Austin", " 3 ", "0");
    stone[5] = "Beer-drinking rattlesnake from Victoria, Texas";
    stone[9] = "Stone Cold Stunner";
    stone[14] = "Wally Manager";
    world.setRoster(
        "save1", {hv::test::wrestler("name"), stone, hv::test::wrestler("The Rock", "3", " 4 "),
                  hv::test::wrestler("Mankind", "2", "2"), hv::test::wrestler("Triple H", "3", "0"),
                  hv::test::wrestler("X-Pac", "1", " 1 ")});
    hv::test::FakeContext context(world.work);

    std::unique_ptr<QWidget> editor(hv::roster::createRosterEditor(context));
    select(editor.get(), QStringLiteral("Stone Cold Steve Austin"));
    save(editor.get(), folder / "roster_editor.png");

    std::unique_ptr<QWidget> reorder(hv::roster::createReorderWindow(context));
    save(reorder.get(), folder / "reorder.png");

    std::unique_ptr<QWidget> doctor(hv::roster::createInjuriesWindow(context));
    select(doctor.get(), QStringLiteral("The Rock"));
    save(doctor.get(), folder / "doctor.png");
    return 0;
}
