#include "tools/world.h"

#include "gamefiles/managers.h"
#include "gamefiles/records.h"
#include "gamefiles/save_game.h"
#include "gamefiles/slot_names.h"
#include "gamefiles/text.h"

#include <array>
#include <fstream>
#include <stdexcept>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace fs = std::filesystem;

namespace hv::world {
namespace {

// A tiny generator of our own: the standard distributions differ between libraries, and the
// output must be the same everywhere. Every draw is its own statement, because the order in
// which operands of one expression are evaluated is unspecified.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        state_ += 0x9e3779b97f4a7c15ULL;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    // Inclusive range.
    long long range(long long lo, long long hi) {
        const auto span = static_cast<std::uint64_t>(hi - lo + 1);
        return lo + static_cast<long long>(next() % span);
    }
    bool chance(int percent) { return range(1, 100) <= percent; }
    template <class T, std::size_t N> const T& pick(const std::array<T, N>& items) {
        return items[static_cast<std::size_t>(range(0, static_cast<long long>(N) - 1))];
    }
    template <class T> const T& pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(range(0, static_cast<long long>(items.size()) - 1))];
    }

private:
    std::uint64_t state_;
};

using Words = std::array<std::string_view, 24>;

constexpr Words kOnsets = {"Kor",  "Val", "Dre", "Mab", "Thu", "Zen", "Ork", "Bal",
                           "Fen",  "Gri", "Hol", "Jas", "Lum", "Nax", "Pel", "Quor",
                           "Rask", "Sil", "Tov", "Ulm", "Vex", "Wro", "Yar", "Zul"};
constexpr std::array<std::string_view, 12> kCodas = {"ar", "en", "ix", "o", "us",  "an",
                                                     "el", "or", "ik", "a", "ett", "um"};
constexpr std::array<std::string_view, 10> kEpithets = {
    "Big", "Iron", "Mad", "Silent", "Lord", "Doctor", "Rapid", "Grim", "Lucky", "Wild"};
constexpr std::array<std::string_view, 12> kTeamWords = {"Rust",   "Night", "Thunder", "Gravel",
                                                         "Copper", "Ember", "Frost",   "Harbor",
                                                         "Cinder", "Storm", "Hollow",  "Iron"};
constexpr std::array<std::string_view, 10> kTeamNouns = {
    "Wolves",    "Riders", "Hammers", "Brothers",   "Express",
    "Syndicate", "Kings",  "Ravens",  "Connection", "Machine"};
constexpr std::array<std::string_view, 8> kStableNouns = {"Order",   "Circle", "Legion", "Pack",
                                                          "Council", "Union",  "Clan",   "Regime"};
constexpr std::array<std::string_view, 12> kTowns = {
    "Korvale",  "Pelmouth", "Dravenford", "Ulmstead", "Quorby",     "Saltvar",
    "Tovhaven", "Brakmoor", "Vexley",     "Hollin",   "Yarrowgate", "Zulcombe"};
constexpr std::array<std::string_view, 10> kKinds = {
    "brawler", "high flyer",       "mat technician",    "powerhouse",     "showman",
    "veteran", "hardcore fighter", "submission artist", "former bouncer", "ex-amateur champion"};
constexpr std::array<std::string_view, 10> kTraits = {
    "Hard-hitting", "Cocky",    "Patient", "Reckless", "Loud",
    "Cold",         "Tireless", "Crafty",  "Flashy",   "Grumpy"};
constexpr std::array<std::string_view, 12> kMoveHeads = {
    "Thunder", "Korvale",  "Iron",    "Grave", "Sky",     "Crimson",
    "Black",   "Northern", "Twisted", "Final", "Rolling", "Hammer"};
constexpr std::array<std::string_view, 12> kMoveTails = {"Driver", "Lock",    "Bomb",    "Clutch",
                                                         "Splash", "Crusher", "Stretch", "Drop",
                                                         "Slam",   "Cutter",  "Bridge",  "Crab"};
constexpr std::array<std::string_view, 10> kWeapons = {
    "Steel Chair", "Kendo Stick", "Trash Can", "Ladder", "Table",
    "Cowbell",     "Crowbar",     "Ring Bell", "Guitar", "Fire Extinguisher"};
constexpr std::array<std::string_view, 9> kStyles = {
    "Big Man",         "Powerful",          "Basic Wrestler",     "Hardcore",     "High Flyer",
    "Old Heavyweight", "Super Heavyweight", "Technical Wrestler", "Cruiserweight"};
