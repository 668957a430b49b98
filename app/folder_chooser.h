#pragma once

// The game folder chooser `pathfind`. Every folder the user moves to is written at once as
// the game folder in options.dat, and the main window is loaded afresh to show whether the
// game is there. There is no OK button: the user closes the window when done.

#include <QWidget>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace hv::app {

class FolderChooser : public QWidget {
    Q_OBJECT
public:
    // `afterMove` runs after each move has been written (it reloads the main window).
    FolderChooser(std::filesystem::path workDir, std::function<void()> afterMove,
                  QWidget* parent = nullptr);

    const std::filesystem::path& currentFolder() const { return folder_; }

    // Moves the folder list as if the user had opened `folder`; nothing happens when it is
    // already the current folder.
    void moveTo(const std::filesystem::path& folder);

private:
    struct Drive {
        QString label;
        std::filesystem::path root;
    };

    void showFolder(const std::filesystem::path& folder);
    void syncDrive();
    void onDriveChosen(int index);
    void onFolderActivated(QListWidgetItem* item);
    bool onDirChange(); // false when the folder could not be stored
    bool storeFolder(); // writes named_ to options.dat; false when refused or failed
    void setNamed(const QString& folder);

    std::filesystem::path workDir_;
    std::function<void()> afterMove_;
    std::filesystem::path folder_;
    std::vector<Drive> drives_;
    QComboBox* drive1_ = nullptr;
    QLineEdit* shownPath_ = nullptr;
    QListWidget* dir1_ = nullptr;
    QLabel* label1_ = nullptr;
    QString named_;              // the folder options.dat names
    QLineEdit* text1_ = nullptr; // hidden, shows named_
};

// Where the chooser opens: `configured` if it is a folder, else its nearest existing
// ancestor, else `home`. A relative name counts from `workDir`.
std::filesystem::path startingFolder(const std::string& configured,
                                     const std::filesystem::path& workDir,
                                     const std::filesystem::path& home);

} // namespace hv::app
