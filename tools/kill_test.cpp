// hv-kill-test: runs random `hv` changes on a large generated game folder and kills each one
// with SIGKILL at a random moment, before, while or after it replaces files. After every kill
// it checks that no save was damaged: every file parses and holds exactly its old or its new
// bytes (the new bytes come from the same command run to its end on a copy), no wrestler is
// missing from every file he was in, and nothing is left behind but the temporary files of
// the rewrite, which every reader ignores and the next rewrite of their file removes.

#include "gamefiles/error.h"
#include "gamefiles/export_file.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/managers.h"
#include "gamefiles/records.h"
#include "gamefiles/restore.h"
#include "gamefiles/save_game.h"
#include "gamefiles/slot_names.h"
#include "gamefiles/text.h"
#include "testsupport/operations.h"
#include "tools/world.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Options {
    std::uint64_t kills = 200;
    std::uint64_t seed = 1;
    std::uint64_t wrestlers = 10000;
    std::uint64_t rivalWrestlers = 1000;
    std::string hv = HV_PATH;
    fs::path dir;
    bool keep = false;
};

// One file a command may change: a game file of its slot, or the slot names.
struct Tracked {
    std::optional<hv::GameFile> kind; // none: saveslots.hv1
    fs::path live, reference;
};

struct Command {
    std::string slot;
    std::vector<std::string> args;
    std::string traded, tradedAs;      // a trade: who moves and under which name
    std::optional<hv::GameFile> drawn; // a trade out of the roster: the file with a drawn potential
};

enum Phase { Completed, Before, Writing, Between, After, NoChange, kPhases };
constexpr std::array<const char*, kPhases> kPhaseNames = {"finished before the kill",
                                                          "killed before writing",
                                                          "killed while writing a temporary file",
                                                          "killed between two replaces",
                                                          "killed after every replace",
                                                          "killed, command changes nothing"};

using Bytes = std::map<fs::path, std::string>; // by live path
using Names = std::map<std::string, long>;     // wrestler name -> records in the slot

std::string readAll(const fs::path& file) {
    try {
        return hv::readFileBytes(file);
    } catch (const hv::GameFileError&) {
        return "\x01missing";
    }
}

