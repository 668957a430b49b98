#include "restore.h"

#include "error.h"
#include "game_folder.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <ctime>
#include <exception>
#include <fstream>
#include <sstream>
#include <utility>

namespace fs = std::filesystem;

namespace hv {
namespace {

// One thread runs every operation; the innermost open scope that makes points.
thread_local RestoreScope* current = nullptr;
thread_local std::size_t scopesOpened = 0;

constexpr const char* kManifest = "point.txt";
constexpr const char* kManifestTemp = "point.tmp";

void hardLink(const fs::path& existing, const fs::path& link, std::error_code& error) {
    fs::create_hard_link(existing, link, error);
}

fs::path slotArea(const fs::path& gameFolder, std::string_view slot) {
    return gameFolder / kRestoreFolder / std::string(slot);
}

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

// The point folders of a slot, newest first.
std::vector<std::pair<unsigned long long, fs::path>> pointFolders(const fs::path& area) {
    std::vector<std::pair<unsigned long long, fs::path>> folders;
    std::error_code error;
    for (fs::directory_iterator it(area, error), end; !error && it != end; it.increment(error))
        if (auto id = parseId(it->path().filename().string()))
            folders.emplace_back(*id, it->path());
    std::sort(folders.begin(), folders.end(), [](auto& a, auto& b) { return a.first > b.first; });
    return folders;
}

// Points beyond the newest kept are renamed so, and removed by the next change.
constexpr std::string_view kDroppedPrefix = "dropped-";

void purgeDropped(const fs::path& area) {
    std::vector<fs::path> dropped;
    std::error_code error;
    for (fs::directory_iterator it(area, error), end; !error && it != end; it.increment(error))
        if (it->path().filename().string().starts_with(kDroppedPrefix))
            dropped.push_back(it->path());
    for (const fs::path& folder : dropped)
        fs::remove_all(folder, error);
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

std::string oneLine(std::string_view text) {
    std::string line(text);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

std::string fileName(std::string_view relative) {
    return std::string(relative.substr(relative.rfind('/') + 1));
}

// Whether two files hold the same bytes (or are one file).
bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    if (fs::equivalent(a, b, error))
        return true;
    if (error || fs::file_size(a, error) != fs::file_size(b, error) || error)
        return false;
    std::ifstream first(a, std::ios::binary), second(b, std::ios::binary);
    std::string x(1 << 16, '\0'), y(1 << 16, '\0');
    while (first && second) {
        first.read(x.data(), static_cast<std::streamsize>(x.size()));
        second.read(y.data(), static_cast<std::streamsize>(y.size()));
        if (first.gcount() != second.gcount() ||
            x.compare(0, static_cast<std::size_t>(first.gcount()), y, 0,
                      static_cast<std::size_t>(second.gcount())) != 0)
            return false;
    }
    return first.eof() && second.eof();
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

// The highest place any slot's points have taken; under the game folder's lock, so that no
// other program takes the same. Orders grow with the ids, so each slot's newest point tells.
unsigned long long newestOrder(const fs::path& gameFolder) {
    unsigned long long order = 0;
    for (std::string_view slot : kSlots)
        for (const auto& [id, folder] : pointFolders(slotArea(gameFolder, slot)))
            if (const auto point = readPoint(id, folder)) {
                order = std::max(order, point->order);
                break;
            }
    return order;
}

} // namespace

bool FileState::operator==(const FileState& other) const {
    if (size != other.size)
        return false;
    return fnv && other.fnv ? *fnv == *other.fnv : hash == other.hash;
}

void StateHasher::word(std::uint64_t w) {
    hash_ = (hash_ ^ w) * 0xff51afd7ed558ccdULL;
    hash_ ^= hash_ >> 32;
}

void StateHasher::add(std::string_view bytes) {
    if (fnv_)
        for (unsigned char c : bytes)
            *fnv_ = (*fnv_ ^ c) * 0x100000001b3ULL;
    std::size_t i = 0;
    const auto have = static_cast<unsigned>(size_ % 8);
    size_ += bytes.size();
    if (have != 0) { // finish the word begun by the last piece
        unsigned at = have;
        for (; at < 8 && i < bytes.size(); ++at, ++i)
            tail_ |= std::uint64_t(static_cast<unsigned char>(bytes[i])) << (8 * at);
        if (at < 8)
            return;
        word(tail_);
        tail_ = 0;
    }
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, bytes.data() + i, 8);
        if constexpr (std::endian::native == std::endian::big)
            w = __builtin_bswap64(w); // the same state on every machine
        word(w);
    }
    for (unsigned at = 0; i < bytes.size(); ++at, ++i)
        tail_ |= std::uint64_t(static_cast<unsigned char>(bytes[i])) << (8 * at);
}

FileState StateHasher::state() const {
    std::uint64_t h = (hash_ ^ tail_ ^ (size_ << 3)) * 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 29;
    return FileState{size_, h, fnv_};
}

bool holdsState(std::string_view bytes, const FileState& state) {
    StateHasher hasher(state.fnv.has_value());
    hasher.add(bytes);
    return hasher.state() == state;
}

std::optional<FileState> fileState(const fs::path& file, bool fnv) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    StateHasher hasher(fnv);
    std::string buffer(1 << 16, '\0');
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        hasher.add(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())));
    }
    if (in.bad())
        return std::nullopt;
    return hasher.state();
}

