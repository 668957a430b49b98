#pragma once

// The one catalogue of the program's write operations, shared by the failure sweep, the restore
// model, the hostile sweep and the kill test, and the small world they run on.

#include "testsupport/hostile_world.h"
#include "testsupport/test_support.h"

#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace hv::test {

// Slots 1 and 2 run the WWF (WCW is their rival big federation), each with Ace, Bo and Cy on the
// roster and two wrestlers in each rival file; options.dat holds report settings too.
struct OpWorld : GameWorld {
    OpWorld();
    std::string folder() const { return game.string(); }
};

// What a drawn run takes its arguments from: random numbers and the names the files held.
struct Draw {
    std::mt19937_64 rng;
    std::string slot;
    std::map<std::string, std::vector<std::string>> names; // "own", "rival", ..., "managers"
    std::filesystem::path work;
    std::size_t n(std::size_t below) { return rng() % below; }
    // A name the file holds, or now and then one it does not.
    std::string name(const std::string& of) {
        const auto& from = names[of];
        const std::size_t i = n(from.size() + 1);
        return i < from.size() ? from[i] : "Nobody";
    }
};

// The parts of a slot (and the working folder) a write may change.
enum class Part { Roster, Save, SlotNames, Rival, Ecw, Indy, Managers, Work };

struct Operation {
    std::string name;
    std::set<Part> parts;                    // what it may change
    std::function<void(const OpWorld&)> run; // one fixed change in slot 1
    // A run with drawn arguments on a folder, for the rows that stand for their family
    // (`family` is then the name random sequences give it).
    std::string family = {};
    void (*draw)(Draw&, const std::string& folder) = nullptr;
    bool repeats = true; // run again, it makes the same change (not another wrestler added)
    std::function<void(const OpWorld&)> setUp = [](const OpWorld&) {};
};

const std::vector<Operation>& operations();

// The first file (relative to an OpWorld's root) that `op` changed, added or removed outside its
// parts; empty when there is none.
std::string changedOutside(const Operation& op, const Files& before, const Files& after);
const Operation& operation(std::string_view name);

} // namespace hv::test
