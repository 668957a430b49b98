#include "restore_point.h"

#include "error.h"
#include "game_folder.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace hv {
namespace {

constexpr const char* kManifest = "point.txt";
constexpr const char* kManifestTemp = "point.tmp";

// Points beyond the newest kept are renamed so, and removed by the next change.
constexpr std::string_view kDroppedPrefix = "dropped-";

std::optional<unsigned long long> parseId(const std::string& text) {
    unsigned long long id = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text.size() > 18 || text.front() == '0')
        return std::nullopt;
    auto [at, error] = std::from_chars(text.data(), end, id);
    if (error != std::errc() || at != end)
        return std::nullopt;
    return id;
}

// "SIZE HASH", the hash in hex.
std::optional<FileState> parseState(const std::string& text) {
    FileState state;
    const char* end = text.data() + text.size();
    auto [at, error] = std::from_chars(text.data(), end, state.size);
    if (error != std::errc() || at == end || *at != ' ')
        return std::nullopt;
    auto [last, error2] = std::from_chars(at + 1, end, state.hash, 16);
    if (error2 != std::errc() || last != end)
        return std::nullopt;
    return state;
}

std::optional<RestorePoint> readPoint(unsigned long long id, const fs::path& folder) {
    std::ifstream in(folder / kManifest, std::ios::binary);
    if (!in)
        return std::nullopt;
    RestorePoint point;
    point.id = id;
    point.folder = folder;
    bool timed = false;
    for (std::string line; std::getline(in, line);) {
        const std::size_t blank = line.find(' ');
        const std::string key = line.substr(0, blank);
        const std::string value = blank == std::string::npos ? "" : line.substr(blank + 1);
        if (key == "time") {
            auto [at, error] =
                std::from_chars(value.data(), value.data() + value.size(), point.time);
            timed = error == std::errc() && at == value.data() + value.size();
        } else if (key == "slot") {
            point.slot = value;
        } else if (key == "order") {
            unsigned long long order = 0;
            if (std::from_chars(value.data(), value.data() + value.size(), order).ec == std::errc())
                point.order = order;
        } else if (key == "description") {
            point.description = value;
        } else if (key == "file") {
            if (!isPlainRelative(value))
                return std::nullopt;
            point.files.push_back(value);
            point.left.emplace_back();
        } else if (key == "state" && !point.left.empty()) {
            point.left.back() = parseState(value);
        } else if (key == "left" && !point.left.empty()) { // FNV-1a, from earlier versions
            if (auto state = parseState(value))
                point.left.back() = FileState{state->size, 0, state->hash};
        }
    }
    if (!timed || point.files.empty())
        return std::nullopt;
    return point;
}

} // namespace

fs::path restoreArea(const fs::path& gameFolder, std::string_view slot) {
    return gameFolder / kRestoreFolder / std::string(slot);
}

std::vector<std::pair<unsigned long long, fs::path>> restorePointFolders(const fs::path& area) {
    std::vector<std::pair<unsigned long long, fs::path>> folders;
    std::error_code error;
    for (fs::directory_iterator it(area, error), end; !error && it != end; it.increment(error))
        if (auto id = parseId(it->path().filename().string()))
            folders.emplace_back(*id, it->path());
    std::sort(folders.begin(), folders.end(), [](auto& a, auto& b) { return a.first > b.first; });
    return folders;
}

void purgeDroppedRestorePoints(const fs::path& area) {
    std::vector<fs::path> dropped;
    std::error_code error;
    for (fs::directory_iterator it(area, error), end; !error && it != end; it.increment(error))
        if (it->path().filename().string().starts_with(kDroppedPrefix))
            dropped.push_back(it->path());
    for (const fs::path& folder : dropped)
        fs::remove_all(folder, error);
}

void dropOldRestorePoints(const fs::path& area) {
    const auto folders = restorePointFolders(area);
    std::error_code error;
    for (std::size_t i = kRestorePointsKept; i < folders.size(); ++i) {
        fs::rename(folders[i].second,
                   area / (std::string(kDroppedPrefix) + std::to_string(folders[i].first)), error);
        if (error)
            fs::remove_all(folders[i].second, error);
    }
}

// The record of a point names files by relative paths; one that could lead out of the game
// folder (planted or damaged) makes the whole record unusable.
bool isPlainRelative(std::string_view path) {
    if (path.empty() || path.front() == '/' || path.find_first_of(":\\") != std::string_view::npos)
        return false;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

std::string keptName(std::size_t number, std::string_view relative) {
    return std::to_string(number) + "-" + std::string(relative.substr(relative.rfind('/') + 1));
}

fs::path RestorePoint::kept(std::size_t index) const {
    return folder / keptName(index + 1, files.at(index));
}

// The highest place any slot's points have taken; under the game folder's lock, so that no
// other program takes the same. Orders grow with the ids, so each slot's newest point tells.
unsigned long long newestRestoreOrder(const fs::path& gameFolder) {
    unsigned long long order = 0;
    for (std::string_view slot : kSlots)
        for (const auto& [id, folder] : restorePointFolders(restoreArea(gameFolder, slot)))
            if (const auto point = readPoint(id, folder)) {
                order = std::max(order, point->order);
                break;
            }
    return order;
}

// Written beside and renamed over, so that a reader never meets half a record. Not synced:
// after a power cut the newest point may be lost, never the game's own files.
void writeRestorePoint(const RestorePoint& point_) {
    std::ostringstream text;
    text << "time " << point_.time << "\nslot " << point_.slot << "\norder " << point_.order
         << "\ndescription " << point_.description << "\n";
    for (std::size_t i = 0; i < point_.files.size(); ++i) {
        text << "file " << point_.files[i] << "\n";
        if (const auto& left = point_.left[i])
            text << "state " << left->size << " " << std::hex << left->hash << std::dec << "\n";
    }
    const fs::path temp = point_.folder / kManifestTemp;
    const fs::path manifest = point_.folder / kManifest;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text.str();
        out.close();
        if (!out)
            throw GameFileError(manifest, "the restore point cannot be written; the file "
                                          "being changed was left unchanged");
    }
    std::error_code error;
    fs::rename(temp, manifest, error);
    if (error)
        throw GameFileError(manifest, "the restore point cannot be written: " + error.message() +
                                          "; the file being changed was left unchanged");
}

std::vector<RestorePoint> listRestorePoints(const fs::path& gameFolder, std::string_view slot) {
    std::vector<RestorePoint> points;
    if (!isSlotName(slot))
        return points;
    for (const auto& [id, folder] : restorePointFolders(restoreArea(gameFolder, slot)))
        if (auto point = readPoint(id, folder)) {
            point->slot = slot; // the folder tells, whatever the record says
            points.push_back(std::move(*point));
        }
    return points;
}

std::optional<RestorePoint> findRestorePoint(const fs::path& gameFolder, std::string_view slot,
                                             unsigned long long id) {
    if (!isSlotName(slot))
        return std::nullopt;
    auto point = readPoint(id, restoreArea(gameFolder, slot) / std::to_string(id));
    if (point)
        point->slot = slot;
    return point;
}

std::string restoreTimeText(long long time) {
    const std::time_t t = static_cast<std::time_t>(time);
    const std::tm* local = std::localtime(&t);
    char text[32];
    if (!local || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local) == 0)
        return std::to_string(time);
    return text;
}

} // namespace hv