bool fileHoldsState(const fs::path& file, const FileState& state) {
    const auto now = fileState(file, state.fnv.has_value());
    return now && *now == state;
}

fs::path RestorePoint::kept(std::size_t index) const {
    return folder / (std::to_string(index + 1) + "-" + fileName(files.at(index)));
}

RestoreLinker& restoreLinker() {
    static RestoreLinker linker = &hardLink;
    return linker;
}

void resetRestoreLinker() {
    restoreLinker() = &hardLink;
}

RestoreScope::RestoreScope(const fs::path& gameFolder, std::string_view slot,
                           std::string_view description)
    : lock_(gameFolder), outer_(current), exceptions_(std::uncaught_exceptions()) {
    ++scopesOpened;
    // A slot name becomes a folder name: anything else makes no point rather than a stray one.
    if (outer_ || !isSlotName(slot))
        return;
    std::error_code error;
    root_ = fs::weakly_canonical(fs::absolute(gameFolder, error), error);
    if (error)
        return;
    slot_ = slot;
    description_ = oneLine(description);
    active_ = true;
    current = this;
    // Under the lock, so that no other program purges the same folders.
#ifndef _WIN32
    purge_ = std::jthread([area = slotArea(root_, slot_)] { purgeDropped(area); });
#else
    purgeDropped(slotArea(root_, slot_));
#endif
}

RestoreScope::~RestoreScope() {
    if (!active_)
        return;
    current = nullptr;
    if (std::uncaught_exceptions() > exceptions_)
        dropUnreplaced();
    if (point_.files.empty())
        return;
    // The oldest go after the operation, out of sight at once and removed by the next change
    // (renamed, they are no points any more); where they cannot be renamed, removed now.
    const fs::path area = slotArea(root_, slot_);
    const auto folders = pointFolders(area);
    std::error_code error;
    for (std::size_t i = kRestorePointsKept; i < folders.size(); ++i) {
        fs::rename(folders[i].second,
                   area / (std::string(kDroppedPrefix) + std::to_string(folders[i].first)), error);
        if (error)
            fs::remove_all(folders[i].second, error);
    }
}

std::optional<unsigned long long> RestoreScope::pointId() const {
    if (outer_)
        return outer_->pointId();
    if (point_.files.empty())
        return std::nullopt;
    return point_.id;
}

std::optional<std::string> RestoreScope::pointName(const fs::path& named) const {
    // Which game file, by the name the operation used: a link's destination may lie elsewhere.
    std::error_code error;
    const fs::path absolute = fs::absolute(named, error);
    const fs::path folder = fs::weakly_canonical(absolute.parent_path(), error);
    if (error)
        return std::nullopt;
    const fs::path relative = (folder / absolute.filename()).lexically_relative(root_);
    if (relative.empty() || *relative.begin() == ".." ||
        *relative.begin() == fs::path(std::string(kRestoreFolder)))
        return std::nullopt; // not a file of this game folder, or the restore area itself
    std::string name = relative.generic_string();
    if (!isPlainRelative(name) || name.find('\n') != std::string::npos)
        return std::nullopt;
    return name;
}

