#include "app_test_support.h"

#include "app/folder_chooser.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QTest>

namespace fs = std::filesystem;

namespace hv::test {
namespace {

// Points HOME at a folder of the test's own and puts it back afterwards.
class HomeFolder {
public:
    explicit HomeFolder(const fs::path& home) : old_(qgetenv("HOME")) {
        fs::create_directories(home);
        qputenv("HOME", QByteArray::fromStdString(home.string()));
    }
    ~HomeFolder() { qputenv("HOME", old_); }

private:
    QByteArray old_;
};

class FolderChooserTest : public AppTest {
protected:
    hv::ui::FolderChooser* openChooser() {
        main->findChild<QAction*>(u"phv"_s)->trigger();
        auto* chooser = qobject_cast<hv::ui::FolderChooser*>(main->windows().find(u"pathfind"_s));
        EXPECT_NE(chooser, nullptr);
        return chooser;
    }
    QListWidget* dirList(QWidget* chooser) { return child<QListWidget>(chooser, u"Dir1"_s); }

    // Opens a folder of the list from the keyboard, as a user would.
    void enterFolder(QWidget* chooser, const QString& text) {
        QListWidget* list = dirList(chooser);
        const auto found = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        list->setCurrentItem(found.first());
        QTest::keyClick(list, Qt::Key_Return);
    }
    // ... and with a double click.
    void doubleClickFolder(QWidget* chooser, const QString& text) {
        QListWidget* list = dirList(chooser);
        const auto found = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        const QPoint at = list->visualItemRect(found.first()).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    std::string options() { return readFile(optionsFile()); }
};

TEST_F(FolderChooserTest, MovingIntoASubfolderAndBackWritesEachFolderAndReloads) {
    writeFile(optionsFile(), crlf({world.game.string(), "page.html,1", "\"a, b\"", "3"}));
    start();
    clickOption(2);
    main->openTool(u"titles"_s);
    main->openTool(u"traderos"_s);
    hv::ui::FolderChooser* chooser = openChooser();
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->currentFolder(), world.game);

    enterFolder(chooser, u"save1"_s);
    EXPECT_EQ(chooser->currentFolder(), world.game / "save1");
    // Line 1 is the new folder; the report's lines stay as they were.
    EXPECT_EQ(options(), crlf({(world.game / "save1").string(), "page.html,1", "\"a, b\"", "3"}));
    EXPECT_FALSE(fs::exists(world.work / "temp"));
    EXPECT_EQ(frameTitle(), u"Path is incorrect."_s);
    for (int n = 1; n <= 4; ++n)
        EXPECT_FALSE(option(n)->isEnabled()) << n;
    EXPECT_EQ(hid(), u"save1"_s);
    EXPECT_FALSE(main->windows().isOpen(u"titles"_s));
    EXPECT_TRUE(main->windows().isOpen(u"traderos"_s));
    // The failed load brings the same chooser forward rather than opening another.
    EXPECT_EQ(main->windows().find(u"pathfind"_s), chooser);

    doubleClickFolder(chooser, QString::fromStdString(world.game.filename().string()));
    EXPECT_EQ(chooser->currentFolder(), world.game);
    EXPECT_EQ(options(), crlf({world.game.string(), "page.html,1", "\"a, b\"", "3"}));
    EXPECT_EQ(frameTitle(), u"Select Save File to edit"_s);
    EXPECT_EQ(option(1)->text(), u"Save 1 : First Slot"_s);
    EXPECT_FALSE(option(3)->isEnabled());
    EXPECT_TRUE(option(4)->isEnabled());
    EXPECT_TRUE(messages.empty());
}

TEST_F(FolderChooserTest, FolderNamesKeepTheirBytes) {
    const std::string name = "Caf\xe9 \x80";
    fs::create_directories(world.game / name);
    start();
    hv::ui::FolderChooser* chooser = openChooser();
    ASSERT_NE(chooser, nullptr);
    enterFolder(chooser, u"Caf\u00e9 \u20ac"_s);
    EXPECT_EQ(options(), crlf({(world.game / name).string()}));
    EXPECT_EQ(child<QLineEdit>(chooser, u"currentPath"_s)->text(),
              QString::fromStdString(world.game.string()) + u"/Caf\u00e9 \u20ac"_s);
}

TEST_F(FolderChooserTest, FirstRunOpensAtHomeAndWritesOnlyWhenTheUserMoves) {
    HomeFolder home(world.root.path() / "home");
    fs::create_directories(world.root.path() / "home" / "Games");
    fs::remove(optionsFile());
    start();
    auto* chooser = qobject_cast<hv::ui::FolderChooser*>(main->windows().find(u"pathfind"_s));
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->currentFolder(), world.root.path() / "home");
    EXPECT_FALSE(fs::exists(optionsFile()));