constexpr std::array<std::string_view, 12> kMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 8> kShows = {
    "Monday Mayhem", "Saturday Scramble", "Riverside Rumble", "Cinder Cup",
    "Harbor Brawl",  "Frostbite Fury",    "Iron Gauntlet",    "Homecoming"};

// Descriptions with bytes above 0x7F, to exercise 8-bit text (Latin-1, not UTF-8).
constexpr std::array<std::string_view, 2> kEightBitDescriptions = {
    "Ran a little caf\xe9 in Pelmouth before his debut", "Trained in Br\xfcnvald and never smiles"};

constexpr std::array<std::string_view, 4> kSlotNames = {
    "Rustbelt Uprising", "Season of Iron", std::string_view(kNoSavedGame), "Harbor Lights Tour"};
// Slot 1 runs WWF and slot 2 WCW; the others alternate.
constexpr std::array<std::string_view, 4> kFederations = {"WWF", "WCW", "WCW", "WWF"};

std::string capitalised(std::string_view a, std::string_view b) {
    std::string s(a);
    for (char c : b)
        s += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

// Hands out invented person names, none twice within one game world slot.
class NameForge {
public:
    explicit NameForge(Rng& rng) : rng_(rng) {}

    std::string word() {
        const auto onset = rng_.pick(kOnsets);
        const auto coda = rng_.pick(kCodas);
        return capitalised(onset, coda);
    }
    std::string longWord() {
        const auto first = rng_.pick(kOnsets);
        const auto second = rng_.pick(kOnsets);
        const auto coda = rng_.pick(kCodas);
        return capitalised(first, second) + std::string(coda);
    }

    std::string person() {
        for (int attempt = 0; attempt < 20; ++attempt) {
            std::string name;
            if (rng_.chance(25)) {
                name = std::string(rng_.pick(kEpithets)) + " ";
                name += longWord();
            } else {
                name = word() + " ";
                name += longWord();
            }
            if (used_.insert(name).second)
                return name;
        }
        // Crowded name space (huge rosters): a running number keeps the name unique.
        std::string name = word() + " " + longWord() + " " + std::to_string(++overflow_);
        used_.insert(name);
        return name;
    }

    std::string team() {
        // The handful of set phrases first; big rosters run out of them and take invented
        // words, then a running number.
        for (int attempt = 0; attempt < 8; ++attempt) {
            std::string name = "The ";
            if (attempt < 4) {
                name += rng_.pick(kTeamWords);
            } else {
                name += word();
            }
            name += " ";
            name += rng_.pick(kTeamNouns);
            if (used_.insert(name).second)
                return name;
        }
        std::string name = "The " + word() + " Express " + std::to_string(++overflow_);
        used_.insert(name);
        return name;
    }

    std::string stable() {
        for (int attempt = 0; attempt < 8; ++attempt) {
            std::string name = "The " + word() + " ";
            name += rng_.pick(kStableNouns);
            if (used_.insert(name).second)
                return name;
        }
        std::string name = "The " + word() + " Order " + std::to_string(++overflow_);
        used_.insert(name);
        return name;
    }

private:
    Rng& rng_;
    std::unordered_set<std::string> used_;
    int overflow_ = 0;
};

// What the records of one federation share: its manager names and its calendar year.
struct Context {
    std::vector<std::string> managers;
    int year = 2000;
};

std::string description(Rng& rng) {
    std::string text(rng.pick(kTraits));
    text += " ";
    text += rng.pick(kKinds);
    text += " from ";
    text += rng.pick(kTowns);
    return text;
}

std::string finisher(Rng& rng) {
    std::string name(rng.pick(kMoveHeads));
    name += " ";
    name += rng.pick(kMoveTails);
    return name;
}

// Carder code and other computed numbers: the game writes some as number lines, and files
// edited by hand hold plain digits, so both forms appear.
std::string numberOrDigits(Rng& rng, long long value) {
    if (rng.chance(40))
        return numberLine(value);
    return std::to_string(value);
}

std::string carder(Rng& rng) {
    const long long code = rng.range(1, 3);
    return numberOrDigits(rng, code);
}

WrestlerRecord wrestler(Rng& rng, NameForge& names, const Context& context) {
    WrestlerRecord r;
    auto& l = r.lines;
    l[WrestlerRecord::Name] = names.person();
    l[WrestlerRecord::Draw] = std::to_string(rng.range(5, 100));
    l[WrestlerRecord::Entertainment] = std::to_string(rng.range(5, 100));
    l[WrestlerRecord::Wages] = std::to_string(rng.range(10, 400) * 250);
    l[WrestlerRecord::Value] = std::to_string(rng.range(1, 95));
    l[WrestlerRecord::Description] = description(rng);
    l[WrestlerRecord::Carder] = carder(rng);
    l[WrestlerRecord::Alignment] = rng.chance(50) ? "Face" : "Heel";
    if (rng.chance(60)) {
        l[WrestlerRecord::Contract] = std::to_string(rng.range(1, 5));
    } else {
        std::string contract(rng.pick(kMonths));
        contract += " " + std::to_string(context.year + rng.range(0, 4));
        l[WrestlerRecord::Contract] = contract;
    }
    l[WrestlerRecord::Finisher] = finisher(rng);
    l[WrestlerRecord::TagTeam] = "no";
    if (rng.chance(20)) {
        l[WrestlerRecord::Injury] = std::to_string(rng.range(1, 12));
    } else {
        l[WrestlerRecord::Injury] = rng.chance(50) ? numberLine(0) : "0";
    }
    l[WrestlerRecord::Morale] = std::to_string(rng.range(20, 100));
    l[WrestlerRecord::Stable] = "no";
    if (!context.managers.empty() && rng.chance(25)) {
        l[WrestlerRecord::Manager] = rng.pick(context.managers);
    } else {
        l[WrestlerRecord::Manager] = "no";
    }
    l[WrestlerRecord::Weapon] = rng.pick(kWeapons);
    l[WrestlerRecord::FinisherType] = rng.chance(55) ? "p" : "s";
    l[WrestlerRecord::Style] = rng.pick(kStyles);
    l[WrestlerRecord::Retirement] = std::to_string(rng.range(1, 20));
    return r;
}

OtherFedRecord rival(Rng& rng, NameForge& names) {
    OtherFedRecord r;
    auto& l = r.lines;
    l[OtherFedRecord::Name] = names.person();
    l[OtherFedRecord::Draw] = std::to_string(rng.range(5, 100));
    l[OtherFedRecord::Entertainment] = std::to_string(rng.range(5, 100));
    l[OtherFedRecord::Wages] = std::to_string(rng.range(10, 400) * 250);
    l[OtherFedRecord::Value] = std::to_string(rng.range(1, 95));
    l[OtherFedRecord::Description] = description(rng);
    l[OtherFedRecord::Carder] = carder(rng);
    const long long potential = rng.range(1, 20);
    l[OtherFedRecord::Potential] = numberOrDigits(rng, potential);
    l[OtherFedRecord::AlterEgo] = rng.chance(35) ? names.person() : "no";
    l[OtherFedRecord::Alignment] = rng.chance(50) ? "Face" : "Heel";
    l[OtherFedRecord::Finisher] = finisher(rng);
    l[OtherFedRecord::TagTeam] = "no";
    l[OtherFedRecord::Weapon] = rng.pick(kWeapons);
    l[OtherFedRecord::FinisherType] = rng.chance(55) ? "p" : "s";
    l[OtherFedRecord::Style] = rng.pick(kStyles);
    l[OtherFedRecord::Retirement] = std::to_string(rng.range(1, 20));
    return r;
}

template <class Record> Record placeholder() {
    Record r;
    r.lines[0] = std::string(kPlaceholderName);
    return r;
}

// Pairs neighbours into tag teams; returns the first team (name and both members), if any.
template <class Record>
std::array<std::string, 3> formTagTeams(Rng& rng, NameForge& names, std::vector<Record>& recs,
                                        std::size_t tagLine) {
    std::array<std::string, 3> first;
    for (std::size_t i = 0; i + 1 < recs.size(); ++i) {
        if (recs[i].isPlaceholder() || recs[i + 1].isPlaceholder() || !rng.chance(25))
            continue;
        const std::string team = names.team();
        recs[i].lines[tagLine] = team;
        recs[i + 1].lines[tagLine] = team;
        if (first[0].empty())
            first = {team, recs[i].name(), recs[i + 1].name()};
        ++i;
    }
    return first;
}

struct Roster {
    std::vector<WrestlerRecord> records;
    std::array<std::string, 3> champions; // tag team name, first member, second member
};

Roster roster(Rng& rng, NameForge& names, const Context& context, std::size_t count,
              bool eightBit) {
    Roster out;
    out.records.reserve(count + 1);
    out.records.push_back(placeholder<WrestlerRecord>());
    for (std::size_t i = 0; i < count; ++i)
        out.records.push_back(wrestler(rng, names, context));
    if (eightBit && count > 3)
        out.records[3].lines[WrestlerRecord::Description] = kEightBitDescriptions[0];
    out.champions = formTagTeams(rng, names, out.records, WrestlerRecord::TagTeam);
    if (out.champions[0].empty() && count >= 2) {
        const std::string team = names.team();
        out.records[1].lines[WrestlerRecord::TagTeam] = team;
        out.records[2].lines[WrestlerRecord::TagTeam] = team;
        out.champions = {team, out.records[1].name(), out.records[2].name()};
    }
    // A few stables of three neighbours.
    const std::size_t stables = count < 12 ? count / 6 : 2 + count / 40;
    for (std::size_t s = 0; s < stables; ++s) {
        const std::string stable = names.stable();
        const auto start = static_cast<std::size_t>(rng.range(1, static_cast<long long>(count)));
        for (std::size_t i = start; i < start + 3 && i < out.records.size(); ++i)
            out.records[i].lines[WrestlerRecord::Stable] = stable;
    }
    return out;
}

// `placeholderAt`: position of a placeholder record, or a negative number for none.
std::vector<OtherFedRecord> rivalRoster(Rng& rng, NameForge& names, int placeholderAt,
                                        bool eightBit, std::size_t wanted) {
    std::vector<OtherFedRecord> records;
    const auto count = wanted ? static_cast<long long>(wanted) : rng.range(8, 15);
    for (long long i = 0; i < count; ++i) {
        if (i == placeholderAt)
            records.push_back(placeholder<OtherFedRecord>());
        records.push_back(rival(rng, names));
    }
    if (eightBit)
        records.back().lines[OtherFedRecord::Description] = kEightBitDescriptions[1];
    formTagTeams(rng, names, records, OtherFedRecord::TagTeam);
    return records;
}

std::vector<ManagerRecord> managers(Rng& rng, NameForge& names) {
    std::vector<ManagerRecord> out;
    const auto count = rng.range(3, 6);
    for (long long i = 0; i < count; ++i) {
        ManagerRecord m;
        m.lines[ManagerRecord::Name] = names.person();
        m.lines[ManagerRecord::Sex] = rng.chance(30) ? "f" : "m";
        out.push_back(std::move(m));
    }
    return out;
}

std::vector<std::string> wrestlerNames(const std::vector<WrestlerRecord>& records) {
    std::vector<std::string> out;
    for (const auto& r : records)
        if (!r.isPlaceholder())
            out.push_back(r.name());
    return out;
}

std::vector<std::string> namesOf(const std::vector<ManagerRecord>& list) {
    std::vector<std::string> out;
    for (const auto& m : list)
        out.push_back(m.lines[ManagerRecord::Name]);
    return out;
}

std::string saveGame(Rng& rng, NameForge& names, std::string_view federation, int year,
                     const Roster& roster) {
    SaveHeader h;
    h.line(SaveHeader::Commissioner) = names.person();
    h.line(SaveHeader::Federation) = std::string(federation);
    h.line(SaveHeader::Weekday) = rng.pick(kWeekdays);
    h.line(SaveHeader::Day) = std::to_string(rng.range(1, 28));
    h.line(SaveHeader::Month) = rng.pick(kMonths);
    h.line(SaveHeader::Year) = std::to_string(year);
    h.line(SaveHeader::Bank) = std::to_string(rng.range(40, 4000) * 1000);

    const std::vector<std::string> wrestlers = wrestlerNames(roster.records);
    // Nobody holds two titles.
    std::vector<std::string> contenders = wrestlers;
    for (std::size_t t = 0; t < 5; ++t) {
        std::string& holder = h.line(SaveHeader::Title1 + t);
        if (contenders.empty() || rng.chance(20)) {
            holder = "Vacant";
            continue;
        }
        const auto at = rng.range(0, static_cast<long long>(contenders.size()) - 1);
        holder = contenders[static_cast<std::size_t>(at)];
        contenders.erase(contenders.begin() + at);
    }
    const bool haveTeam = !roster.champions[0].empty();
    h.line(SaveHeader::TagTeamName) = haveTeam ? roster.champions[0] : "Vacant";
    h.line(SaveHeader::TagTeamFirst) = haveTeam ? roster.champions[1] : "Vacant";
    h.line(SaveHeader::TagTeamSecond) = haveTeam ? roster.champions[2] : "Vacant";

    const auto feuds = wrestlers.size() >= 2 ? rng.range(2, 3) : 0;
    for (long long f = 0; f < 5; ++f) {
        const auto n = static_cast<std::size_t>(f);
        long long level = 15;
        std::string text;
        if (f < feuds) {
            const std::string a = rng.pick(wrestlers);
            std::string b = rng.pick(wrestlers);
            while (b == a)
                b = rng.pick(wrestlers);
            text = a + " vs " + b;
            level = rng.range(15, 10600);
        }
        h.line(SaveHeader::Feud1Text + n) = text;
        h.line(SaveHeader::Feud1Marker + 2 * n) = numberLine(33023);
        h.line(SaveHeader::Feud1Level + 2 * n) = numberLine(level);
    }

    // The game's own data after the header: shows, attendance and counters the editor keeps
    // as they are. One line holds a comma, to prove that it survives a rewrite.
    std::string& rest = h.rest;
    const auto shows = rng.range(6, 9);
    for (long long s = 0; s < shows; ++s) {
        appendTextLine(rest, rng.pick(kShows));
        appendTextLine(rest, rng.pick(kWeekdays));
        appendTextLine(rest, numberLine(rng.range(800, 45000)));
    }
    appendTextLine(rest, "Weekly, televised");
    appendTextLine(rest, "");
    for (int i = 0; i < 6; ++i)
        appendTextLine(rest, numberLine(rng.range(0, 999)));
    return serializeSaveGame(h);
}

} // namespace

