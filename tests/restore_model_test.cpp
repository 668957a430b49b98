// Random sequences of every write operation, interleaved with the game writing files behind the
// editor's back and with restores of random points, each step checked against a model: the
// bytes every game file must hold and the restore points (what each kept and left). An
// operation's own result comes from running it on a second folder that holds exactly what
// the model holds, so a step differs only by what history (restore points, earlier restores)
// could have done to it. HV_MODEL_SEQUENCES and HV_MODEL_SEED choose the run; a failing
// sequence is shrunk and printed as a row for kRegressions.

#include "exchange/exchange_ops.h"
#include "gamefiles/csv.h"
#include "gamefiles/error.h"
#include "gamefiles/merge.h"
#include "gamefiles/record_file.h"
#include "gamefiles/records.h"
#include "gamefiles/text.h"
#include "gamefiles/unicode.h"
#include "managers/managers_ops.h"
#include "otherfeds/otherfeds_ops.h"
#include "restore/restore_ops.h"
#include "roster/roster_ops.h"
#include "savegame/savegame_ops.h"
#include "testsupport/operations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <list>
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

// The catalogue's world; files are the game folder's, without the restore points.
Files filesOf(const OpWorld& w) {
    Files all;
    for (auto& [file, bytes] : snapshot(w.game))
        if (!file.starts_with(".hv-restore"))
            all[file] = bytes;
    return all;
}

template <class T> std::vector<std::string> orNone(T read) {
    try {
        return read();
    } catch (const GameFileError&) {
        return {};
    }
}

Draw drawFrom(const OpWorld& w, std::uint64_t seed, const std::string& slot) {
    Draw d{Rng(seed), slot, {}, w.work};
    d.names["own"] = orNone([&] { return roster::rosterNames({w.folder(), slot}); });
    d.names["managers"] = orNone([&] { return managers::listManagers({w.folder(), slot}); });
    for (Party p : {Party::Rival, Party::Ecw, Party::Indy})
        d.names[std::string(otherfeds::partyWord(p))] = orNone([&] {
            return otherfeds::rivalNames(otherfeds::partyFile(w.folder(), slot, p, "WCW").file);
        });
    return d;
}

// Every write operation of a slot, as its family in the catalogue draws it.
const std::vector<const Operation*> kOperations = [] {
    std::vector<const Operation*> out;
    for (const Operation& op : operations())
        if (op.draw != nullptr)
            out.push_back(&op);
    return out;
}();

// The model's own three-way rule, kept apart from the program's: the user's value goes in
// where the file still holds what he read, and a value both changed differently is a conflict.
bool modelSame(std::string_view a, std::string_view b, bool number) {
    return a == b || (number && parseNumber(a) && parseNumber(a) == parseNumber(b));
}
Merge modelMerge(std::string_view base, std::string_view mine, std::string_view now, bool number) {
    if (now == mine)
        return Merge::Already;
    if (modelSame(now, base, number))
        return Merge::Write;
    return modelSame(now, mine, number) ? Merge::Already : Merge::Conflict;
}