void RestoreScope::keep(const fs::path& named, const fs::path& real,
                        const std::optional<FileState>& written) {
    std::error_code error;
    const auto pointed = pointName(named);
    if (!pointed || !fs::is_regular_file(real, error))
        return; // a new file has no old version to keep
    const std::string& name = *pointed;
    if (const auto at = std::find(point_.files.begin(), point_.files.end(), name);
        at != point_.files.end()) {
        // The version from before the operation is kept already; only what it leaves changes.
        auto& left = point_.left[static_cast<std::size_t>(at - point_.files.begin())];
        const auto before = left;
        left = written;
        try {
            writeManifest();
        } catch (...) {
            left = before;
            throw;
        }
        return;
    }

    if (point_.files.empty()) {
        const fs::path area = slotArea(root_, slot_);
        fs::create_directories(area, error);
        if (error)
            throw GameFileError(
                named, "its current version cannot be kept for restoring: " + area.string() + ": " +
                           error.message() + "; the file was left unchanged");
        const auto existing = pointFolders(area);
        point_.id = existing.empty() ? 1 : existing.front().first + 1;
        // Another program making a point at the same moment takes the next number.
        while (!fs::create_directory(area / std::to_string(point_.id), error) && !error)
            ++point_.id;
        if (error)
            throw GameFileError(named, "its current version cannot be kept for restoring: " +
                                           error.message() + "; the file was left unchanged");
        point_.folder = area / std::to_string(point_.id);
        point_.time = static_cast<long long>(std::time(nullptr));
        point_.slot = slot_;
        point_.order = newestOrder(root_) + 1;
        point_.description = description_;
    }

    point_.files.push_back(name);
    point_.left.emplace_back(written);
    const fs::path kept = point_.kept(point_.files.size() - 1);
    restoreLinker()(real, kept, error);
    if (error) {
        error.clear();
        fs::copy_file(real, kept, fs::copy_options::overwrite_existing, error);
    }
    try {
        if (error)
            throw GameFileError(named, "its current version cannot be kept for restoring in " +
                                           point_.folder.string() + ": " + error.message() +
                                           "; the file was left unchanged");
        writeManifest();
    } catch (...) {
        point_.files.pop_back();
        point_.left.pop_back();
        fs::remove(kept, error);
        if (point_.files.empty())
            fs::remove_all(point_.folder, error);
        throw;
    }
}

void RestoreScope::dropUnreplaced() {
    if (point_.files.empty())
        return;
    std::error_code ignored;
    for (std::size_t i = point_.files.size(); i-- > 0;) {
        const fs::path kept = point_.kept(i);
        if (!sameFile(kept, root_ / point_.files[i]))
            continue;
        fs::remove(kept, ignored);
        // Later files move up a place, and so do their kept names.
        for (std::size_t j = i + 1; j < point_.files.size(); ++j)
            fs::rename(point_.kept(j),
                       point_.kept(j - 1).parent_path() /
                           (std::to_string(j) + "-" + fileName(point_.files[j])),
                       ignored);
        point_.files.erase(point_.files.begin() + static_cast<std::ptrdiff_t>(i));
        point_.left.erase(point_.left.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (point_.files.empty()) {
        fs::remove_all(point_.folder, ignored);
        return;
    }
    try {
        writeManifest();
    } catch (const std::exception&) {
        // The point stays as it was: restoring an unchanged file gives back the same bytes.
    }
}

// Written beside and renamed over, so that a reader never meets half a record. Not synced:
// after a power cut the newest point may be lost, never the game's own files.
void RestoreScope::writeManifest() const {
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

void keepForRestore(const fs::path& named, const fs::path& real,
                    const std::optional<FileState>& written) {
    if (current)
        current->keep(named, real, written);
}

bool restoreScopeOpen() {
    return current != nullptr;
}

std::optional<KeptVersion> keptVersion(const fs::path& named) {
    if (!current)
        return std::nullopt;
    const auto name = current->pointName(named);
    const auto& files = current->point_.files;
    const auto at = name ? std::find(files.begin(), files.end(), *name) : files.end();
    if (at == files.end())
        return std::nullopt;
    return KeptVersion{current->point_.kept(static_cast<std::size_t>(at - files.begin())),
                       current->point_.id, current->slot_};
}

std::size_t restoreScopesOpened() {
    return scopesOpened;
}

std::vector<RestorePoint> listRestorePoints(const fs::path& gameFolder, std::string_view slot) {
    std::vector<RestorePoint> points;
    if (!isSlotName(slot))
        return points;
    for (const auto& [id, folder] : pointFolders(slotArea(gameFolder, slot)))
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
    auto point = readPoint(id, slotArea(gameFolder, slot) / std::to_string(id));
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
