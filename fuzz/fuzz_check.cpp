// `hv check` on a game folder built from the input, and the promise behind it: a folder it
// finds clean is one every reading command can read. Nothing of it is ever written.
//
// The input is the files of slot save1 and saveslots.hv1, separated by the byte 0x1E; a
// missing part leaves its file missing and a part that is the single byte 0x1F puts a folder
// in its place. save2 to save4 are links to save1.

#include "cli/cli.h"
#include "fuzz/fuzz_support.h"

#include <array>
#include <map>
#include <sstream>

namespace fs = std::filesystem;
using namespace hv;

namespace {

constexpr std::array<std::string_view, 9> kFiles = {"saveslots.hv1",
                                                    "save1/Controlled/yourfed.hv1",
                                                    "save1/Saved Game/save1.hv1",
                                                    "save1/Background/wwf.hv1",
                                                    "save1/Background/wcw.hv1",
                                                    "save1/Background/ecw.hv1",
                                                    "save1/Background/otherbig.hv1",
                                                    "save1/Background/wwfmanagers.hv1",
                                                    "save1/Background/wcwmanagers.hv1"};

std::map<fs::path, std::string> snapshot(const fs::path& folder) {
    std::map<fs::path, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        files[e.path()] = e.is_regular_file() && !e.is_symlink() ? fuzz::bytesOf(e.path()) : "";
    return files;
}

// Whether hv succeeds, and what it prints.
std::pair<bool, std::string> runHv(const std::string& game, std::vector<std::string> args) {
    args.insert(args.begin(), {"--game-folder", game});
    std::ostringstream o, e;
    const int status = cli::runCli(args, fuzz::scratch(), o, e);
    fuzz::require(status == cli::kOk || status == cli::kRefused, "hv never reports a usage error");
    return {status == cli::kOk, o.str()};
}

} // namespace

HV_FUZZ_TARGET(bytes) {
    const fs::path game = fuzz::resetScratch() / "game";
    fs::create_directories(game / "save1");
    for (std::string_view name : kFiles) {
        if (bytes.empty())
            break;
        const std::size_t end = std::min(bytes.find('\x1e'), bytes.size());
        const std::string_view part = bytes.substr(0, end);
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
        if (part == "\x1f")
            fs::create_directories(game / name);
        else
            fuzz::put("game/" + std::string(name), part);
    }
    for (const char* slot : {"save2", "save3", "save4"})
        fs::create_directory_symlink("save1", game / slot);

    const auto before = snapshot(game);
    const auto [clean, report] = runHv(game, {"check"});
    fuzz::require(clean == report.empty(), "check fails exactly when it reports a problem");
    for (std::size_t start = 0; start < report.size();) {
        const std::size_t end = report.find('\n', start);
        fuzz::require(report.compare(start, game.string().size(), game.string()) == 0 &&
                          end != std::string::npos,
                      "each problem is one line naming its file");
        start = end + 1;
    }
    if (clean) {
        for (std::vector<std::string> command : {std::vector<std::string>{"slots"},
                                                 {"roster", "list"},
                                                 {"injuries", "list"},
                                                 {"rivals", "list", "ecw"},
                                                 {"rivals", "list", "indy"},
                                                 {"fed", "show"},
                                                 {"titles", "show"},
                                                 {"feuds", "show"}})
            fuzz::require(runHv(game, command).first, "a clean folder can be read");
    }
    fuzz::require(snapshot(game) == before, "checking and reading change no file");
}