void makeWorld(const WorldOptions& options, const FileSink& sink) {
    Rng rng(options.seed);

    std::string slots;
    for (auto name : kSlotNames)
        appendTextLine(slots, name);
    sink("saveslots.hv1", slots);

    for (std::size_t s = 0; s < 4; ++s) {
        const std::string slot = "save" + std::to_string(s + 1);
        const std::string_view federation = kFederations[s];
        NameForge names(rng);

        const auto wwfManagers = managers(rng, names);
        const auto wcwManagers = managers(rng, names);
        Context context;
        context.year = static_cast<int>(rng.range(1998, 2002));
        context.managers = namesOf(federation == "WWF" ? wwfManagers : wcwManagers);

        const std::size_t count =
            options.wrestlers ? options.wrestlers : static_cast<std::size_t>(rng.range(12, 20));
        const Roster own = roster(rng, names, context, count, s == 0);

        sink(slot + "/Controlled/yourfed.hv1", serializeRecords(own.records));
        sink(slot + "/Saved Game/save1.hv1", saveGame(rng, names, federation, context.year, own));
        // Placeholders in some rival files only, at the front or in the middle.
        auto rivals = [&](int placeholderAt, bool eightBit) {
            return serializeRecords(
                rivalRoster(rng, names, placeholderAt, eightBit, options.rivalWrestlers));
        };
        sink(slot + "/Background/wwf.hv1", rivals(0, false));
        sink(slot + "/Background/wcw.hv1", rivals(-1, false));
        sink(slot + "/Background/ecw.hv1", rivals(4, s == 1));
        sink(slot + "/Background/otherbig.hv1", rivals(s % 2 ? -1 : 0, false));
        sink(slot + "/Background/wwfmanagers.hv1", serializeRecords(wwfManagers));
        sink(slot + "/Background/wcwmanagers.hv1", serializeRecords(wcwManagers));
    }
}

void writeWorld(const fs::path& outDir, const WorldOptions& options) {
    makeWorld(options, [&](const std::string& relative, const std::string& bytes) {
        const fs::path file = outDir / fs::path(relative);
        fs::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out)
            throw std::runtime_error("cannot write " + file.string());
    });
}

std::string makeRosterBytes(std::size_t wrestlers, std::uint64_t seed) {
    Rng rng(seed);
    NameForge names(rng);
    Context context;
    context.managers = {names.person(), names.person(), names.person()};
    return serializeRecords(roster(rng, names, context, wrestlers, false).records);
}

} // namespace hv::world