void writeAll(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Throws GameFileError when the bytes are not a valid file of their kind.
void parse(const Tracked& t, const std::string& bytes) {
    using hv::GameFile;
    const fs::path& f = t.live;
    if (!t.kind)
        hv::parseSaveSlotNames(bytes, f);
    else if (*t.kind == GameFile::Roster)
        hv::RecordFile<hv::WrestlerRecord>(bytes, f);
    else if (*t.kind == GameFile::SaveGame)
        hv::parseSaveGame(bytes, f);
    else if (*t.kind == GameFile::WwfManagers || *t.kind == GameFile::WcwManagers)
        hv::ManagersFile(bytes, f);
    else
        hv::RecordFile<hv::OtherFedRecord>(bytes, f);
}

bool isRoster(hv::GameFile f) {
    return f != hv::GameFile::SaveGame && f != hv::GameFile::WwfManagers &&
           f != hv::GameFile::WcwManagers;
}

// Records per name over those of the player's roster and the four rival files that are not
// the same in every version (the others add as much to each count).
Names countNames(const std::vector<Tracked>& files, const Bytes& bytes,
                 const std::set<fs::path>& touched) {
    Names names;
    for (const auto& t : files) {
        if (!t.kind || !isRoster(*t.kind) || !touched.contains(t.live))
            continue;
        std::vector<std::string> list;
        if (*t.kind == hv::GameFile::Roster)
            list = hv::RecordFile<hv::WrestlerRecord>(bytes.at(t.live), t.live).names();
        else
            list = hv::RecordFile<hv::OtherFedRecord>(bytes.at(t.live), t.live).names();
        for (auto& n : list)
            ++names[n];
    }
    return names;
}

// The new bytes, except that a trade out of the roster draws the moved wrestler's potential
// afresh in every run: the last record may differ in that line alone, within 1 to 20.
bool sameAsNew(const std::string& now, const std::string& expected, bool drawnPotential) {
    if (now == expected || !drawnPotential)
        return now == expected;
    try {
        const hv::RecordFile<hv::OtherFedRecord> a(now, "a"), b(expected, "b");
        if (a.size() != b.size() || a.size() == 0)
            return false;
        const std::size_t last = a.size() - 1;
        if (now.compare(0, a.text(last).data() - a.text(0).data(), expected, 0,
                        b.text(last).data() - b.text(0).data()) != 0)
            return false;
        for (std::size_t l = 0; l < hv::OtherFedRecord::kLines; ++l) {
            if (l != hv::OtherFedRecord::Potential) {
                if (a.line(last, l) != b.line(last, l))
                    return false;
                continue;
            }
            const auto p = hv::parseNumber(a.line(last, l));
            if (!p || *p < 1 || *p > 20)
                return false;
        }
        return true;
    } catch (const hv::GameFileError&) {
        return false;
    }
}

class KillTest {
public:
    explicit KillTest(Options o) : o_(std::move(o)), rng_(o_.seed) {}

    int run() {
        const auto start = Clock::now();
        setUp();
        std::cout << "hv-kill-test: " << o_.kills << " kills, seed " << o_.seed << ", "
                  << o_.wrestlers << " wrestlers per roster and " << o_.rivalWrestlers
                  << " per rival file, in " << o_.dir.string() << std::endl;
        for (std::uint64_t i = 0; i < o_.kills && findings_.empty(); ++i) {
            iteration(i);
            if ((i + 1) % 1000 == 0)
                std::cout << "  " << (i + 1) << " kills" << std::endl;
        }
        if (findings_.empty() && spawnAndWait(live_, {"check"}, "save1") != 0)
            findings_.push_back("hv check reports problems after the last kill");

        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        std::cout << "time: " << static_cast<long>(seconds) << " s\n";
        for (int p = 0; p < kPhases; ++p)
            std::cout << kPhaseNames[p] << ": " << phases_[p] << "\n";
        std::cout << "temporary files left by a kill: " << leftovers_
                  << ", removed by the next rewrite of their file: " << cleaned_ << "\n"
                  << "commands refused (exit 1, nothing changed): " << refused_ << "\n"
                  << "findings: " << findings_.size() << std::endl;
        for (const auto& f : findings_)
            std::cout << "FINDING: " << f << "\n";
        if (!findings_.empty() || o_.keep) {
            std::cout << "kept " << o_.dir.string() << "\n";
        } else {
            fs::remove_all(o_.dir);
        }
        return findings_.empty() ? 0 : 1;
    }

private:
    // --- set-up ---

    void setUp() {
        if (o_.dir.empty()) {
            std::string name = (fs::temp_directory_path() / "hv-kill-test-XXXXXX").string();
            if (!::mkdtemp(name.data()))
                throw std::runtime_error("cannot make a scratch folder");
            o_.dir = name;
        }
        fs::remove_all(o_.dir);
        live_ = o_.dir / "live";
        reference_ = o_.dir / "reference";
        exchange_ = o_.dir / "exchange";
        fs::create_directories(exchange_);
        hv::world::WorldOptions world;
        world.seed = o_.seed;
        world.wrestlers = o_.wrestlers;
        world.rivalWrestlers = o_.rivalWrestlers;
        hv::world::writeWorld(live_, world);
        fs::copy(live_, reference_, fs::copy_options::recursive);
        if (spawnAndWait(live_, {"check"}, "save1") != 0)
            throw std::runtime_error("the generated world does not pass hv check");
        for (auto slot : hv::kSlots)
            for (hv::GameFile f : hv::kAllGameFiles)
                temps_.insert(hv::slotTempPath(live_.string(), slot, f));
        temps_.insert(live_ / "saveslots.tmp");
    }

    std::vector<Tracked> tracked(const std::string& slot) const {
        std::vector<Tracked> files;
        for (hv::GameFile f : hv::kAllGameFiles)
            files.push_back({f, hv::slotFilePath(live_.string(), slot, f),
                             hv::slotFilePath(reference_.string(), slot, f)});
        files.push_back({std::nullopt, hv::saveSlotNamesPath(live_.string()),
                         hv::saveSlotNamesPath(reference_.string())});
        return files;
    }

    // --- commands ---

    std::size_t below(std::size_t n) { return static_cast<std::size_t>(rng_() % n); }
    bool chance(int percent) { return below(100) < static_cast<std::size_t>(percent); }
    template <class T> const T& pick(const std::vector<T>& v) { return v[below(v.size())]; }
    std::string fresh(const char* what) {
        return std::string(what) + " " + std::to_string(++made_);
    }

    std::vector<std::string> names(const Bytes& bytes, const fs::path& file, bool own) const {
        return own ? hv::RecordFile<hv::WrestlerRecord>(bytes.at(file), file).names()
                   : hv::RecordFile<hv::OtherFedRecord>(bytes.at(file), file).names();
    }

    Command makeCommand(const std::string& slot, const Bytes& old) {
        using hv::GameFile;
        auto path = [&](GameFile f) { return hv::slotFilePath(live_.string(), slot, f); };
        const std::string federation = hv::readFederationName(path(GameFile::SaveGame));
        const GameFile rivalFile = federation == "WWF" ? GameFile::WcwRoster : GameFile::WwfRoster;
        const std::vector<std::string> own = names(old, path(GameFile::Roster), true);
        const GameFile managersFile = *hv::managersFileFor(federation);
        const auto managers = hv::managerNames(path(managersFile));
        auto someone = [&] { return own.empty() ? std::string("Nobody") : pick(own); };

        Command c{slot, {}, {}, {}, {}};
        const std::size_t roll = below(100);
        if (roll < 12) {
            static const std::array<const char*, 6> kFields = {"draw",   "morale", "description",
                                                               "injury", "carder", "name"};
            const std::string field = kFields[below(kFields.size())];
            std::string value = std::to_string(below(100));
            if (field == "description")
                value = "Caf\xe9 regular " + value;
            else if (field == "carder")
                value = "Upper Carder";
            else if (field == "name")
                value = fresh("Renamed");
            c.args = {"roster", "set", someone(), field + "=" + value};
        } else if (roll < 16) {
            c.args = {"roster", "add"};
        } else if (roll < 22) {
            c.args = {"roster", "delete", someone()};
        } else if (roll < 28) {
            c.args = {"roster", "move", someone(), chance(50) ? "up" : "down"};
        } else if (roll < 33) {
            c.args = {"injuries", "heal"};
        } else if (roll < 63) {
            static const std::array<const char*, 4> kParties = {"own", "rival", "ecw", "indy"};
            const std::array<GameFile, 4> files = {GameFile::Roster, rivalFile, GameFile::EcwRoster,
                                                   GameFile::IndyRoster};
            const std::size_t from = below(4), to = (from + 1 + below(3)) % 4;
            const auto candidates = names(old, path(files[from]), from == 0);
            if (candidates.empty())
                return makeCommand(slot, old);
            c.traded = c.tradedAs = pick(candidates);
            c.args = {"trade", c.traded, kParties[from], kParties[to]};
            if (to == 0 && chance(40)) {
                c.tradedAs = fresh("Signed");
                c.args.insert(c.args.end(), {"--as", c.tradedAs});
            }
            if (to == 0 && chance(50))
                c.args.insert(c.args.end(), {"--years", std::to_string(1 + below(5))});
            if (from == 0)
                c.drawn = files[to];
        } else if (roll < 70) {
            const std::string feud = std::to_string(1 + below(5));
            c.args = chance(75)
                         ? std::vector<std::string>{"feuds", "set",
                                                    feud + "=" + std::to_string(15 + below(10586))}
                         : std::vector<std::string>{"feuds", "delete", feud};
        } else if (roll < 73) {
            c.args = {"titles", "set", std::to_string(1 + below(5)) + "=" + someone()};
        } else if (roll < 76) {
            c.args = {"fed", "set",
                      chance(50) ? "commissioner=" + fresh("Boss") : "slotname=" + fresh("Season")};
        } else if (roll < 86) {
            const std::size_t what = below(3);
            if (what == 0 || managers.empty())
                c.args = {"managers", "add"};
            else if (what == 1)
                c.args = {"managers", "set", pick(managers), "name=" + fresh("Manager"),
                          chance(50) ? "sex=female" : "sex=male"};
            else
                c.args = {"managers", "delete", pick(managers)};
        } else {
            // Import, with each of its outcomes: a new name, a clash overwritten, a clash
            // imported under another name, and a clash refused.
            const auto roster =
                hv::RecordFile<hv::WrestlerRecord>(old.at(path(GameFile::Roster)), "roster");
            hv::WrestlerRecord record = hv::blankWrestler();
            if (roster.size() > 1)
                record = roster.record(1 + below(roster.size() - 1));
            const std::size_t outcome = below(10);
            const bool clash = outcome >= 4 && !own.empty();
            record.lines[hv::WrestlerRecord::Name] = clash ? someone() : fresh("Imported");
            const fs::path file = exchange_ / (std::to_string(made_) + ".hve");
            writeAll(file, hv::serializeExportFile(record));
            c.args = {"import", file.string()};
            if (clash && outcome < 7)
                c.args.push_back("--overwrite");
            else if (clash && outcome < 9)
                c.args.insert(c.args.end(), {"--as", fresh("Imported")});
        }
        return c;
    }

    // --- running hv ---

    pid_t spawn(const fs::path& game, const std::vector<std::string>& args,
                const std::string& slot) {
        std::vector<std::string> all = {o_.hv, "--game-folder", game.string(), "--slot", slot};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        const std::string errors = (o_.dir / "stderr.txt").string();
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        pid_t pid = 0;
        const int error = posix_spawn(&pid, o_.hv.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0)
            throw std::runtime_error("cannot start " + o_.hv);
        return pid;
    }

    static int wait(pid_t pid, bool* killed = nullptr) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (killed)
            *killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    int spawnAndWait(const fs::path& game, const std::vector<std::string>& args,
                     const std::string& slot) {
        return wait(spawn(game, args, slot));
    }

    // --- checks ---

    // Files of the game folder that are no game file, outside the restore points.
    std::set<fs::path> extras(const fs::path& game, const std::vector<Tracked>& all) const {
        std::set<fs::path> known;
        for (const auto& t : all)
            known.insert(t.live.lexically_relative(live_));
        std::set<fs::path> found;
        for (auto it = fs::recursive_directory_iterator(game);
             it != fs::recursive_directory_iterator(); ++it) {
            if (it->path().filename() == hv::kRestoreFolder) {
                it.disable_recursion_pending();
                continue;
            }
            if (!it->is_directory() && !known.contains(it->path().lexically_relative(game)))
                found.insert(live_ / it->path().lexically_relative(game));
        }
        return found;
    }

    std::vector<Tracked> everyFile() const {
        std::vector<Tracked> all;
        for (auto slot : hv::kSlots)
            for (auto& t : tracked(std::string(slot)))
                if (t.kind || slot == hv::kSlots[0])
                    all.push_back(t);
        return all;
    }

    // Inode and change time: a file made afresh under the same name differs in one of them.
    static std::optional<std::pair<ino_t, std::int64_t>> identity(const fs::path& file) {
        struct stat st {};
        if (::lstat(file.c_str(), &st) != 0)
            return std::nullopt;
        return std::pair{st.st_ino, static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 +
                                        st.st_ctim.tv_nsec};
    }

    void finding(std::uint64_t i, const Command& c, const std::string& what) {
        std::string line = "kill " + std::to_string(i) + " (hv --slot " + c.slot;
        for (const auto& a : c.args)
            line += " " + a;
        findings_.push_back(line + "): " + what);
    }

    void iteration(std::uint64_t i) {
        const std::string slot(hv::kSlots[below(4)]);
        const auto files = tracked(slot);
        const auto all = everyFile();
        Bytes old;
        for (const auto& t : files)
            old[t.live] = readAll(t.live);
        const Command c = makeCommand(slot, old);

        std::map<fs::path, std::optional<std::pair<ino_t, std::int64_t>>> before;
        for (const auto& t : temps_)
            before[t] = identity(t);
        // A replaced file has a new inode (linking it for a restore point only changes its
        // change time).
        auto inode = [](const fs::path& f) {
            return identity(f).value_or(std::pair{ino_t{}, 0L}).first;
        };
        std::map<fs::path, ino_t> targets;
        for (const auto& t : files)
            targets[t.live] = inode(t.live);

        // The same command to its end on the copy gives the new bytes and the run time.
        const auto t0 = Clock::now();
        const int expectedStatus = spawnAndWait(reference_, c.args, slot);
        const auto took = Clock::now() - t0;
        if (expectedStatus != 0 && expectedStatus != 1)
            finding(i, c,
                    "exit " + std::to_string(expectedStatus) +
                        " on the copy: " + readAll(o_.dir / "stderr.txt"));
        refused_ += expectedStatus == 1;
        Bytes expected;
        for (const auto& t : files)
            expected[t.live] = readAll(t.reference);
        for (const auto& extra : extras(reference_, all))
            finding(i, c, "a finished run left " + extra.string() + " behind");
        checkParts(i, c, files, old, expected);

        // The same command again, killed at a random moment within its usual run time.
        const auto delay = std::chrono::duration_cast<std::chrono::microseconds>(took) * 6 / 5;
        const auto sleep = std::chrono::microseconds(rng_() % (delay.count() + 1));
        const pid_t pid = spawn(live_, c.args, slot);
        std::this_thread::sleep_for(sleep);
        ::kill(pid, SIGKILL);
        bool killed = false;
        const int status = wait(pid, &killed);
        if (!killed && status != expectedStatus)
            finding(i, c,
                    "exit " + std::to_string(status) + ", but " + std::to_string(expectedStatus) +
                        " on the copy");

        Bytes now;
        std::size_t changed = 0, replaced = 0;
        for (const auto& t : files) {
            const std::string& bytes = now[t.live] = readAll(t.live);
            try {
                parse(t, bytes);
            } catch (const hv::GameFileError& e) {
                finding(i, c, std::string("does not parse: ") + e.what());
            }
            const bool isOld = bytes == old[t.live];
            const bool isNew = sameAsNew(bytes, expected[t.live], c.drawn && *c.drawn == t.kind);
            if (!isOld && !isNew)
                finding(i, c, t.live.string() + " holds neither its old nor its new bytes");
            if (old[t.live] != expected[t.live]) {
                ++changed;
                replaced += isNew && !isOld;
            }
        }
        if (!findings_.empty())
            return keepReference(files, now, expected);

        // Nobody lost: every wrestler the command keeps is still in some file.
        std::set<fs::path> touched;
        for (const auto& t : files)
            if (old[t.live] != expected[t.live] || old[t.live] != now[t.live])
                touched.insert(t.live);
        const Names was = countNames(files, old, touched),
                    will = countNames(files, expected, touched),
                    is = countNames(files, now, touched);
        auto count = [](const Names& n, const std::string& name) {
            const auto it = n.find(name);
            return it == n.end() ? 0L : it->second;
        };
        for (const auto& [name, n] : was) {
            if (name == c.traded && c.tradedAs != c.traded) {
                if (count(is, name) + count(is, c.tradedAs) < n)
                    finding(i, c, name + " is in no file");
            } else if (count(is, name) < std::min(n, count(will, name))) {
                finding(i, c, name + " is missing from every file he was in");
            }
        }

        // Leftovers: only the rewrite's own temporary files, removed by its next run.
        bool fresh = false;
        for (const auto& extra : extras(live_, all)) {
            if (!temps_.contains(extra)) {
                finding(i, c, "an unknown file was left behind: " + extra.string());
                continue;
            }
            const bool isNewTemp = identity(extra) != before[extra];
            fresh = fresh || isNewTemp;
            leftovers_ += isNewTemp;
        }
        if (!killed) {
            for (const auto& t : files) {
                const fs::path temp = t.kind ? hv::slotTempPath(live_.string(), slot, *t.kind)
                                             : live_ / "saveslots.tmp";
                if (!before[temp] || inode(t.live) == targets[t.live])
                    continue;
                if (identity(temp))
                    finding(i, c, "a rewrite of " + t.live.string() + " left " + temp.string());
                else
                    ++cleaned_;
            }
        }
        try {
            hv::listRestorePoints(live_, slot);
        } catch (const std::exception& e) {
            finding(i, c, std::string("the restore points cannot be listed: ") + e.what());
        }

        Phase phase = Completed;
        if (killed)
            phase = changed == 0         ? NoChange
                    : replaced == 0      ? (fresh ? Writing : Before)
                    : replaced < changed ? Between
                                         : After;
        ++phases_[phase];
        keepReference(files, now, expected);
    }

    // The catalogue's row for the command says which files it may change.
    static std::string operationOf(const std::vector<std::string>& args) {
        static const std::map<std::string, std::string> names = {
            {"roster set", "roster set"},        {"roster add", "roster add"},
            {"roster delete", "roster delete"},  {"roster move", "roster move up"},
            {"injuries heal", "injuries heal"},  {"feuds set", "feud levels"},
            {"feuds delete", "feud levels"},     {"titles set", "title holders"},
            {"fed set", "federation settings"},  {"managers add", "managers add"},
            {"managers set", "managers change"}, {"managers delete", "managers delete"}};
        if (args[0] == "trade")
            return "trade " + args[2] + " to " + args[3];
        if (args[0] == "import")
            return args.size() == 2           ? "import appended"
                   : args[2] == "--overwrite" ? "import overwrite"
                                              : "import as";
        const auto it = names.find(args[0] + " " + args[1]);
        return it == names.end() ? std::string() : it->second;
    }

    void checkParts(std::uint64_t i, const Command& c, const std::vector<Tracked>& files,
                    const Bytes& old, const Bytes& expected) {
        using hv::test::Part;
        const auto& ops = hv::test::operations();
        const auto op = std::ranges::find(ops, operationOf(c.args), &hv::test::Operation::name);
        if (op == ops.end())
            return finding(i, c, "the catalogue of operations has no row for it");
        for (const auto& t : files) {
            using hv::GameFile;
            const Part part = !t.kind                           ? Part::SlotNames
                              : *t.kind == GameFile::Roster     ? Part::Roster
                              : *t.kind == GameFile::SaveGame   ? Part::Save
                              : *t.kind == GameFile::EcwRoster  ? Part::Ecw
                              : *t.kind == GameFile::IndyRoster ? Part::Indy
                              : isRoster(*t.kind)               ? Part::Rival
                                                                : Part::Managers;
            if (old.at(t.live) != expected.at(t.live) && !op->parts.contains(part))
                finding(i, c, op->name + " changed " + t.live.string());
        }
    }

    // The copy, which holds `expected`, follows the live folder into the next round.
    static void keepReference(const std::vector<Tracked>& files, const Bytes& now,
                              const Bytes& expected) {
        for (const auto& t : files)
            if (now.at(t.live) != expected.at(t.live))
                writeAll(t.reference, now.at(t.live));
    }

    Options o_;
    std::mt19937_64 rng_;
    fs::path live_, reference_, exchange_;
    std::set<fs::path> temps_;
    std::size_t made_ = 0;
    std::array<std::uint64_t, kPhases> phases_{};
    std::uint64_t leftovers_ = 0, cleaned_ = 0, refused_ = 0;
    std::vector<std::string> findings_;
};

void usage(std::ostream& out) {
    out << "usage: hv-kill-test [--kills N] [--seed S] [--wrestlers N] [--rival-wrestlers N]\n"
           "                    [--hv PATH] [--dir DIR] [--keep]\n"
           "  Runs N random hv changes (default 200) on a generated game folder of N wrestlers\n"
           "  per roster (default 10000) and kills each at a random moment; exit 1 and one\n"
           "  FINDING line per damaged file. DIR (default: a new temporary folder) is emptied\n"
           "  first and removed at the end unless something was found or --keep is given.\n";
}

bool number(std::string_view text, std::uint64_t& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            usage(std::cout);
            return 0;
        }
        if (arg == "--keep") {
            o.keep = true;
        } else if (hasValue && arg == "--hv") {
            o.hv = argv[++i];
        } else if (hasValue && arg == "--dir") {
            o.dir = argv[++i];
        } else if (hasValue && (arg == "--kills" || arg == "--seed" || arg == "--wrestlers" ||
                                arg == "--rival-wrestlers")) {
            std::uint64_t& target = arg == "--kills"       ? o.kills
                                    : arg == "--seed"      ? o.seed
                                    : arg == "--wrestlers" ? o.wrestlers
                                                           : o.rivalWrestlers;
            if (!number(argv[++i], target)) {
                std::cerr << "hv-kill-test: " << arg << " needs a whole number\n";
                return 2;
            }
        } else {
            usage(std::cerr);
            return 2;
        }
    }
    try {
        return KillTest(o).run();
    } catch (const std::exception& e) {
        std::cerr << "hv-kill-test: " << e.what() << "\n";
        return 1;
    }
}