// Changes prepared from a read and written by a later step, whatever happened between.
constexpr std::string_view kPreparedKinds[] = {"roster window",   "sheet",        "settings window",
                                               "titles window",   "feuds window", "managers window",
                                               "restore question"};

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
        OpWorld world;
        ref_ = std::make_unique<OpWorld>();
        model_ = filesOf(world);
        points_.clear();
        pending_.clear();
        sheetBases_.clear();
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
    // A window's boxes (or a sheet's cell, or a restore plan shown in a question): what the
    // user saw and what he made of it.
    struct Prepared {
        std::string kind, slot, key; // key: the record's name, where the change names one
        FieldEdit edit;
        std::string plan; // a restore: the plan's id and the point
        unsigned long long point = 0;
        std::string modelPlan; // and the model's own account of that plan
        fs::path sheet;
        std::string sheetBase; // the roster the sheet was exported from
    };

    // What the model says a restore of points_[first] (of its slot) does: the points it undoes
    // and the bytes it puts back, with what those files hold now.
    struct ModelPlan {
        std::vector<std::pair<std::string, unsigned long long>> later;
        Files back, left, now;
        std::string key() const {
            std::string out;
            for (const auto& [slot, id] : later)
                out += slot + std::to_string(id) + ";";
            for (const auto& [file, bytes] : back)
                out += file + "=" + bytes + "|" + now.at(file) + ";";
            return out;
        }
    };

    std::string step(OpWorld& world, const Step& s) {
        Rng rng(s.seed);
        const std::string slot = kSlots[s.slot - 1];
        if (s.kind == "restore")
            return restore(world, rng, slot);
        if (s.kind == "game")
            return gameSaves(world, rng);
        if (s.kind == "read")
            return read(world, s);
        if (s.kind == "write")
            return write(world, s);
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
        const auto op = std::ranges::find(kOperations, s.kind, &Operation::family);
        const Draw draw = drawFrom(world, s.seed, slot);

        // The reference: a folder holding the model's bytes and no history.
        OpWorld& ref = *ref_;
        fs::remove_all(ref.game / ".hv-restore");
        const Files held = filesOf(ref);
        for (const auto& [file, bytes] : model_)
            if (!held.contains(file) || held.at(file) != bytes)
                writeFile(ref.game / file, bytes);
        // How it ended, the message told apart from the folder it names.
        const auto outcome = [&](const OpWorld& w) -> std::string {
            try {
                Draw d = draw;
                (*op)->draw(d, w.folder());
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
        const Files after = filesOf(ref);
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
    std::string restore(OpWorld& world, Rng& rng, const std::string& slot) {
        std::vector<std::size_t> own;
        for (std::size_t i = 0; i < points_.size(); ++i)
            if (points_[i].slot == slot)
                own.push_back(i);
        if (own.empty())
            return {};
        const std::size_t first = own[rng() % own.size()];
        const ModelPlan plan = planOf(first);
        const bool changed =
            std::ranges::any_of(plan.left, [&](auto& f) { return model_.at(f.first) != f.second; });
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
        return carryOut(plan, slot, result);
    }

    // The model takes the restore the program made: the later points it undid must be the
    // model's, and its point what the model's plan puts back.
    std::string carryOut(const ModelPlan& plan, const std::string& slot,
                         const restore::RestoreResult& result) {
        std::vector<std::pair<std::string, unsigned long long>> undone;
        for (const auto& p : result.later)
            undone.emplace_back(p.slot, p.id);
        if (undone != plan.later)
            return "undid other later changes than the model";
        // A file that holds its version already is not written, nor kept; with none to write
        // there is no point.
        ModelPoint point{slot, nextId(slot), {}, {}};
        for (const auto& [file, bytes] : plan.back)
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

    // --- Changes prepared from a read and written later, the game saving in between ---

    std::string fileKey(const std::string& slot, std::string_view suffix) const {
        const std::string file = slot + "/" + std::string(suffix);
        return model_.contains(file) ? file : std::string();
    }

    // The game saves between any two steps: one value of one record changes in place, a number
    // to another number (100 to 199), a text to the game's own. The user types 200 to 299, so
    // that no value of the game's is the same number as one of the user's written otherwise.
    std::string gameSaves(OpWorld& world, Rng& rng) {
        struct Kind {
            std::string_view suffix;
            std::size_t recordLines;                         // 0: the lines of the file itself
            std::vector<std::pair<std::size_t, bool>> lines; // which, and whether a number
        };
        static const Kind kinds[] = {
            {"Controlled/yourfed.hv1",
             19,
             {{0, false}, {1, true}, {5, false}, {9, false}, {12, true}}},
            {"Background/wcw.hv1", 16, {{1, true}, {5, false}}},
            {"Background/wwfmanagers.hv1", 2, {{1, false}}},
            {"Saved Game/save1.hv1",
             0,
             {{0, false}, {6, true}, {7, false}, {9, false}, {15, false}, {21, true}, {25, true}}},
        };
        const std::string slot = kSlots[rng() % 2];
        const Kind* kind = &kinds[rng() % std::size(kinds)];
        std::string file = fileKey(slot, kind->suffix);
        if (rng() % 8 == 0)
            file = "saveslots.hv1";
        std::optional<std::size_t> target; // a line a change prepared earlier is about
        if (!pending_.empty() && rng() % 2 == 0) {
            const Prepared& p = pending_[rng() % pending_.size()];
            const bool roster = p.kind == "roster window" || p.kind == "sheet";
            kind = &kinds[roster ? 0 : 3];
            file = fileKey(p.slot, kind->suffix);
            if (roster && !file.empty()) {
                const RecordFile<WrestlerRecord> now(model_.at(file), file);
                if (const auto i = now.findFirst(p.key))
                    target = *i * 19 + p.edit.line;
            } else if (p.kind == "settings window") {
                target = p.edit.line == static_cast<std::size_t>(savegame::Setting::Bank) ? 6 : 0;
            } else if (p.kind == "titles window") {
                target = 7 + p.edit.line;
            } else if (p.kind == "feuds window") {
                target = p.edit.line;
            }
            if (!target)
                return {};
        }
        if (file.empty())
            return {};
        std::vector<std::string> lines = crlfLines(model_.at(file));
        const std::size_t per = file == "saveslots.hv1" ? 0 : kind->recordLines;
        auto [offset, number] = file == "saveslots.hv1" ? std::pair{rng() % 2, false}
                                                        : kind->lines[rng() % kind->lines.size()];
        const std::size_t records = per == 0 ? 1 : lines.size() / per;
        if (records == 0)
            return {};
        std::size_t at = (per == 0 ? 0 : (rng() % records) * per) + offset;
        if (target) {
            at = *target;
            offset = per == 0 ? at : at % per;
            number = per == 0 ? (at == 6 || at >= 21)
                              : kWrestlerFields[offset].kind == FieldKind::Number;
        }
        if (at >= lines.size() || (per > 0 && lines[at - offset] == kPlaceholderName))
            return {};
        std::string& line = lines[at];
        if (kind->suffix.ends_with("managers.hv1") && per != 0)
            line = fieldReadFirst(line) == "m" ? "f" : "m";
        else if (number) {
            long long value = 100 + static_cast<long long>(rng() % 100);
            if (parseNumber(line) == value)
                value = value == 199 ? 100 : value + 1;
            line = numberLine(value);
        } else {
            line = (offset == 0 && per == 19 ? "Game Name " : "Game ") + std::to_string(rng() % 7);
        }
        model_[file] = withLines(model_.at(file), {{at, line}});
        writeFile(world.game / file, model_[file]);
        return {};
    }

    ModelPlan planOf(std::size_t first) const {
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
        ModelPlan plan;
        for (std::size_t i = points_.size(); i-- > first;)
            if (in[i]) {
                if (i != first)
                    plan.later.emplace_back(points_[i].slot, points_[i].id);
                for (const auto& [file, bytes] : points_[i].before) {
                    plan.back[file] = bytes;
                    plan.left.try_emplace(file, points_[i].after.at(file));
                }
            }
        for (const auto& [file, bytes] : plan.back)
            plan.now[file] = model_.at(file);
        return plan;
    }

    // The user reads: a window opens, a sheet is exported, a restore asks its question.
    std::string read(OpWorld& world, const Step& s) {
        const std::string slot = kSlots[s.slot - 1];
        Draw d = drawFrom(world, s.seed, slot);
        const std::string typed = std::to_string(200 + d.n(100));
        Prepared p;
        p.kind = kPreparedKinds[d.n(std::size(kPreparedKinds))];
        p.slot = slot;
        const savegame::SaveGameFile save(world.folder(), slot);
        try {
            if (p.kind == "roster window" || p.kind == "sheet") {
                const WrestlerRecord::Line lines[] = {WrestlerRecord::Draw, WrestlerRecord::Morale,
                                                      WrestlerRecord::Description,
                                                      WrestlerRecord::Finisher};
                const auto line = lines[d.n(4)];
                p.key = d.name("own");
                const auto shown = roster::findWrestler({world.folder(), slot}, p.key);
                const bool number = kWrestlerFields[line].kind == FieldKind::Number;
                p.edit = {line, shown ? shown->lines[line] : "", number ? typed : "Typed " + typed};
                if (p.kind == "sheet") {
                    p.sheet = world.work / ("sheet" + std::to_string(s.seed) + ".csv");
                    p.sheetBase = model_.at(fileKey(slot, "Controlled/yourfed.hv1"));
                    roster::exportRosterCsv({world.folder(), slot}, p.sheet, world.work);
                    sheetBases_[slot].remove(p.sheetBase);
                    sheetBases_[slot].push_front(p.sheetBase);
                    if (sheetBases_[slot].size() > 10)
                        sheetBases_[slot].pop_back();
                }
            } else if (p.kind == "settings window") {
                const auto setting =
                    d.n(2) ? savegame::Setting::Bank : savegame::Setting::Commissioner;
                p.edit = {static_cast<std::size_t>(setting),
                          savegame::readSettings(save)[static_cast<std::size_t>(setting)],
                          setting == savegame::Setting::Bank ? typed : "Typed " + typed};
            } else if (p.kind == "titles window") {
                const std::size_t t = d.n(savegame::kTitles);
                p.edit = {t, savegame::readTitles(save).holders[t], "Typed " + typed};
            } else if (p.kind == "feuds window") {
                const std::size_t f = d.n(savegame::kFeuds);
                p.edit = {savegame::feudLevelLine(f), savegame::readFeuds(save)[f].storedLevel,
                          numberLine(200 + static_cast<long long>(d.n(100)))};
            } else if (p.kind == "managers window") {
                p.key = d.name("managers");
                const auto shown = managers::findManager({world.folder(), slot}, p.key);
                const std::string sex = shown ? shown->code : "m";
                p.edit = {managers::kSexField, sex, sex == "m" ? "f" : "m"};
            } else { // a restore's question
                std::vector<std::size_t> own;
                for (std::size_t i = 0; i < points_.size(); ++i)
                    if (points_[i].slot == slot)
                        own.push_back(i);
                if (own.empty())
                    return {};
                const std::size_t first = own[d.n(own.size())];
                p.point = points_[first].id;
                p.plan = restore::planRestore(world.folder(), slot, p.point).id;
                p.modelPlan = planOf(first).key();
            }
        } catch (const GameFileError&) {
            return {}; // a window that could not read its file shows nothing to change
        }
        pending_.push_back(std::move(p));
        return {};
    }

    // `bytes` with some of its lines replaced.
    static std::string withLines(const std::string& bytes,
                                 const std::map<std::size_t, std::string>& replaced) {
        std::vector<std::string> lines = crlfLines(bytes);
        for (const auto& [at, text] : replaced)
            lines.at(at) = text;
        return crlf(lines);
    }

    // A sheet as a spreadsheet saves it: every cell quoted, one cell typed over.
    static void typeIntoSheet(const fs::path& sheet, std::string_view record,
                              std::string_view field, const std::string& value) {
        auto rows = parseCsv(readFile(sheet), sheet);
        const auto column = std::ranges::find(rows.at(0), field) - rows[0].begin();
        std::string out(kUtf8Bom);
        for (auto& row : rows) {
            if (row.at(0) == record)
                row.at(static_cast<std::size_t>(column)) = bytesToUtf8(value);
            for (std::size_t c = 0; c < row.size(); ++c) {
                if (c > 0)
                    out += ',';
                appendCsvCell(out, row[c], true);
            }
            out += "\r\n";
        }
        writeFile(sheet, out);
    }

    // The user writes what he prepared. The model merges it three ways into its own bytes: a
    // value he did not change is never written, one the file changed since he read it too is
    // a conflict with nothing written.
    std::string write(OpWorld& world, const Step& s) {
        if (pending_.empty())
            return {};
        const auto at = pending_.begin() + static_cast<long>(s.seed % pending_.size());
        const Prepared p = *at;
        pending_.erase(at);
        if (p.kind == "restore question")
            return answer(world, p);
        const std::string folder = world.folder();
        const savegame::SaveGameFile save(folder, p.slot);
        std::string file;
        bool conflict = false, refused = false;
        std::string expected;
        const auto merge = [&](std::string_view now, bool number) -> std::optional<std::string> {
            switch (modelMerge(p.edit.base, p.edit.value, now, number)) {
            case Merge::Write:
                return p.edit.value;
            case Merge::Conflict:
                conflict = true;
                break;
            case Merge::Already:
                break;
            }
            return std::nullopt;
        };
        std::function<void()> run;
        if (p.kind == "roster window" || p.kind == "sheet") {
            file = fileKey(p.slot, "Controlled/yourfed.hv1");
            RecordFile<WrestlerRecord> now(model_.at(file), file);
            const auto line = static_cast<WrestlerRecord::Line>(p.edit.line);
            const bool number = kWrestlerFields[line].kind == FieldKind::Number;
            std::optional<std::size_t> record; // the sheet's row: the wrestler's first record
            if (p.kind == "sheet") {
                const RecordFile<WrestlerRecord> base(p.sheetBase, file);
                record = base.findFirst(p.key);
                const bool kept = std::ranges::find(sheetBases_[p.slot], p.sheetBase) !=
                                  sheetBases_[p.slot].end();
                std::string value = p.edit.value;
                if (auto n = parseNumber(value); n && number)
                    value = numberLine(*n);
                if (!kept)
                    refused = true;
                else if (record && !modelSame(base.line(*record, line), value, number)) {
                    const auto i = now.findFirst(p.key);
                    const auto how =
                        i ? modelMerge(base.line(*record, line), value, now.line(*i, line), number)
                          : Merge::Conflict;
                    if (how == Merge::Conflict)
                        conflict = true;
                    if (how == Merge::Write) {
                        WrestlerRecord r = now.record(*i);
                        r.lines[line] = value;
                        now.replace(*i, r);
                    }
                }
                if (record)
                    typeIntoSheet(p.sheet, std::to_string(*record + 1), kWrestlerFields[line].name,
                                  p.edit.value);
                run = [&] { roster::importRosterCsv({folder, p.slot}, p.sheet, false); };
            } else {
                for (std::size_t i = 0; i < now.size(); ++i) {
                    if (!now.isNamed(i, p.key))
                        continue;
                    WrestlerRecord r = now.record(i);
                    if (auto v = merge(r.lines[line], number))
                        r.lines[line] = *v;
                    for (auto group : {WrestlerRecord::TagTeam, WrestlerRecord::Stable})
                        if (r.lines[group].empty())
                            r.lines[group] = "no";
                    if (r.lines != now.record(i).lines)
                        now.replace(i, r);
                }
                const FieldEdit edit = p.edit;
                run = [&, edit] {
                    roster::applyWrestler({folder, p.slot}, p.key, std::span(&edit, 1));
                };
            }
            for (auto piece : now.pieces())
                expected += piece;
        } else if (p.kind == "managers window") {
            file = fileKey(p.slot, "Background/wwfmanagers.hv1");
            std::map<std::size_t, std::string> lines;
            const auto all = crlfLines(model_.at(file));
            for (std::size_t i = 0; i + 1 < all.size(); i += 2)
                if (fieldReadFirst(all[i]) == p.key)
                    if (auto v = merge(fieldReadFirst(all[i + 1]), false))
                        lines[i + 1] = *v;
            expected = withLines(model_.at(file), lines);
            run = [&] { managers::changeManagers({folder, p.slot}, p.key, std::span(&p.edit, 1)); };
        } else {
            file = fileKey(p.slot, "Saved Game/save1.hv1");
            const auto all = crlfLines(model_.at(file));
            std::size_t line = p.edit.line; // a feud's level line
            bool number = true;
            if (p.kind == "settings window") {
                number = p.edit.line == static_cast<std::size_t>(savegame::Setting::Bank);
                line = number ? 6 : 0;
                run = [&] { savegame::applySettingEdits(save, std::span(&p.edit, 1)); };
            } else if (p.kind == "titles window") {
                number = false;
                line = 7 + p.edit.line;
                run = [&] { savegame::applyTitleEdits(save, std::span(&p.edit, 1)); };
            } else {
                run = [&] { savegame::applyFeudEdits(save, std::span(&p.edit, 1)); };
            }
            std::map<std::size_t, std::string> lines;
            if (auto v = merge(all.at(line), number)) {
                lines[line] = *v;
                if (p.kind == "feuds window")
                    for (std::size_t f = 0; f < savegame::kFeuds; ++f)
                        lines[20 + 2 * f] = numberLine(savegame::kFeudMarker);
            }
            expected = withLines(model_.at(file), lines);
        }
        std::string got = "done";
        try {
            run();
        } catch (const ConflictError&) {
            got = "conflict";
        } catch (const std::exception& e) {
            got = std::string("refused: ") + e.what();
        }
        const std::string want = conflict ? "conflict" : refused ? "refused" : "done";
        if (got.starts_with("refused") && want == "refused")
            return {};
        if (got != want)
            return p.kind + " of " + p.key + " ended " + got + ", the model " + want;
        if (want == "done" && expected != model_.at(file)) {
            points_.push_back(
                {p.slot, nextId(p.slot), {{file, model_.at(file)}}, {{file, expected}}});
            model_[file] = expected;
        }
        return {};
    }

    // The user answers a restore's question: only the plan he was shown is carried out.
    std::string answer(OpWorld& world, const Prepared& p) {
        const auto first = std::ranges::find_if(
            points_, [&](const ModelPoint& m) { return m.slot == p.slot && m.id == p.point; });
        const ModelPlan now = planOf(static_cast<std::size_t>(first - points_.begin()));
        const bool same = now.key() == p.modelPlan;
        restore::RestoreResult result;
        try {
            result = restore::applyPoint(world.folder(), p.slot, p.point, p.plan);
        } catch (const OperationRefused& e) {
            return same ? std::string("refused the plan it showed: ") + e.what() : std::string();
        }
        if (!same)
            return "carried out a plan that had moved since its question";
        return carryOut(now, p.slot, result);
    }

    std::string compare(const OpWorld& world) const {
        if (const Files now = filesOf(world); now != model_) {
            std::string names;
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
    std::vector<Prepared> pending_;
    // The rosters sheets were exported from, as the editor keeps them: newest first, ten a slot.
    std::map<std::string, std::list<std::string>> sheetBases_;
    std::unique_ptr<OpWorld> ref_;
};

Sequence generate(Rng& rng) {
    Sequence steps(rng() % 20 + 2);
    for (Step& s : steps) {
        const auto roll = rng() % 20;
        s.kind = roll < 4    ? "restore"
                 : roll == 4 ? "outside"
                 : roll < 8  ? "game"
                 : roll < 11 ? "read"
                 : roll < 14 ? "write"
                             : kOperations[rng() % std::size(kOperations)]->family;
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
