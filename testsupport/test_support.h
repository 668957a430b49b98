#pragma once

// Helpers shared by the tests: temporary folders and small game worlds written byte by byte.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace hv::test {

// A fresh folder under the system temp folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir() { std::filesystem::remove_all(path_, ignored_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::error_code ignored_;
};

struct ProgramRun {
    int code = -1; // the exit status, -1 when the program did not exit
    std::string out, err;
};

#ifndef _WIN32
// Runs `program` with `args` in the folder `work`, its output caught in files outside any test
// world. `env`, when given, is the whole environment; else the test's own is inherited.
ProgramRun runProgram(const char* program, const std::vector<std::string>& args,
                      const std::filesystem::path& work,
                      const std::vector<std::string>* env = nullptr);
#endif

// Joins lines, each ended by CR LF.
std::string crlf(const std::vector<std::string>& lines);

void writeFile(const std::filesystem::path& file, std::string_view bytes);
std::string readFile(const std::filesystem::path& file);
// Every file below `root` (relative path -> bytes), to prove that nothing else changed.
std::vector<std::pair<std::string, std::string>> snapshot(const std::filesystem::path& root);

// A 19-line roster record: name, then the given lines in order (missing ones empty).
std::vector<std::string> wrestler(std::string_view name, std::string_view carder = "2",
                                  std::string_view injury = "0");

// A 16-line record of a rival federation's roster: name, then lines of its own.
std::vector<std::string> rivalWrestler(std::string_view name, std::string_view alterEgo = "no");

// The game's placeholder record, named "name"; injured, so that healing would touch it if it
// were not skipped.
inline std::vector<std::string> placeholderWrestler() {
    return wrestler("name", "2", "5");
}

// The record the editor appends for a new wrestler, written out here so that tests compare
// against an expectation of their own.
std::vector<std::string> blankWrestlerLines();

// `record` with line `index` (0-based) replaced by `value`.
inline std::vector<std::string> withLine(std::vector<std::string> record, std::size_t index,
                                         std::string value) {
    record.at(index) = std::move(value);
    return record;
}

// The records back to back, every line ended by CR LF, as a roster file holds them.
std::string recordBytes(const std::vector<std::vector<std::string>>& records);

// A game folder with one working folder beside it: options.dat points at the game folder,
// every slot has its folders, saveslots.hv1 names four slots, and each slot's save game
// names `federation`. Files are written with the game's own spelling of folders.
struct GameWorld {
    explicit GameWorld(std::string_view federation = "WWF");
    TempDir root;
    std::filesystem::path game;
    std::filesystem::path work;

    std::filesystem::path slotFile(std::string_view slot, std::string_view suffix) const {
        // In the system's own spelling, as the program builds its paths.
        return (game / slot / suffix).make_preferred();
    }
    std::filesystem::path rosterFile(std::string_view slot = "save1") const {
        return slotFile(slot, "Controlled/yourfed.hv1");
    }
    std::string roster(std::string_view slot = "save1") const { return readFile(rosterFile(slot)); }
    // Every file but the restore area, which each successful change adds to by design, and
    // the lock file of options.dat.
    std::vector<std::pair<std::string, std::string>> files() const {
        auto all = snapshot(root.path());
        std::erase_if(all, [](const auto& f) {
            return f.first.find("/.hv-restore/") != f.first.npos ||
                   f.first.ends_with("/options.lock");
        });
        return all;
    }
    void setRoster(std::string_view slot, const std::vector<std::vector<std::string>>& records) {
        writeFile(rosterFile(slot), recordBytes(records));
    }
    void setSaveGame(std::string_view slot, std::string_view federation);
};

} // namespace hv::test
