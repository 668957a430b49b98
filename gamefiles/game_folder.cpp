#include "game_folder.h"

#include <algorithm>
#include <vector>

namespace fs = std::filesystem;

namespace hv {
namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

std::vector<std::string> components(std::string_view relative) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : relative) {
        if (c == '/' || c == '\\') {
            if (!current.empty())
                parts.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty())
        parts.push_back(std::move(current));
    return parts;
}

struct Names {
    std::string_view file;
    std::string_view temp;
};

Names names(GameFile file) {
    switch (file) {
    case GameFile::Roster:
        return {"Controlled/yourfed.hv1", "Controlled/yourfed.tmp"};
    case GameFile::SaveGame:
        return {"Saved Game/save1.hv1", "Saved Game/save1.tmp"};
    case GameFile::WwfRoster:
        return {"Background/wwf.hv1", "Background/wwf.tmp"};
    case GameFile::WcwRoster:
        return {"Background/wcw.hv1", "Background/wcw.tmp"};
    case GameFile::EcwRoster:
        return {"Background/ecw.hv1", "Background/ecw.tmp"};
    case GameFile::IndyRoster:
        return {"Background/otherbig.hv1", "Background/otherbig.tmp"};
    case GameFile::WwfManagers:
        return {"background/wwfmanagers.hv1", "background/temp"};
    case GameFile::WcwManagers:
        return {"background/wcwmanagers.hv1", "background/temp"};
    }
    return {"", ""};
}

} // namespace

bool isSlotName(std::string_view slot) {
    return std::find(std::begin(kSlots), std::end(kSlots), slot) != std::end(kSlots);
}

std::string_view gameFileSuffix(GameFile file) {
    return names(file).file;
}
std::string_view gameFileTempSuffix(GameFile file) {
    return names(file).temp;
}

fs::path resolveBelow(const fs::path& base, std::string_view relative) {
    fs::path current = base;
    bool exists = true; // once a component is missing, the rest keep their spelling
    for (const std::string& part : components(relative)) {
        std::error_code ec;
        if (exists && !fs::exists(current / part, ec)) {
            std::vector<std::string> matches;
            for (fs::directory_iterator it(current, ec), end; !ec && it != end; it.increment(ec)) {
                std::string name = it->path().filename().string();
                if (equalsIgnoringCase(name, part))
                    matches.push_back(std::move(name));
            }
            if (!matches.empty()) {
                std::sort(matches.begin(), matches.end());
                current /= matches.front();
                continue;
            }
            exists = false;
        }
        current /= part;
    }
    return current;
}

fs::path slotFolder(const std::string& gameFolder, std::string_view slot) {
    return resolveBelow(fs::path(gameFolder), slot);
}

fs::path slotFilePath(const std::string& gameFolder, std::string_view slot, GameFile file) {
    return resolveBelow(slotFolder(gameFolder, slot), gameFileSuffix(file));
}

fs::path slotTempPath(const std::string& gameFolder, std::string_view slot, GameFile file) {
    return resolveBelow(slotFolder(gameFolder, slot), gameFileTempSuffix(file));
}

fs::path saveSlotNamesPath(const std::string& gameFolder) {
    return resolveBelow(fs::path(gameFolder), "saveslots.hv1");
}

} // namespace hv
