#pragma once

// Where the game keeps its files. The game was written for a file system that ignores
// letter case and accepts "\" as a separator; here every component is matched without
// regard to case so that all the spellings the game uses reach the same file.

#include <filesystem>
#include <string>
#include <string_view>

namespace hv {

enum class GameFile {
    Roster,      // Controlled/yourfed.hv1
    SaveGame,    // Saved Game/save1.hv1
    WwfRoster,   // Background/wwf.hv1
    WcwRoster,   // Background/wcw.hv1
    EcwRoster,   // Background/ecw.hv1
    IndyRoster,  // Background/otherbig.hv1
    WwfManagers, // background/wwfmanagers.hv1
    WcwManagers, // background/wcwmanagers.hv1
};

inline constexpr GameFile kAllGameFiles[] = {
    GameFile::Roster,    GameFile::SaveGame,   GameFile::WwfRoster,   GameFile::WcwRoster,
    GameFile::EcwRoster, GameFile::IndyRoster, GameFile::WwfManagers, GameFile::WcwManagers,
};

inline constexpr std::string_view kSlots[] = {"save1", "save2", "save3", "save4"};
bool isSlotName(std::string_view slot);

// The suffix after the slot folder, with the spelling used when a file is created.
std::string_view gameFileSuffix(GameFile file);
// The temporary file used when the file is rewritten (same folder).
std::string_view gameFileTempSuffix(GameFile file);

// Resolves `relative` ("/" or "\" separated) below `base`, component by component: an exact
// name wins, otherwise the case-insensitive matches are sorted and the first is taken; a
// component with no match keeps the spelling given.
std::filesystem::path resolveBelow(const std::filesystem::path& base, std::string_view relative);

std::filesystem::path slotFolder(const std::string& gameFolder, std::string_view slot);
std::filesystem::path slotFilePath(const std::string& gameFolder, std::string_view slot,
                                   GameFile file);
std::filesystem::path slotTempPath(const std::string& gameFolder, std::string_view slot,
                                   GameFile file);
std::filesystem::path saveSlotNamesPath(const std::string& gameFolder);

// A game file as a player knows it, for questions and messages: "the roster of Save 1
// (yourfed.hv1)", "the slot names (saveslots.hv1)". `file` may be absolute or relative to the
// game folder, in any spelling of its folders; a file the game does not have is named by its
// file name alone.
std::string playerFileName(const std::filesystem::path& file);

// One game file of a slot, the temporary file its rewrites go through, and the game folder and
// slot whose restore points keep what its changes replace.
struct SlotFile {
    SlotFile(const std::string& folder, std::string_view slotName, GameFile which);
    std::string gameFolder;
    std::string slot;
    std::filesystem::path file;
    std::filesystem::path temp;
};

// The roster of one slot.
struct RosterFile : SlotFile {
    RosterFile(const std::string& folder, std::string_view slotName)
        : SlotFile(folder, slotName, GameFile::Roster) {}
};

} // namespace hv