    chooser->close();
    EXPECT_FALSE(fs::exists(optionsFile()));

    chooser = openChooser();
    ASSERT_NE(chooser, nullptr);
    enterFolder(chooser, u"Games"_s);
    EXPECT_EQ(options(), crlf({(world.root.path() / "home" / "Games").string()}));
    EXPECT_EQ(frameTitle(), u"Path is incorrect."_s);

    chooser->moveTo(world.game);
    EXPECT_EQ(options(), crlf({world.game.string()}));
    EXPECT_EQ(option(2)->text(), u"Save 2 : Second Slot"_s);
    EXPECT_TRUE(messages.empty());
}

TEST_F(FolderChooserTest, WrongFolderOpensAtItsNearestAncestorWithoutWriting) {
    const std::string wrong = (world.game / "missing" / "deeper").string();
    writeFile(optionsFile(), crlf({wrong, "kept"}));
    start();
    auto* chooser = qobject_cast<hv::ui::FolderChooser*>(main->windows().find(u"pathfind"_s));
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->currentFolder(), world.game);
    EXPECT_EQ(child<QLineEdit>(chooser, u"Text1"_s)->text(), QString::fromStdString(wrong));
    chooser->close();
    EXPECT_EQ(options(), crlf({wrong, "kept"}));
}

TEST_F(FolderChooserTest, ChoosingADriveWritesItsFolderAtOnce) {
    HomeFolder home(world.root.path() / "home");
    start();
    hv::ui::FolderChooser* chooser = openChooser();
    ASSERT_NE(chooser, nullptr);
    auto* drives = child<QComboBox>(chooser, u"Drive1"_s);
    ASSERT_GE(drives->count(), 2);
    EXPECT_EQ(drives->itemText(0), u"/"_s);
    EXPECT_TRUE(drives->itemText(drives->count() - 1).contains(u"home"_s));

    emit drives->activated(drives->count() - 1);
    EXPECT_EQ(chooser->currentFolder(), world.root.path() / "home");
    EXPECT_EQ(options(), crlf({(world.root.path() / "home").string()}));

    emit drives->activated(0);
    EXPECT_EQ(chooser->currentFolder(), fs::path("/"));
    EXPECT_EQ(options(), crlf({"/"}));
    EXPECT_EQ(drives->currentIndex(), 0);
    EXPECT_EQ(frameTitle(), u"Path is incorrect."_s);
}

// A folder that cannot be stored, or a rewrite that fails: one message naming why, and
// options.dat exactly as it was.
TEST_F(FolderChooserTest, ARefusedOrFailedMoveIsReportedAndWritesNothing) {
    struct Case {
        const char* folder;
        const char* words;
        bool blockTemp;
    };
    for (const Case& c : {Case{"say \"hi\"", "double quote", false},
                          Case{"save2", "options.dat", true}}) {
        SCOPED_TRACE(c.folder);
        fs::create_directories(world.game / c.folder);
        if (c.blockTemp)
            writeFile(world.work / "temp" / "in the way", "x");
        messages.clear();
        start();
        const std::string before = options();
        enterFolder(openChooser(), QString::fromUtf8(c.folder));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].second.contains(QString::fromUtf8(c.words)))
            << messages[0].second.toStdString();
        EXPECT_EQ(options(), before);
        EXPECT_EQ(frameTitle(), u"Select Save File to edit"_s);
        EXPECT_FALSE(fs::is_regular_file(world.work / "temp"));
        main.reset();
    }
}

TEST(StartingFolder, IsTheNearestExistingFolder) {
    TempDir dir;
    const fs::path game = dir.path() / "Halvorn";
    fs::create_directories(game);
    const fs::path home = dir.path() / "home";
    fs::create_directories(home);
    using hv::ui::startingFolder;

    EXPECT_EQ(startingFolder(game.string(), dir.path(), home), game);
    EXPECT_EQ(startingFolder(game.string() + "/", dir.path(), home), game);
    EXPECT_EQ(startingFolder((game / "a" / "b").string(), dir.path(), home), game);
    EXPECT_EQ(startingFolder("Halvorn", dir.path(), home), game);
    EXPECT_EQ(startingFolder("", dir.path(), home), home);
    EXPECT_EQ(startingFolder("", dir.path(), dir.path() / "no home"), fs::path("/"));
    // A Windows name is a relative name here, so it falls back to the working folder.
    EXPECT_EQ(startingFolder("C:\\Games\\HV", dir.path(), home), dir.path());
}

} // namespace
} // namespace hv::test
