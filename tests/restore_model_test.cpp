// Random sequences of every write operation, interleaved with the game writing files behind the
// editor's back and with restores of random points, each step checked against a model: the
// bytes every game file must hold and the restore points (what each kept and left). An
// operation's own result comes from running it on a second folder that holds exactly what
// the model holds, so a step differs only by what history (restore points, earlier restores)
// could have done to it. HV_MODEL_SEQUENCES and HV_MODEL_SEED choose the run; a failing
// sequence is shrunk and printed as a row for kRegressions.

#include "exchange/exchange_ops.h"
#include "gamefiles/error.h"
#include "managers/managers_ops.h"
#include "otherfeds/otherfeds_ops.h"
#include "restore/restore_ops.h"
#include "roster/roster_ops.h"
#include "savegame/savegame_ops.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>

namespace hv::test {
namespace {

namespace fs = std::filesystem;
using otherfeds::Party;
using Files = std::map<std::string, std::string>; // relative to the game folder
using Rng = std::mt19937_64;

constexpr const char* kSlot = "save1";

// Slot 1 runs the WWF: WCW is its rival big federation.
struct World : GameWorld {
    World() : GameWorld("WWF") {
        setRoster(kSlot, {placeholderWrestler(), wrestler("Ace", "3", " 4 "), wrestler("Bo"),
                          wrestler("Cy", "2", "2")});
        for (auto [file, name] :
             {std::pair{"wcw", "Crow"}, {"ecw", "Extreme"}, {"otherbig", "Indy"}})
            writeFile(slotFile(kSlot, "Background/" + std::string(file) + ".hv1"),
                      crlf(rivalWrestler(name)) + crlf(rivalWrestler(std::string(name) + " Two")));
        writeFile(work / "Dee.hve", crlf(wrestler("Dee")));
        writeFile(work / "Bo.hve", crlf(withLine(wrestler("Bo"), 1, "99")));
    }
    std::string folder() const { return game.string(); }
    Files files() const {
        Files all;
        for (auto& [file, bytes] : snapshot(game))
            if (!file.starts_with(".hv-restore"))
                all[file] = bytes;
        return all;
    }
};

// An operation with its arguments drawn, run on a game folder.
using Run = std::function<void(const std::string& folder, const fs::path& work)>;

template <class T> const T& pick(Rng& rng, const std::vector<T>& from) {
    return from[rng() % from.size()];
}

// A name of the file now, or now and then one it does not hold.
std::string someName(Rng& rng, std::vector<std::string> names) {
    names.push_back("Nobody");
    return pick(rng, names);
}

std::vector<std::string> rosterNames(const World& w) {
    return roster::rosterNames({w.folder(), kSlot});
}

std::string partyName(const World& w, Rng& rng, Party party) {
    if (party == Party::Own)
        return someName(rng, rosterNames(w));
    return someName(
        rng, otherfeds::rivalNames(otherfeds::partyFile(w.folder(), kSlot, party, "WCW").file));
}

struct Operation {
    const char* name;
    std::function<Run(const World&, Rng&)> draw;
};

const std::vector<Operation>& operations() {
    using W = WrestlerRecord;
    static const std::vector<Operation> ops = {
        {"roster edit",
         [](const World& w, Rng& rng) -> Run {
             const std::string name = someName(rng, rosterNames(w));
             const auto line = pick(rng, std::vector{W::Draw, W::Injury, W::Carder});
             const std::string value = std::to_string(rng() % 6);
             return [=](const std::string& f, const fs::path&) {
                 roster::setWrestlerFields({f, kSlot}, name, {{line, value}});
             };
         }},
        {"roster add",
         [](const World&, Rng&) -> Run {
             return [](const std::string& f, const fs::path&) {
                 roster::addBlankWrestler({f, kSlot});
             };
         }},
        {"roster delete",
         [](const World& w, Rng& rng) -> Run {
             const std::string name = someName(rng, rosterNames(w));
             return [=](const std::string& f, const fs::path&) {
                 roster::deleteWrestler({f, kSlot}, name);
             };
         }},
        {"roster move",
         [](const World& w, Rng& rng) -> Run {
             const std::string name = someName(rng, rosterNames(w));
             const auto way = rng() % 2 ? roster::Direction::Up : roster::Direction::Down;
             return [=](const std::string& f, const fs::path&) {
                 roster::moveWrestler({f, kSlot}, name, way);
             };
         }},
        {"injuries heal",
         [](const World&, Rng&) -> Run {
             return [](const std::string& f, const fs::path&) { roster::healAll({f, kSlot}); };
         }},
        {"trade",
         [](const World& w, Rng& rng) -> Run {
             const Party from = pick(
                 rng, std::vector(std::begin(otherfeds::kParties), std::end(otherfeds::kParties)));
             Party to = from;
             while (to == from)
                 to = otherfeds::kParties[rng() % std::size(otherfeds::kParties)];
             const std::string name = partyName(w, rng, from);
             const otherfeds::TransferRequest request{kSlot,        from, to,   name,
                                                      name + " II", "2",  "WCW"};
             return [=](const std::string& f, const fs::path&) {
                 otherfeds::TransferWrestler(f, request, [] { return 0.5; });
             };
         }},
        {"import",
         [](const World& w, Rng& rng) -> Run {
             const std::string file = pick(rng, std::vector<std::string>{"Dee.hve", "Bo.hve"});
             const int how = static_cast<int>(rng() % 3);
             const std::string name = someName(rng, rosterNames(w));
             return [=](const std::string& f, const fs::path& work) {
                 const exchange::RosterFile r(f, kSlot);
                 if (how == 0)
                     exchange::importWrestler(r, work / file);
                 else if (how == 1)
                     exchange::overwriteWrestler(r, name, work / file);
                 else
                     exchange::importAs(r, work / file, name + " Copy");
             };
         }},
        {"settings",
         [](const World&, Rng& rng) -> Run {
             const savegame::Settings s = {"Slot " + std::to_string(rng() % 9), "Boss", "Friday",
                                           std::to_string(rng() % 28 + 1),      "May",  "3",
                                           std::to_string(rng() % 1000)};
             return [=](const std::string& f, const fs::path&) {
                 savegame::applySettings({f, kSlot}, s);
             };
         }},
        {"titles",
         [](const World& w, Rng& rng) -> Run {
             savegame::Holders h;
             for (auto& holder : h)
                 holder = someName(rng, rosterNames(w));
             return [=](const std::string& f, const fs::path&) {
                 savegame::applyTitles({f, kSlot}, h);
             };
         }},
        {"feuds",
         [](const World& w, Rng& rng) -> Run {
             auto feuds = savegame::readFeuds({w.folder(), kSlot});
             auto& feud = feuds[rng() % feuds.size()];
             feud.level = static_cast<int>(rng() % 1000) + savegame::kMinLevel;
             if (rng() % 4 == 0)
                 feud.text = "Ace vs Bo";
             return [=](const std::string& f, const fs::path&) {
                 savegame::applyFeuds({f, kSlot}, feuds);
             };
         }},
        {"managers",
         [](const World& w, Rng& rng) -> Run {
             const int how = static_cast<int>(rng() % 3);
             const managers::ManagersPlace place(w.folder(), kSlot);
             std::vector<std::string> names = managers::listManagers(place);
             const std::string name = someName(rng, names);
             return [=](const std::string& f, const fs::path&) {
                 const managers::ManagersPlace m(f, kSlot);
                 if (how == 0)
                     managers::addManager(m);
                 else if (how == 1)
                     managers::changeManagers(m, name, std::string_view("Newman"), "female");
                 else
                     managers::deleteManagers(m, name);
             };
         }},
    };
    return ops;
}

// One step: an operation (its index), the game writing a file ("outside"), or a restore; the
// number draws its arguments from the state it meets, so a shrunk sequence still runs.
struct Step {
    std::string kind;
    std::uint64_t seed;
};
using Sequence = std::vector<Step>;

// Sequences kept as they were shrunk: the edit, trade and restore of an old change, and what
// a restore undoing too little failed on.
const Sequence kRegressions[] = {
    {{"roster edit", 1}, {"trade", 7}, {"restore", 0}},
    // A rollback that reaches a later change only through another one.
    {{"trade", 442}, {"trade", 909}, {"managers", 660}, {"roster add", 337}, {"restore", 58}},
};

struct ModelPoint {
    unsigned long long id;
    std::map<std::string, std::string> before, after; // per file it replaced
};

class Runner {
public:
    // Empty when the sequence ran as the model says; otherwise what went wrong, and where.
    std::string run(const Sequence& steps) {
        World world;
        ref_ = std::make_unique<World>();
        model_ = world.files();
        points_.clear();
        for (std::size_t i = 0; i < steps.size(); ++i) {
            std::string problem = step(world, steps[i]);
            if (problem.empty())
                problem = compare(world);
            if (!problem.empty())
                return "step " + std::to_string(i + 1) + " (" + steps[i].kind + "): " + problem;
        }
        return {};
    }

private:
    std::string step(World& world, const Step& s) {
        Rng rng(s.seed);
        if (s.kind == "restore")
            return restore(world, rng);
        if (s.kind == "outside") {
            // The game saves a file: a whole record more, so that the file still reads.
            auto it = std::next(model_.begin(), static_cast<long>(rng() % model_.size()));
            const std::string& file = it->first;
            const std::size_t lines = file.ends_with("yourfed.hv1")                   ? 19
                                      : file.ends_with("managers.hv1")                ? 2
                                      : file.find("Background/") != std::string::npos ? 16
                                                                                      : 1;
            it->second += crlf(std::vector<std::string>(lines, "Game " + std::to_string(s.seed)));
            writeFile(world.game / file, it->second);
            return {};
        }
        const auto op =
            std::ranges::find_if(operations(), [&](auto& o) { return s.kind == o.name; });
        Run run;
        try {
            run = op->draw(world, rng);
        } catch (const GameFileError&) {
            return {}; // nothing to draw from: the operation would fail the same way
        }

        // The reference: a folder holding the model's bytes and no history.
        World& ref = *ref_;
        fs::remove_all(ref.game / ".hv-restore");
        const Files held = ref.files();
        for (const auto& [file, bytes] : model_)
            if (!held.contains(file) || held.at(file) != bytes)
                writeFile(ref.game / file, bytes);
        // How it ended, the message told apart from the folder it names.
        const auto outcome = [&](const World& w) -> std::string {
            try {
                run(w.folder(), world.work);
                return "done";
            } catch (const OperationRefused& e) {
                return std::string("refused: ") + e.what();
            } catch (const GameFileError& e) {
                std::string text = e.what();
                if (const auto at = text.find(w.folder()); at != std::string::npos)
                    text.erase(at, w.folder().size());
                return "failed: " + text;
            }
        };
        const std::string expected = outcome(ref);
        const std::string got = outcome(world);
        if (got != expected)
            return "ended " + got + ", the reference " + expected;
        const Files after = ref.files();
        if (const auto made = restore::listPoints(ref.folder(), kSlot); !made.empty()) {
            ModelPoint point{nextId(), {}, {}};
            for (const auto& file : made.front().files) {
                point.before[file] = model_.at(file);
                point.after[file] = after.at(file);
            }
            points_.push_back(point);
        }
        model_ = after;
        return {};
    }

