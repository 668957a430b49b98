#include "testsupport/operations.h"

#include "exchange/exchange_ops.h"
#include "gamefiles/options.h"
#include "managers/managers_ops.h"
#include "otherfeds/otherfeds_ops.h"
#include "report/report_ops.h"
#include "restore/restore_ops.h"
#include "roster/batch_ops.h"
#include "roster/roster_ops.h"
#include "savegame/savegame_ops.h"
#include "table/table_ops.h"

#include <algorithm>
#include <stdexcept>

namespace hv::test {

using otherfeds::Party;
using namespace roster;

OpWorld::OpWorld() : GameWorld("WWF") {
    for (const char* slot : {"save1", "save2"}) {
        setRoster(slot, {placeholderWrestler(), wrestler("Ace", "3", " 4 "), wrestler("Bo"),
                         wrestler("Cy", "2", "2")});
        for (auto [file, name] :
             {std::pair{"wcw", "Crow"}, {"ecw", "Extreme"}, {"otherbig", "Indy"}})
            writeFile(slotFile(slot, "Background/" + std::string(file) + ".hv1"),
                      crlf(rivalWrestler(name)) + crlf(rivalWrestler(std::string(name) + " Two")));
    }
    writeFile(work / "Dee.hve", crlf(wrestler("Dee")));
    writeFile(work / "Bo.hve", crlf(withLine(wrestler("Bo"), 1, "99")));
    writeFile(work / "options.dat",
              crlf({game.string(), "page.html", "Title", "White", "Black", "1"}));
}

namespace {

// The file of `part` in slot 1 of an OpWorld, relative to the world's root; "work/" for Work.
std::string partFile(Part part) {
    static const char* const kFiles[] = {"Halvorn/save1/Controlled/yourfed.hv1",
                                         "Halvorn/save1/Saved Game/save1.hv1",
                                         "Halvorn/saveslots.hv1",
                                         "Halvorn/save1/Background/wcw.hv1",
                                         "Halvorn/save1/Background/ecw.hv1",
                                         "Halvorn/save1/Background/otherbig.hv1",
                                         "Halvorn/save1/Background/wwfmanagers.hv1",
                                         "work/"};
    return kFiles[static_cast<std::size_t>(part)];
}

// Feud 1 of slot 1: Ace vs Bo at level 500.
void feud(const OpWorld& w) {
    const auto save = w.slotFile("save1", "Saved Game/save1.hv1");
    std::string feuds = readFile(save);
    feuds.replace(feuds.find("Two\r\n\r\n"), 5, "Two\r\nAce vs Bo");
    writeFile(save, feuds.replace(feuds.find(" 15 "), 4, " 500 "));
}

// Slot 1 of the world, as the place of any of its files.
struct Slot1 {
    const OpWorld& w;
    template <class Place> operator Place() const { return Place(w.folder(), "save1"); }
};

otherfeds::PartyFile ecw1(const OpWorld& w) {
    return otherfeds::partyFile(w.folder(), "save1", Party::Ecw, "WCW");
}

void drawTrade(Draw& d, const std::string& f) {
    const Party from = otherfeds::kParties[d.n(4)];
    const Party to = otherfeds::kParties[(static_cast<std::size_t>(from) + 1 + d.n(3)) % 4];
    const std::string name =
        d.name(from == Party::Own ? "own" : std::string(otherfeds::partyWord(from)));
    otherfeds::TransferWrestler(f, {d.slot, from, to, name, name + " II", "2", "WCW"},
                                [] { return 0.5; });
}

void drawImport(Draw& d, const std::string& f) {
    const std::filesystem::path file = d.work / (d.n(2) ? "Dee.hve" : "Bo.hve");
    const exchange::RosterFile r(f, d.slot);
    if (const auto how = d.n(3); how == 0)
        exchange::importWrestler(r, file);
    else if (how == 1)
        exchange::overwriteWrestler(r, d.name("own"), file);
    else
        exchange::importAs(r, file, d.name("own") + " Copy");
}

void drawFeuds(Draw& d, const std::string& f) {
    auto all = savegame::readFeuds({f, d.slot});
    auto& feud = all[d.n(all.size())];
    feud.level = static_cast<int>(d.n(1000)) + savegame::kMinLevel;
    if (d.n(4) == 0)
        feud.text = d.n(2) ? "Ace vs Bo" : "";
    savegame::applyFeuds({f, d.slot}, all);
}

void drawManager(Draw& d, const std::string& f) {
    const managers::ManagersPlace m(f, d.slot);
    if (const auto how = d.n(3); how == 0)
        managers::addManager(m);
    else if (how == 1)
        managers::changeManagers(m, d.name("managers"), std::string_view("Newman"), "female");
    else
        managers::deleteManagers(m, d.name("managers"));
}

Part partOf(Party p) {
    constexpr Part parts[] = {Part::Roster, Part::Rival, Part::Ecw, Part::Indy};
    return parts[static_cast<std::size_t>(p)];
}

std::vector<Operation> catalogue() {
    std::vector<Operation> ops = {
        {"roster apply",
         {Part::Roster},
         [](const OpWorld& w) {
             // Bo's every field but his name typed over with Cy's.
             const auto bo = *findWrestler(Slot1{w}, "Bo"), cy = *findWrestler(Slot1{w}, "Cy");
             std::vector<FieldEdit> edits;
             for (std::size_t l = 1; l < WrestlerRecord::kLines; ++l)
                 if (bo.lines[l] != cy.lines[l])
                     edits.push_back({l, bo.lines[l], cy.lines[l]});
             applyWrestler(Slot1{w}, "Bo", edits);
         }},
        {"roster set",
         {Part::Roster},
         [](const OpWorld& w) {
             setWrestlerFields(Slot1{w}, "Bo", {{WrestlerRecord::Draw, "1"}});
         },
         "roster edit",
         [](Draw& d, const std::string& f) {
             const WrestlerRecord::Line lines[] = {WrestlerRecord::Draw, WrestlerRecord::Injury,
                                                   WrestlerRecord::Carder};
             setWrestlerFields({f, d.slot}, d.name("own"),
                               {{lines[d.n(3)], std::to_string(d.n(6))}});
         }},
        {"roster add",
         {Part::Roster},
         [](const OpWorld& w) { addBlankWrestler(Slot1{w}); },
         "roster add",
         [](Draw& d, const std::string& f) {
             addBlankWrestler({f, d.slot});
         },
         false},
        {"roster delete",
         {Part::Roster},
         [](const OpWorld& w) { deleteWrestler(Slot1{w}, "Bo"); },
         "roster delete",
         [](Draw& d, const std::string& f) {
             deleteWrestler({f, d.slot}, d.name("own"));
         }},
        {"roster move up",
         {Part::Roster},
         [](const OpWorld& w) { moveWrestler(Slot1{w}, "Cy", Direction::Up); },
         "roster move",
         [](Draw& d, const std::string& f) {
             moveWrestler({f, d.slot}, d.name("own"), d.n(2) ? Direction::Up : Direction::Down);
         },
         false},
        {"injuries heal",
         {Part::Roster},
         [](const OpWorld& w) { healAll(Slot1{w}); },
         "injuries heal",
         [](Draw& d, const std::string& f) {
             healAll({f, d.slot});
         }},
    };
    const std::pair<Party, std::string> holders[] = {{Party::Own, "Ace"},
                                                     {Party::Rival, "Crow"},
                                                     {Party::Ecw, "Extreme"},
                                                     {Party::Indy, "Indy"}};
    for (const auto& [from, name] : holders)
        for (Party to : otherfeds::kParties) {
            if (to == from)
                continue;
            const otherfeds::TransferRequest request{"save1",       from, to,   name,
                                                     "New " + name, "2",  "WCW"};
            const std::string f(otherfeds::partyWord(from)), t(otherfeds::partyWord(to));
            ops.push_back({.name = "trade " + f + " to " + t,
                           .parts = {partOf(from), partOf(to)},
                           .run =
                               [request](const OpWorld& w) {
                                   otherfeds::TransferWrestler(w.folder(), request,
                                                               [] { return 0.5; });
                               },
                           .repeats = false});
        }
    ops[6].family = "trade"; // the first trade draws any of the twelve directions
    ops[6].draw = drawTrade;
    std::vector<Operation> rest = {
        {"import appended",
         {Part::Roster},
         [](const OpWorld& w) { exchange::importWrestler(Slot1{w}, w.work / "Dee.hve"); },
         "import",
         drawImport},
        {"import overwrite",
         {Part::Roster},
         [](const OpWorld& w) { exchange::overwriteWrestler(Slot1{w}, "Bo", w.work / "Bo.hve"); }},
        {.name = "import as",
         .parts = {Part::Roster},
         .run = [](const OpWorld& w) { exchange::importAs(Slot1{w}, w.work / "Bo.hve", "Bo Two"); },
         .repeats = false},
        {"federation settings",
         {Part::Save, Part::SlotNames},
         [](const OpWorld& w) {
             savegame::applySettings(Slot1{w}, {"Mine", "Boss", "Friday", "2", "May", "100", "9"});
         },
         "settings",
         [](Draw& d, const std::string& f) {
             savegame::applySettings({f, d.slot}, {"Slot " + std::to_string(d.n(9)), "Boss",
                                                   "Friday", std::to_string(d.n(28) + 1), "May",
                                                   "3", std::to_string(d.n(1000))});
         }},
        {"title holders",
         {Part::Save},
         [](const OpWorld& w) {
             savegame::applyTitles(Slot1{w}, {"Ace", "Bo", "Vacant", "Cy", "Ace"});
         },
         "titles",
         [](Draw& d, const std::string& f) {
             savegame::applyTitles({f, d.slot}, {d.name("own"), d.name("own"), "Vacant",
                                                 d.name("own"), d.name("own")});
         }},
        {"feud levels",
         {Part::Save},
         [](const OpWorld& w) {
             auto feuds = savegame::readFeuds(Slot1{w});
             feuds[1].level = 600;
             savegame::applyFeuds(Slot1{w}, feuds);
         },
         "feuds",
         drawFeuds,
         true,
         feud},
        {.name = "feud edits",
         .parts = {Part::Save},
         .run =
             [](const OpWorld& w) {
                 const auto level = savegame::feudLevelLine(1);
                 savegame::applyFeudEdits(
                     Slot1{w}, std::vector<FieldEdit>{
                                   {level, savegame::readFeuds(Slot1{w})[1].storedLevel, " 600 "}});
             },
         .setUp = feud},
        {"managers add",
         {Part::Managers},
         [](const OpWorld& w) { managers::addManager(Slot1{w}); },
         "managers",
         drawManager,
         false},
        {"managers change",
         {Part::Managers},
         [](const OpWorld& w) {
             managers::changeManagers(Slot1{w}, "Wally Manager", std::string_view("Walt"),
                                      "female");
         }},
        {"managers delete",
         {Part::Managers},
         [](const OpWorld& w) { managers::deleteManagers(Slot1{w}, "Wendy Manager"); }},
        {.name = "roster batch",
         .parts = {Part::Roster},
         .run = [](const OpWorld& w) { applyBatch(Slot1{w}, parseBatch({"draw=+1"}, {})); },
         .repeats = false},
        {"roster csv export",
         {Part::Work},
         [](const OpWorld& w) { exportRosterCsv(Slot1{w}, w.work / "r.csv", w.work); }},
        {.name = "roster csv import",
         .parts = {Part::Roster},
         .run = [](const OpWorld& w) { importRosterCsv(Slot1{w}, w.work / "r.csv", false); },
         .setUp =
             [](const OpWorld& w) {
                 std::string csv = rosterCsv(Slot1{w});
                 writeFile(w.work / "r.csv", csv.replace(csv.find("\"Bo\""), 4, "\"Bob\""));
             }},
        {"roster table apply",
         {Part::Roster},
         [](const OpWorld& w) {
             const table::TableSource own{
                 "WWF", table::RecordKind::Wrestler, {w.folder(), "save1", GameFile::Roster}};
             const auto shown = RecordFile<WrestlerRecord>::read(own.file.file);
             const std::size_t bo = *shown.findFirst("Bo");
             const table::TableEdit edit{
                 bo, "Bo", {WrestlerRecord::Draw, std::string(shown.line(bo, 1)), "1"}};
             table::applyTableEdits(own, std::span(&edit, 1), shown);
         }},
        {.name = "rival append",
         .parts = {Part::Ecw},
         .run =
             [](const OpWorld& w) {
                 OtherFedRecord r;
                 r.lines[0] = "New";
                 otherfeds::appendRival(ecw1(w), r);
             },
         .repeats = false},
        {"rival remove",
         {Part::Ecw},
         [](const OpWorld& w) { otherfeds::removeRival(ecw1(w), "Extreme"); }},
        {"rival set",
         {Part::Ecw},
         [](const OpWorld& w) {
             otherfeds::setRivalFields(ecw1(w), "Extreme", {{OtherFedRecord::Draw, "1"}});
         }},
        {"export",
         {Part::Work},
         [](const OpWorld& w) {
             exchange::exportWrestler(Slot1{w}, "Ace", w.work / "Ace.hve", w.work);
         }},
        {"game folder change",
         {Part::Work},
         [](const OpWorld& w) { changeGameFolder(w.work, w.root.path().string()); }},
        {"report settings",
         {Part::Work},
         [](const OpWorld& w) {
             report::writeSettings(w.work, {"other.html", "T", "Red", "Blue", "2"});
         }},
        {"report page",
         {Part::Work},
         [](const OpWorld& w) {
             report::PageOptions o;
             o.settings = report::readSettings(w.work);
             report::writePage(w.work, w.folder(), "save1", o);
         }},
        {"report order",
         {Part::Work},
         [](const OpWorld& w) {
             report::writeOrder(w.work, {"Fueds", "Roster", "Titles"});
         }},
        {.name = "restore point apply",
         .parts = {Part::Roster, Part::Save, Part::SlotNames, Part::Rival, Part::Ecw, Part::Indy,
                   Part::Managers}, // what the point kept
         .run =
             [](const OpWorld& w) {
                 // Each run meets the files put back by hand since the last.
                 const auto id = restore::listPoints(w.folder(), "save1").back().id;
                 restore::applyPoint(w.folder(), "save1", id,
                                     restore::planRestore(w.folder(), "save1", id).id);
             },
         .repeats = false,
         .setUp =
             [](const OpWorld& w) { // a point of two files
                 otherfeds::TransferWrestler(
                     w.folder(), {"save1", Party::Ecw, Party::Indy, "Extreme", "", "", "WCW"},
                     [] { return 0.5; });
             }},
    };
    ops.insert(ops.end(), std::make_move_iterator(rest.begin()),
               std::make_move_iterator(rest.end()));
    return ops;
}

} // namespace

const std::vector<Operation>& operations() {
    static const std::vector<Operation> ops = catalogue();
    return ops;
}

std::string changedOutside(const Operation& op, const Files& before, const Files& after) {
    for (const auto& [one, other] : {std::pair{&before, &after}, {&after, &before}})
        for (const auto& file : *one)
            if (!std::ranges::count(*other, file) && std::ranges::none_of(op.parts, [&](Part p) {
                    return file.first.starts_with(partFile(p));
                }))
                return file.first;
    return {};
}

const Operation& operation(std::string_view name) {
    const auto it = std::ranges::find(operations(), name, &Operation::name);
    if (it == operations().end())
        throw std::invalid_argument("no operation " + std::string(name));
    return *it;
}

} // namespace hv::test
