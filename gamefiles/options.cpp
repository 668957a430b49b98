#include "options.h"

#include "error.h"
#include "game_folder.h"
#include "system_path.h"
#include "temp_rewrite.h"
#include "text.h"

#include <algorithm>
#include <cstdlib>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace hv {
namespace {

// The components of `path` once links are followed, letters folded to one case.
std::vector<fs::path::string_type> comparable(const fs::path& path) {
    std::error_code ec;
    fs::path real = fs::weakly_canonical(fs::absolute(path, ec), ec);
    if (ec)
        real = fs::absolute(path, ec).lexically_normal();
    std::vector<fs::path::string_type> parts;
    for (const fs::path& part : real) {
        fs::path::string_type name = part.native();
        if (name.empty())
            continue; // a trailing separator
        for (auto& c : name)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<fs::path::value_type>(c - 'A' + 'a');
        parts.push_back(std::move(name));
    }
    return parts;
}

// Where writing to `path` lands: a link (to a file there or not yet) is followed.
fs::path followLinks(fs::path path) {
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(path, ec)); ++hops) {
        const fs::path to = fs::read_symlink(path, ec);
        if (ec)
            break;
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    return path;
}

} // namespace

fs::path optionsPath(const fs::path& workDir) {
    return workDir / "options.dat";
}

OptionsLock::OptionsLock(const fs::path& workDir) {
    std::error_code ec;
    fs::create_directories(workDir, ec); // the user's settings folder on first use
    lock_.emplace(workDir / "options.lock", "options.dat");
}

fs::path settingsFolder(const fs::path& programFolder, const fs::path& userFolder) {
    try {
        // Written completely and removed again, with the calls of a real rewrite. A NUL,
        // which no options.dat holds, so that the probe always writes.
        const std::string_view nul("\0", 1);
        const PendingRewrite probe(optionsPath(programFolder), "temp", {&nul, 1});
        return programFolder;
    } catch (const GameFileError&) {
        std::error_code ec;
        fs::create_directories(userFolder, ec);
        return userFolder;
    }
}

fs::path optionsFolderFor(const fs::path& workDir, const fs::path& elsewhere) {
    std::error_code ec;
    if (elsewhere.empty() || fs::exists(optionsPath(workDir), ec))
        return workDir;
    return elsewhere;
}

fs::path userSettingsFolder(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome != nullptr && fs::path(xdgConfigHome).is_absolute())
        return fs::path(xdgConfigHome) / "hv-editor";
    if (home != nullptr && *home != '\0')
        return fs::path(home) / ".config" / "hv-editor";
    return {};
}

fs::path optionsFolder() {
    std::error_code ec;
    const fs::path work = fs::current_path(ec);
#ifdef _WIN32
    if (fs::exists(optionsPath(work), ec))
        return work;
    std::wstring module(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            ::GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
        if (n == 0)
            return work;
        if (n < module.size()) {
            module.resize(n);
            break;
        }
        module.resize(module.size() * 2);
    }
    const wchar_t* appData = ::_wgetenv(L"APPDATA");
    const fs::path program = fs::path(module).parent_path();
    if (appData == nullptr || *appData == L'\0')
        return program;
    return settingsFolder(program, fs::path(appData) / L"Unofficial HV Editor");
#else
    return optionsFolderFor(
        work, userSettingsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
#endif
}

std::string readGameFolder(const fs::path& workDir) {
    const fs::path file = optionsPath(workDir);
    const std::string bytes = readFileBytes(file);
    FieldReader reader(bytes);
    if (reader.atEnd())
        throw GameFileError(file, "is empty; it should name the game folder on its first line");
    std::string folder = reader.next();
    if (folder.empty())
        throw GameFileError(file, "names no game folder on its first line", 1);
    return folder;
}

std::string gameFolderLine(std::string_view folder) {
    if (folder.empty())
        throw OperationRefused("An empty folder name cannot be stored as the game folder.");
    if (hasLineBreak(folder))
        throw OperationRefused("A folder name with a line break cannot be stored.");
    // The field read has no escape for a quote inside a value.
    if (folder.find('"') != std::string_view::npos)
        throw OperationRefused(
            "A folder whose name holds a double quote cannot be stored in options.dat: " +
            std::string(folder));
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    if (folder.find(',') != std::string_view::npos || isBlank(folder.front()) ||
        isBlank(folder.back()))
        return "\"" + std::string(folder) + "\"";
    return std::string(folder);
}

void changeGameFolder(const fs::path& workDir, std::string_view folder) {
    std::string out;
    appendTextLine(out, gameFolderLine(folder));
    const fs::path file = optionsPath(workDir);
    const OptionsLock lock(workDir);
    std::error_code ec;
    if (fs::exists(file, ec)) {
        // Only line 1 is ours; the report's lines are copied as they are, whatever their
        // line ends or commas.
        const std::string old = readFileBytes(file);
        if (const auto lf = old.find('\n'); lf != std::string::npos)
            out.append(old, lf + 1);
    }
    TempRewrite(file, "temp", out);
}

fs::path tidyFolder(const fs::path& folder, const fs::path& workDir) {
    fs::path normal = (folder.is_relative() ? workDir / folder : folder).lexically_normal();
    if (!normal.has_filename() && normal != normal.root_path())
        normal = normal.parent_path();
    return normal;
}

void refuseOutputPath(const fs::path& target, const fs::path& workDir,
                      const std::string& gameFolder, std::string_view what) {
    const std::string notWritten = "; the " + std::string(what) + " was not written";
    const auto real = comparable(followLinks(target));
    // The settings may lie elsewhere than the working folder (the user's settings folder). On
    // Windows the editor works in its settings folder, and finding it there takes a test write.
#ifdef _WIN32
    for (const fs::path& folder : {workDir})
#else
    for (const fs::path& folder : {workDir, optionsFolder()})
#endif
        for (const char* own : {"options.dat", "options.lock", "arrange.tmp", "temp"})
            if (!folder.empty() && real == comparable(folder / own))
                throw GameFileError(target, "is the editor's own \"" + std::string(own) + "\"" +
                                                notWritten);
    // Of the game folder, only what the game reads and the restore points are refused:
    // players often keep the editor, and so its exports and pages, in the game folder.
    const auto game = comparable(pathFromBytes(gameFolder));
    if (game.empty() || real.size() <= game.size() ||
        !std::equal(game.begin(), game.end(), real.begin()))
        return;
    const auto& first = real[game.size()];
    const bool last = real.size() == game.size() + 1;
    const auto is = [&](std::string_view name) { return first == fs::path(name).native(); };
    if (last && is("saveslots.hv1"))
        throw GameFileError(target, "is the game's list of save slots" + notWritten);
    if (is(kRestoreFolder))
        throw GameFileError(target, "lies among the game folder's restore points" + notWritten);
    for (std::string_view slot : kSlots)
        if (is(slot))
            throw GameFileError(target, "lies in the game's slot folder \"" + std::string(slot) +
                                            "\", which the game reads" + notWritten);
}

} // namespace hv
