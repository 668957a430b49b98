#include "game_folder.h"

#include "system_path.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace fs = std::filesystem;

namespace hv {
namespace {

using Name = fs::path::string_type; // bytes, or UTF-16 on Windows

bool equalsIgnoringCase(const Name& a, const Name& b) {
    auto lower = [](fs::path::value_type c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<fs::path::value_type>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](auto x, auto y) { return lower(x) == lower(y); });
}

// The entry of `folder` that `name` means: itself when it exists under exactly that name,
// otherwise the first of the sorted case-insensitive matches.
std::optional<Name> entryNamed(const fs::path& folder, const Name& name) {
    std::error_code ec;
#ifndef _WIN32
    // Windows would find any spelling here; it lists the folder below to learn the real one.
    if (fs::exists(folder / name, ec))
        return name;
#endif
    std::vector<Name> matches;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        Name entry = it->path().filename().native();
        if (entry == name)
            return name;
        if (equalsIgnoringCase(entry, name))
            matches.push_back(std::move(entry));
    }
    if (matches.empty())
        return std::nullopt;
    return *std::min_element(matches.begin(), matches.end());
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

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return text;
}

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

// On Windows too the names are resolved here rather than left to the system, so that paths
// and messages spell each file as it is on disk, the same on every system.
fs::path resolveBelow(const fs::path& base, std::string_view relative) {
    fs::path current = base;
    bool exists = true; // once a component is missing, the rest keep their spelling
    for (const std::string& part : components(relative)) {
        const Name name = pathFromBytes(part).native();
        if (exists) {
            if (const auto found = entryNamed(current, name)) {
                current /= *found;
                continue;
            }
            exists = false;
        }
        current /= name;
    }
    return current;
}

fs::path slotFolder(const std::string& gameFolder, std::string_view slot) {
    return resolveBelow(pathFromBytes(gameFolder), slot);
}

fs::path slotFilePath(const std::string& gameFolder, std::string_view slot, GameFile file) {
    return resolveBelow(slotFolder(gameFolder, slot), gameFileSuffix(file));
}

fs::path slotTempPath(const std::string& gameFolder, std::string_view slot, GameFile file) {
    return resolveBelow(slotFolder(gameFolder, slot), gameFileTempSuffix(file));
}

SlotFile::SlotFile(const std::string& folder, std::string_view slotName, GameFile which)
    : gameFolder(folder), slot(slotName), file(slotFilePath(folder, slotName, which)),
      temp(slotTempPath(folder, slotName, which)) {}

fs::path saveSlotNamesPath(const std::string& gameFolder) {
    return resolveBelow(pathFromBytes(gameFolder), "saveslots.hv1");
}

std::string playerFileName(const fs::path& file) {
    struct Known {
        std::string_view folder, name, what;
    };
    static constexpr Known kKnown[] = {
        {"controlled", "yourfed.hv1", "the roster"},
        {"saved game", "save1.hv1", "the save game"},
        {"background", "wwf.hv1", "the WWF roster"},
        {"background", "wcw.hv1", "the WCW roster"},
        {"background", "ecw.hv1", "the ECW roster"},
        {"background", "otherbig.hv1", "the Indy/Other roster"},
        {"background", "wwfmanagers.hv1", "the WWF managers"},
        {"background", "wcwmanagers.hv1", "the WCW managers"},
    };
    const std::string name = pathBytes(file.filename());
    const std::string lower = lowered(name);
    if (lower == "saveslots.hv1")
        return "the slot names (" + name + ")";
    const std::string folder = lowered(pathBytes(file.parent_path().filename()));
    const std::string slot = lowered(pathBytes(file.parent_path().parent_path().filename()));
    for (const Known& k : kKnown)
        if (lower == k.name && folder == k.folder && isSlotName(slot))
            return std::string(k.what) + " of Save " + slot.substr(4) + " (" + name + ")";
    return name;
}

} // namespace hv
