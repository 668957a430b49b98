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
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <sstream>

namespace hv::test {
namespace {

namespace fs = std::filesystem;
using otherfeds::Party;
using Files = std::map<std::string, std::string>; // relative to the game folder
using Rng = std::mt19937_64;

// Two slots, whose changes share the slot names file.
constexpr const char* kSlots[] = {"save1", "save2"};

// Both slots run the WWF: WCW is their rival big federation.
struct World : GameWorld {
    World() : GameWorld("WWF") {
        for (const char* slot : kSlots) {
            setRoster(slot, {placeholderWrestler(), wrestler("Ace", "3", " 4 "), wrestler("Bo"),
                             wrestler("Cy", "2", "2")});
            for (auto [file, name] :
                 {std::pair{"wcw", "Crow"}, {"ecw", "Extreme"}, {"otherbig", "Indy"}})
                writeFile(slotFile(slot, "Background/" + std::string(file) + ".hv1"),
                          crlf(rivalWrestler(name)) +
                              crlf(rivalWrestler(std::string(name) + " Two")));
        }
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

// What an operation draws its arguments from: the step's own random numbers and the names the
// files held before it. Each run gets a fresh copy, so the reference draws the same.
struct Draw {
    Rng rng;
    std::string slot;
    std::map<std::string, std::vector<std::string>> names; // "own", "WCW", ..., "managers"
    fs::path work;
    std::size_t n(std::size_t below) { return rng() % below; }
    // A name the file holds, or now and then one it does not.
    std::string name(const std::string& of) {
        const auto& from = names[of];
        const std::size_t i = n(from.size() + 1);
        return i < from.size() ? from[i] : "Nobody";
    }
};
using Run = void (*)(Draw&, const std::string& folder);

template <class T> std::vector<std::string> orNone(T read) {
    try {
        return read();
    } catch (const GameFileError&) {
        return {};
    }
}

Draw drawFrom(const World& w, std::uint64_t seed, const std::string& slot) {
    Draw d{Rng(seed), slot, {}, w.work};
    d.names["own"] = orNone([&] { return roster::rosterNames({w.folder(), slot}); });
    d.names["managers"] = orNone([&] { return managers::listManagers({w.folder(), slot}); });
    for (Party p : {Party::Rival, Party::Ecw, Party::Indy})
        d.names[std::string(otherfeds::partyWord(p))] = orNone([&] {
            return otherfeds::rivalNames(otherfeds::partyFile(w.folder(), slot, p, "WCW").file);
        });
    return d;
}

void trade(Draw& d, const std::string& f) {
    const Party from = otherfeds::kParties[d.n(4)];
    const Party to = otherfeds::kParties[(static_cast<std::size_t>(from) + 1 + d.n(3)) % 4];
    const std::string name =
        d.name(from == Party::Own ? "own" : std::string(otherfeds::partyWord(from)));
    otherfeds::TransferWrestler(f, {d.slot, from, to, name, name + " II", "2", "WCW"},
                                [] { return 0.5; });
}

void import(Draw& d, const std::string& f) {
    const fs::path file = d.work / (d.n(2) ? "Dee.hve" : "Bo.hve");
    const exchange::RosterFile r(f, d.slot);
    if (const auto how = d.n(3); how == 0)
        exchange::importWrestler(r, file);
    else if (how == 1)
        exchange::overwriteWrestler(r, d.name("own"), file);
    else
        exchange::importAs(r, file, d.name("own") + " Copy");
}

void feuds(Draw& d, const std::string& f) {
    auto all = savegame::readFeuds({f, d.slot});
    auto& feud = all[d.n(all.size())];
    feud.level = static_cast<int>(d.n(1000)) + savegame::kMinLevel;
    if (d.n(4) == 0)
        feud.text = d.n(2) ? "Ace vs Bo" : "";
    savegame::applyFeuds({f, d.slot}, all);
}

void manager(Draw& d, const std::string& f) {
    const managers::ManagersPlace m(f, d.slot);
    if (const auto how = d.n(3); how == 0)
        managers::addManager(m);
    else if (how == 1)
        managers::changeManagers(m, d.name("managers"), std::string_view("Newman"), "female");
    else
        managers::deleteManagers(m, d.name("managers"));
}

// Every write operation of a slot; the trade draws one of the twelve directions.
const std::pair<const char*, Run> kOperations[] = {
    {"roster edit",
     [](Draw& d, const std::string& f) {
         const WrestlerRecord::Line lines[] = {WrestlerRecord::Draw, WrestlerRecord::Injury,
                                               WrestlerRecord::Carder};
         roster::setWrestlerFields({f, d.slot}, d.name("own"),
                                   {{lines[d.n(3)], std::to_string(d.n(6))}});
     }},
    {"roster add",
     [](Draw& d, const std::string& f) {
         roster::addBlankWrestler({f, d.slot});
     }},
    {"roster delete",
     [](Draw& d, const std::string& f) {
         roster::deleteWrestler({f, d.slot}, d.name("own"));
     }},
    {"roster move",
     [](Draw& d, const std::string& f) {
         roster::moveWrestler({f, d.slot}, d.name("own"),
                              d.n(2) ? roster::Direction::Up : roster::Direction::Down);
     }},
    {"injuries heal",
     [](Draw& d, const std::string& f) {
         roster::healAll({f, d.slot});
     }},
    {"trade", trade},
    {"import", import},
    {"settings",
     [](Draw& d, const std::string& f) {
         savegame::applySettings({f, d.slot}, {"Slot " + std::to_string(d.n(9)), "Boss", "Friday",
                                               std::to_string(d.n(28) + 1), "May", "3",
                                               std::to_string(d.n(1000))});
     }},
    {"titles",
     [](Draw& d, const std::string& f) {
         savegame::applyTitles(
             {f, d.slot}, {d.name("own"), d.name("own"), "Vacant", d.name("own"), d.name("own")});
     }},
    {"feuds", feuds},
    {"managers", manager},
};

// One step: an operation (its index), the game writing a file ("outside"), or a restore, in
// slot 1 or 2; the number draws its arguments from the state it meets, so a shrunk sequence
// still runs.
struct Step {
    std::string kind;
    std::uint64_t seed;
    int slot = 1;
};
using Sequence = std::vector<Step>;

// Sequences kept as they were shrunk, from a rollback that missed later changes reached only
// through another one: it undid too little, or took its own leftovers for a change outside.
const Sequence kRegressions[] = {
    {{"trade", 265},
     {"trade", 452},
     {"restore", 354},
     {"roster edit", 414},
     {"restore", 421},
     {"restore", 718}},
    {{"trade", 126}, {"trade", 792}, {"import", 769}, {"restore", 428}},
    // Each slot renamed, then the first rename undone: the second goes with it, named.
    {{"settings", 1}, {"settings", 2, 2}, {"restore", 0}, {"roster edit", 3, 2}, {"restore", 1}},
};

struct ModelPoint {
    std::string slot;
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
        const std::string slot = kSlots[s.slot - 1];
        if (s.kind == "restore")
            return restore(world, rng, slot);
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
            std::ranges::find(kOperations, s.kind, [](auto& o) { return std::string(o.first); });
        const Draw draw = drawFrom(world, s.seed, slot);

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
                Draw d = draw;
                op->second(d, w.folder());
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
        if (const auto made = restore::listPoints(ref.folder(), slot); !made.empty()) {
            ModelPoint point{slot, nextId(slot), {}, {}};
            for (const auto& file : made.front().files) {
                point.before[file] = model_.at(file);
                point.after[file] = after.at(file);
            }
            points_.push_back(point);
        }
        model_ = after;
        return {};
    }

    unsigned long long nextId(const std::string& slot) const {
        const auto last =
            std::ranges::find(points_.rbegin(), points_.rend(), slot, &ModelPoint::slot);
        return last == points_.rend() ? 1 : last->id + 1;
    }

    // The model's own restore: the point, and every later point of either slot sharing a file
    // with one taken; the restore's point is the slot's.
    std::string restore(World& world, Rng& rng, const std::string& slot) {
        std::vector<std::size_t> own;
        for (std::size_t i = 0; i < points_.size(); ++i)
            if (points_[i].slot == slot)
                own.push_back(i);
        if (own.empty())
            return {};
        const std::size_t first = own[rng() % own.size()];
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
        std::vector<std::pair<std::string, unsigned long long>> later;
        for (std::size_t i = points_.size(); i-- > first;)
            if (in[i]) {
                if (i != first)
                    later.emplace_back(points_[i].slot, points_[i].id);
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
            const auto id = points_[first].id;
            result = restore::applyPoint(world.folder(), slot, id,
                                         force ? restore::planRestore(world.folder(), slot, id).id
                                               : std::string());
        } catch (const OperationRefused& e) {
            return changed && !force ? std::string() : std::string("refused: ") + e.what();
        }
        if (changed && !force)
            return "restored over a file the game wrote since";
        std::vector<std::pair<std::string, unsigned long long>> undone;
        for (const auto& p : result.later)
            undone.emplace_back(p.slot, p.id);
        if (undone != later)
            return "undid other later changes than the model";
        // A file that holds its version already is not written, nor kept; with none to write
        // there is no point.
        ModelPoint point{slot, nextId(slot), {}, {}};
        for (const auto& [file, bytes] : back)
            if (model_.at(file) != bytes) {
                point.before[file] = model_.at(file);
                point.after[file] = bytes;
                model_[file] = bytes;
            }
        if (point.before.empty())
            point.id = 0;
        if (result.point != point.id)
            return "the restore's point is " + std::to_string(result.point);
        if (point.id != 0)
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
        std::vector<RestorePoint> points; // oldest first, as the model's
        for (const char* slot : kSlots) {
            const auto listed = restore::listPoints(world.folder(), slot);
            points.insert(points.end(), listed.rbegin(), listed.rend());
        }
        std::ranges::sort(points, {}, &RestorePoint::order);
        if (points.size() != points_.size())
            return std::to_string(points.size()) + " restore points, the model " +
                   std::to_string(points_.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            const RestorePoint& p = points[i];
            const ModelPoint& m = points_[i];
            if (p.slot != m.slot || p.id != m.id || p.files.size() != m.before.size())
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
    Sequence steps(rng() % 20 + 2);
    for (Step& s : steps) {
        const auto roll = rng() % 10;
        s.kind = roll < 3    ? "restore"
                 : roll == 3 ? "outside"
                             : kOperations[rng() % std::size(kOperations)].first;
        s.seed = rng() % 1000;
        s.slot = static_cast<int>(rng() % 2) + 1;
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
    std::size_t findings = 0;
    for (std::uint64_t n = 0; n < count && findings < 3; ++n) {
        const Sequence sequence = generate(rng);
        if (runner.run(sequence).empty())
            continue;
        ++findings;
        const Sequence small = shrink(runner, sequence);
        std::ostringstream row;
        for (const Step& s : small)
            row << "{\"" << s.kind << "\", " << s.seed << ", " << s.slot << "}, ";
        ADD_FAILURE() << "sequence " << n << " of seed " << seed << ": " << runner.run(small)
                      << "\nshrunk: {" << row.str() << "}";
    }
}

} // namespace
} // namespace hv::test