    unsigned long long nextId() const { return points_.empty() ? 1 : points_.back().id + 1; }

    // The model's own restore: the point, and every later point sharing a file with one taken.
    std::string restore(World& world, Rng& rng) {
        if (points_.empty())
            return {};
        const std::size_t first = rng() % points_.size();
        std::vector<bool> in(points_.size(), false);
        in[first] = true;
        for (bool grew = true; grew;) {
            grew = false;
            for (std::size_t i = first + 1; i < points_.size(); ++i)
                for (std::size_t j = first; j < points_.size() && !in[i]; ++j)
                    if (in[j] && std::ranges::any_of(points_[i].before, [&](auto& f) {
                            return points_[j].before.contains(f.first);
                        }))
                        in[i] = grew = true;
        }
        Files back, left; // oldest "before", newest "after" of each file
        std::vector<unsigned long long> later;
        for (std::size_t i = points_.size(); i-- > first;)
            if (in[i]) {
                if (i != first)
                    later.push_back(points_[i].id);
                for (const auto& [file, bytes] : points_[i].before) {
                    back[file] = bytes;
                    left.try_emplace(file, points_[i].after.at(file));
                }
            }
        const bool changed =
            std::ranges::any_of(left, [&](auto& f) { return model_.at(f.first) != f.second; });
        const bool force = rng() % 2 == 0;
        restore::RestoreResult result;
        try {
            result = restore::applyPoint(world.folder(), kSlot, points_[first].id, force);
        } catch (const OperationRefused& e) {
            return changed && !force ? std::string() : std::string("refused: ") + e.what();
        }
        if (changed && !force)
            return "restored over a file the game wrote since";
        std::vector<unsigned long long> undone;
        for (const auto& p : result.later)
            undone.push_back(p.id);
        if (undone != later)
            return "undid other later changes than the model";
        ModelPoint point{nextId(), {}, back};
        for (const auto& [file, bytes] : back) {
            point.before[file] = model_.at(file);
            model_[file] = bytes;
        }
        if (result.point != point.id)
            return "the restore's point is " + std::to_string(result.point);
        points_.push_back(point);
        return {};
    }

