#include "options.h"

#include "error.h"
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
        // Written completely and removed again, with the calls of a real rewrite.
        const PendingRewrite probe(optionsPath(programFolder), "temp", {});
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
    const auto real = comparable(target);
    // The settings may lie elsewhere than the working folder (the user's settings folder). On
    // Windows the editor works in its settings folder, and finding it there takes a test write.
#ifdef _WIN32
    for (const fs::path& folder : {workDir})
#else
    for (const fs::path& folder : {workDir, optionsFolder()})
#endif
        for (const char* own : {"options.dat", "options.lock", "arrange.tmp", "temp"})
            if (!folder.empty() && real == comparable(folder / own))
                throw GameFileError(target, "is the editor's own \"" + std::string(own) +
                                                "\"; the " + std::string(what) +
                                                " was not written");
    // A new file beside the game's own is harmless (players often keep the editor, and so its
    // exports, in the game folder); an existing file there or anything in a slot folder is not.
    const auto game = comparable(pathFromBytes(gameFolder));
    if (game.empty() || real.size() <= game.size() ||
        !std::equal(game.begin(), game.end(), real.begin()))
        return;
    std::error_code ec;
    const bool exists = fs::exists(fs::symlink_status(target, ec)) || fs::exists(target, ec);
    const auto& first = real[game.size()];
    const bool inSlot = real.size() > game.size() + 1 && first.size() == 5 &&
                        first.compare(0, 4, fs::path("save").native()) == 0 && first[4] >= '1' &&
                        first[4] <= '4';
    if (exists || inSlot)
        throw GameFileError(target, "lies inside the game folder \"" + gameFolder + "\"; the " +
                                        std::string(what) + " was not written");
}

} // namespace hv
