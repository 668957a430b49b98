#include "restore_scope.h"

#include "error.h"
#include "game_folder.h"

#include <algorithm>
#include <ctime>
#include <exception>
#include <fstream>
#include <utility>

namespace fs = std::filesystem;

namespace hv {
namespace {

// Counts the scopes, so that a command can tell a change that wrote nothing.
thread_local std::size_t scopesOpened = 0;

void hardLink(const fs::path& existing, const fs::path& link, std::error_code& error) {
    fs::create_hard_link(existing, link, error);
}

std::string oneLine(std::string_view text) {
    std::string line(text);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
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

} // namespace

RestoreLinker& restoreLinker() {
    static RestoreLinker linker = &hardLink;
    return linker;
}

void resetRestoreLinker() {
    restoreLinker() = &hardLink;
}

RestoreScope::RestoreScope(const fs::path& gameFolder, std::string_view slot,
                           std::string_view description)
    : lock_(gameFolder), exceptions_(std::uncaught_exceptions()) {
    ++scopesOpened;
    // A slot name becomes a folder name: anything else makes no point rather than a stray one.
    if (!isSlotName(slot))
        return;
    std::error_code error;
    root_ = fs::weakly_canonical(fs::absolute(gameFolder, error), error);
    if (error)
        return;
    slot_ = slot;
    description_ = oneLine(description);
    active_ = true;
    // Under the lock, so that no other program purges the same folders.
#ifndef _WIN32
    purge_ = std::jthread([area = restoreArea(root_, slot_)] { purgeDroppedRestorePoints(area); });
#else
    purgeDroppedRestorePoints(restoreArea(root_, slot_));
#endif
}

RestoreScope::~RestoreScope() {
    if (!active_)
        return;
    if (std::uncaught_exceptions() > exceptions_)
        dropUnreplaced();
    if (point_.files.empty())
        return;
    // The oldest go after the operation, out of sight at once and removed by the next change
    // (renamed, they are no points any more); where they cannot be renamed, removed now.
    dropOldRestorePoints(restoreArea(root_, slot_));
}

std::optional<unsigned long long> RestoreScope::pointId() const {
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
                        const std::optional<FileState>& written) const {
    if (!active_)
        return;
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
            writeRestorePoint(point_);
        } catch (...) {
            left = before;
            throw;
        }
        return;
    }

    if (point_.files.empty()) {
        const fs::path area = restoreArea(root_, slot_);
        fs::create_directories(area, error);
        if (error)
            throw GameFileError(
                named, "its current version cannot be kept for restoring: " + area.string() + ": " +
                           error.message() + "; the file was left unchanged");
        const auto existing = restorePointFolders(area);
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
        point_.order = newestRestoreOrder(root_) + 1;
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
        writeRestorePoint(point_);
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
            fs::rename(point_.kept(j), point_.folder / keptName(j, point_.files[j]), ignored);
        point_.files.erase(point_.files.begin() + static_cast<std::ptrdiff_t>(i));
        point_.left.erase(point_.left.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (point_.files.empty()) {
        fs::remove_all(point_.folder, ignored);
        return;
    }
    try {
        writeRestorePoint(point_);
    } catch (const std::exception&) {
        // The point stays as it was: restoring an unchanged file gives back the same bytes.
    }
}

std::optional<KeptVersion> RestoreScope::keptVersion(const fs::path& named) const {
    if (!active_)
        return std::nullopt;
    const auto name = pointName(named);
    const auto& files = point_.files;
    const auto at = name ? std::find(files.begin(), files.end(), *name) : files.end();
    if (at == files.end())
        return std::nullopt;
    return KeptVersion{point_.kept(static_cast<std::size_t>(at - files.begin())), point_.id, slot_};
}

std::size_t restoreScopesOpened() {
    return scopesOpened;
}

} // namespace hv
