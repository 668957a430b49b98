#pragma once

// options.dat, the editor's own settings file: line 1 is the game folder; the lines after it
// belong to the HTML report and are kept byte for byte. "temp" and "arrange.tmp" lie beside it.

#include "game_folder_lock.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace hv {

std::filesystem::path optionsPath(const std::filesystem::path& workDir);

// Held from the read of options.dat to its replace by whoever changes it (the folder chooser,
// the report, `hv game-folder set`), so that two programs at once keep both changes: a lock
// on "options.lock" beside it. The folder is created when missing.
class OptionsLock {
public:
    explicit OptionsLock(const std::filesystem::path& workDir);

private:
    std::optional<FileLock> lock_;
};

// The folder whose options.dat both programs use: the working folder when it holds an
// options.dat (portable use, as players of the game know it); otherwise on Windows the
// program's own folder or "%APPDATA%\\Unofficial HV Editor" (see settingsFolder), elsewhere
// userSettingsFolder() of the environment. Nothing is created here.
std::filesystem::path optionsFolder();

// `workDir` when it holds an options.dat or `elsewhere` is empty, else `elsewhere`.
std::filesystem::path optionsFolderFor(const std::filesystem::path& workDir,
                                       const std::filesystem::path& elsewhere);

// "$XDG_CONFIG_HOME/hv-editor", or "$HOME/.config/hv-editor" when that variable is unset,
// empty or relative (as the base-directory rules say), as QStandardPaths::AppConfigLocation
// names it for the editor. Empty when neither variable helps.
std::filesystem::path userSettingsFolder(const char* xdgConfigHome, const char* home);

// `programFolder` when a file can be written there (a rewrite of options.dat needs its
// temporary file beside it), else `userFolder`, created when missing. A folder that does not
// take the files (installed under "Program Files") thus moves the settings to the user.
std::filesystem::path settingsFolder(const std::filesystem::path& programFolder,
                                     const std::filesystem::path& userFolder);

// The game folder: the first value of options.dat by field read. Throws GameFileError when
// the file is missing or empty.
std::string readGameFolder(const std::filesystem::path& workDir);

// Line 1 for `folder` (without its line end), quoted when a field read would otherwise cut
// it at a comma or drop its outer blanks. Throws OperationRefused for a folder the field
// read cannot give back whole: empty, or holding a double quote or a line break.
std::string gameFolderLine(std::string_view folder);

// Writes `folder` as line 1 (see gameFolderLine) and copies every byte after the old line 1
// unchanged, through "temp" beside it, under OptionsLock. A missing options.dat, and its
// folder, are created.
void changeGameFolder(const std::filesystem::path& workDir, std::string_view folder);

// A folder as the editor writes it: lexically normal, without a trailing separator (the
// root stays "/"). A relative name counts from `workDir`.
std::filesystem::path tidyFolder(const std::filesystem::path& folder,
                                 const std::filesystem::path& workDir = {});

// Refuses a page or export file (`what`, e.g. "page") that would be one of the editor's own
// files (options.dat, "arrange.tmp", "temp") in `workDir` or in optionsFolder(), or one the
// game reads (anything in its slot folders, "saveslots.hv1"), or lie among its restore
// points: throws GameFileError naming `target` and the reason. Any other place is allowed,
// the rest of the game folder too. Paths are compared with links followed (to a file that
// is there or not yet) and without regard to letter case, as the game's files are found.
void refuseOutputPath(const std::filesystem::path& target, const std::filesystem::path& workDir,
                      const std::string& gameFolder, std::string_view what);

} // namespace hv