    std::string compare(const World& world) const {
        if (world.files() != model_) {
            std::string names;
            const Files now = world.files();
            for (const auto& [file, bytes] : model_)
                if (!now.contains(file) || now.at(file) != bytes)
                    names += " " + file;
            return "files differ from the model:" + names;
        }
        const auto points = restore::listPoints(world.folder(), kSlot);
        if (points.size() != points_.size())
            return std::to_string(points.size()) + " restore points, the model " +
                   std::to_string(points_.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            const RestorePoint& p = points[points.size() - 1 - i];
            const ModelPoint& m = points_[i];
            if (p.id != m.id || p.files.size() != m.before.size())
                return "restore point " + std::to_string(p.id) + " is not the model's " +
                       std::to_string(m.id);
            for (std::size_t f = 0; f < p.files.size(); ++f)
                if (!m.before.contains(p.files[f]) ||
                    readFile(p.kept(f)) != m.before.at(p.files[f]))
                    return "restore point " + std::to_string(p.id) + " keeps other bytes of " +
                           p.files[f];
        }
        return {};
    }

    Files model_;
    std::vector<ModelPoint> points_;
    std::unique_ptr<World> ref_;
};

Sequence generate(Rng& rng) {
    std::vector<std::string> kinds;
    for (const auto& op : operations())
        kinds.push_back(op.name);
    Sequence steps(rng() % 20 + 2);
    for (Step& s : steps) {
        const auto roll = rng() % 10;
        s.kind = roll < 3 ? "restore" : roll == 3 ? "outside" : pick(rng, kinds);
        s.seed = rng() % 1000;
    }
    return steps;
}

// The shortest sequence found, by dropping one step at a time, that still fails.
Sequence shrink(Runner& runner, Sequence steps) {
    for (bool smaller = true; smaller;) {
        smaller = false;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            Sequence fewer = steps;
            fewer.erase(fewer.begin() + static_cast<long>(i));
            if (!runner.run(fewer).empty()) {
                steps = fewer;
                smaller = true;
                break;
            }
        }
    }
    return steps;
}

std::uint64_t setting(const char* name, std::uint64_t fallback) {
    const char* text = std::getenv(name);
    return text ? std::strtoull(text, nullptr, 10) : fallback;
}

TEST(RestoreModel, RegressionsRunAsTheModelSays) {
    Runner runner;
    for (const Sequence& steps : kRegressions)
        EXPECT_EQ(runner.run(steps), "");
}

TEST(RestoreModel, RandomSequencesRunAsTheModelSays) {
    const std::uint64_t count = setting("HV_MODEL_SEQUENCES", 300);
    const std::uint64_t seed = setting("HV_MODEL_SEED", 20261207);
    Rng rng(seed);
    Runner runner;
    std::size_t findings = 0, steps = 0;
    const auto start = std::chrono::steady_clock::now();
    for (std::uint64_t n = 0; n < count && findings < 3; ++n) {
        const Sequence sequence = generate(rng);
        steps += sequence.size();
        if (runner.run(sequence).empty())
            continue;
        ++findings;
        const Sequence small = shrink(runner, sequence);
        std::ostringstream row;
        for (const Step& s : small)
            row << "{\"" << s.kind << "\", " << s.seed << "}, ";
        ADD_FAILURE() << "sequence " << n << " of seed " << seed << ": " << runner.run(small)
                      << "\nshrunk: {" << row.str() << "}";
    }
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << count << " sequences (" << steps << " steps) of seed " << seed << " in " << seconds
              << " s, " << findings << " findings\n";
}

} // namespace
} // namespace hv::test
