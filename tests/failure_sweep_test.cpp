// Every write operation of the program, failed at every step of every safe rewrite it makes:
// each failure must leave the game folder and the working folder byte for byte as they were
// (an operation on several files puts back those it replaced before the failure), leave no
// temporary file behind, and name the file and the failed step in its message. Made twice,
// the same change writes nothing the second time.

#include "exchange/exchange_ops.h"
#include "gamefiles/error.h"
#include "gamefiles/options.h"
#include "gamefiles/temp_rewrite.h"
#include "managers/managers_ops.h"
#include "otherfeds/otherfeds_ops.h"
#include "report/report_ops.h"
#include "restore/restore_ops.h"
#include "roster/batch_ops.h"
#include "roster/roster_ops.h"
#include "savegame/savegame_ops.h"
#include "testsupport/rewrite_steps.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iostream>
#include <regex>
#include <set>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace hv::test {
namespace {

namespace fs = std::filesystem;
using Files = std::vector<std::pair<std::string, std::string>>;
using otherfeds::Party;

// A small world with someone to change in every file: slot 1 runs the WWF, so WCW is the
// rival big federation.
struct World : GameWorld {
    World() : GameWorld("WWF") {
        setRoster("save1", {placeholderWrestler(), wrestler("Ace", "3", " 4 "), wrestler("Bo"),
                            wrestler("Cy")});
        for (auto [file, name] :
             {std::pair{"wcw", "Crow"}, {"ecw", "Extreme"}, {"otherbig", "Indy"}})
            writeFile(slotFile("save1", "Background/" + std::string(file) + ".hv1"),
                      crlf(rivalWrestler(name)));
        const auto save = slotFile("save1", "Saved Game/save1.hv1");
        std::string feuds = readFile(save);
        feuds.replace(feuds.find("Two\r\n\r\n"), 5, "Two\r\nAce vs Bo");
        feuds.replace(feuds.find(" 15 "), 4, " 500 ");
        writeFile(save, feuds);
        writeFile(work / "Dee.hve", crlf(wrestler("Dee")));
        writeFile(work / "Bo.hve", crlf(withLine(wrestler("Bo"), 1, "99")));
        writeFile(work / "options.dat",
                  crlf({game.string(), "page.html", "Title", "White", "Black", "1"}));
    }
    std::string folder() const { return game.string(); }
    roster::RosterFile roster() const { return {folder(), "save1"}; }
    exchange::RosterFile exchangeRoster() const { return {folder(), "save1"}; }
    savegame::SaveGameFile save() const { return {folder(), "save1"}; }
    managers::ManagersPlace managers() const { return {folder(), "save1"}; }
    otherfeds::PartyFile party(Party p) const {
        return otherfeds::partyFile(folder(), "save1", p, "WCW");
    }
};

struct Operation {
    std::string name;
    // The functions of the sources that write files and that this row drives.
    std::set<std::string> writers;
    std::function<void(const World&)> run;
    bool repeats = true; // run again, it makes the same change (not another wrestler added)
    std::function<void(const World&)> setUp = [](const World&) {};
};

std::vector<Operation> operations() {
    using namespace roster;
    std::vector<Operation> ops = {
        {"roster apply",
         {"ApplyWrestler", "applyBoxes"},
         [](const World& w) {
             // Bo's every field but his name typed over with Cy's.
             const auto bo = *findWrestler(w.roster(), "Bo"), cy = *findWrestler(w.roster(), "Cy");
             std::vector<FieldEdit> edits;
             for (std::size_t l = 1; l < WrestlerRecord::kLines; ++l)
                 if (bo.lines[l] != cy.lines[l])
                     edits.push_back({l, bo.lines[l], cy.lines[l]});
             ApplyWrestler(w.roster(), "Bo", edits);
         }},
        {"roster set",
         {"setWrestlerFields", "setLines"},
         [](const World& w) {
             setWrestlerFields(w.roster(), "Bo", {{WrestlerRecord::Draw, "1"}});
         }},
        {"roster add",
         {"addBlankWrestler"},
         [](const World& w) { addBlankWrestler(w.roster()); },
         false},
        {"roster delete",
         {"deleteWrestler"},
         [](const World& w) { deleteWrestler(w.roster(), "Bo"); }},
        {"roster move up",
         {"moveWrestler"},
         [](const World& w) { moveWrestler(w.roster(), "Cy", Direction::Up); },
         false},
        {"injuries heal", {"healAll"}, [](const World& w) { healAll(w.roster()); }},
        {"roster batch",
         {"applyBatch", "writePlan"},
         [](const World& w) { applyBatch(w.roster(), parseBatch({"draw=+1"}, {})); },
         false},
        {"roster csv export",
         {"exportRosterCsv"},
         [](const World& w) { exportRosterCsv(w.roster(), w.work / "r.csv", w.work); }},
        {"roster csv import",
         {"importRosterCsv"},
         [](const World& w) { importRosterCsv(w.roster(), w.work / "r.csv", false); },
         true,
         [](const World& w) {
             std::string csv = rosterCsv(w.roster());
             writeFile(w.work / "r.csv", csv.replace(csv.find("\"Bo\""), 4, "\"Bob\""));
         }},
        {"rival append",
         {"appendRival"},
         [](const World& w) {
             OtherFedRecord r;
             r.lines[0] = "New";
             otherfeds::appendRival(w.party(Party::Ecw), r);
         },
         false},
        {"rival remove",
         {"removeRival"},
         [](const World& w) { otherfeds::removeRival(w.party(Party::Ecw), "Extreme"); }},
        {"rival set",
         {"setRivalFields"},
         [](const World& w) {
             otherfeds::setRivalFields(w.party(Party::Ecw), "Extreme",
                                       {{OtherFedRecord::Draw, "1"}});
         }},
        {"federation settings",
         {"applySettings"},
         [](const World& w) {
             savegame::applySettings(w.save(), {"Mine", "Boss", "Friday", "2", "May", "100", "9"});
         }},
        {"title holders",
         {"applyTitles"},
         [](const World& w) {
             savegame::applyTitles(w.save(), {"Ace", "Bo", "Vacant", "Cy", "Ace"});
         }},
        {"feud levels",
         {"applyFeuds", "writeFeuds"},
         [](const World& w) {
             auto feuds = savegame::readFeuds(w.save());
             feuds[1].level = 600;
             savegame::applyFeuds(w.save(), feuds);
         }},
        {"feud edits",
         {"applyFeudEdits"},
         [](const World& w) {
             const auto level = savegame::feudLevelLine(1);
             savegame::applyFeudEdits(
                 w.save(), std::vector<FieldEdit>{
                               {level, savegame::readFeuds(w.save())[1].storedLevel, " 600 "}});
         }},
        {"managers add",
         {"addManager"},
         [](const World& w) { managers::addManager(w.managers()); },
         false},
        {"managers change",
         {"changeManagers"},
         [](const World& w) {
             managers::changeManagers(w.managers(), "Wally Manager", std::string_view("Walt"),
                                      "female");
         }},
        {"managers delete",
         {"deleteManagers"},
         [](const World& w) { managers::deleteManagers(w.managers(), "Wendy Manager"); }},
        {"export",
         {"exportWrestler"},
         [](const World& w) {
             exchange::exportWrestler(w.exchangeRoster(), "Ace", w.work / "Ace.hve", w.work);
         }},
        {"import appended",
         {"importWrestler"},
         [](const World& w) { exchange::importWrestler(w.exchangeRoster(), w.work / "Dee.hve"); }},
        {"import overwrite",
         {"overwriteWrestler"},
         [](const World& w) {
             exchange::overwriteWrestler(w.exchangeRoster(), "Bo", w.work / "Bo.hve");
         }},
        {"import as",
         {"importAs"},
         [](const World& w) {
             exchange::importAs(w.exchangeRoster(), w.work / "Bo.hve", "Bo Two");
         },
         false},
        {"game folder change",
         {"changeGameFolder"},
         [](const World& w) { changeGameFolder(w.work, w.root.path().string()); }},
        {"report settings",
         {"writeSettings"},
         [](const World& w) {
             report::writeSettings(w.work, {"other.html", "T", "Red", "Blue", "2"});
         }},
        {"report page",
         {"writePage"},
         [](const World& w) {
             report::PageOptions o;
             o.settings = report::readSettings(w.work);
             report::writePage(w.work, w.folder(), "save1", o);
         }},
        {"report order",
         {"writeOrder"},
         [](const World& w) {
             report::writeOrder(w.work, {"Fueds", "Roster", "Titles"});
         }},
    };
    ops.push_back({"restore point apply",
                   {"applyPoint"},
                   [](const World& w) {
                       // Each run meets the files put back by hand since the last.
                       const auto id = restore::listPoints(w.folder(), "save1").back().id;
                       restore::applyPoint(w.folder(), "save1", id,
                                           restore::planRestore(w.folder(), "save1", id).id);
                   },
                   false,
                   [](const World& w) { // a point of two files
                       otherfeds::TransferWrestler(
                           w.folder(), {"save1", Party::Ecw, Party::Indy, "Extreme", "", "", "WCW"},
                           [] { return 0.5; });
                   }});
    const std::pair<Party, std::string> holders[] = {{Party::Own, "Ace"},
                                                     {Party::Rival, "Crow"},
                                                     {Party::Ecw, "Extreme"},
                                                     {Party::Indy, "Indy"}};
    for (const auto& [from, name] : holders)
        for (Party to : otherfeds::kParties) {
            if (to == from)
                continue;
            otherfeds::TransferRequest request{"save1", from, to, name, "New " + name, "2", "WCW"};
            ops.push_back({"trade " + std::string(otherfeds::partyWord(from)) + " to " +
                               std::string(otherfeds::partyWord(to)),
                           {"TransferWrestler", "replaceBoth"},
                           [request](const World& w) {
                               otherfeds::TransferWrestler(w.folder(), request, [] { return 0.5; });
                           },
                           false});
        }
    return ops;
}

// Puts every file back as it was, from the files as they are now: those that differ are
// written again, those that were not there are removed.
void restore(const World& world, const Files& now, const Files& was) {
    for (const auto& file : now)
        if (!std::ranges::binary_search(was, file))
            fs::remove(world.root.path() / file.first);
    for (const auto& file : was)
        if (!std::ranges::binary_search(now, file))
            writeFile(world.root.path() / file.first, file.second);
}

// Why each step failed, as the message says it.
constexpr const char* kWhy[] = {"cannot be created", "writing failed", "flushing to disk failed",
                                "closing failed", "replacing the file failed"};

TEST(FailureSweep, EveryStepOfEveryWriteFailsCleanly) {
    int injected = 0;
    for (const Operation& op : operations()) {
        World world;
        op.setUp(world);
        const Files before = world.files();
        std::array<int, std::size(kRewriteSteps)> counts{};
        const std::size_t mark = replacedMark();
        {
            const RewriteStepFailure counting;
            op.run(world);
            for (RewriteStep step : kRewriteSteps)
                counts[static_cast<std::size_t>(step)] = counting.count(step);
        }
        const std::vector<fs::path> replaced = replacedSince(mark); // in the order replaced
        const Files after = world.files();
        ASSERT_NE(after, before) << op.name << " changed nothing";
        const std::size_t points = listRestorePoints(world.game, "save1").size();
        std::vector<std::string> written; // full paths of the files the operation changes
        for (const auto& [name, bytes] : after)
            if (!std::ranges::count(before, std::pair{name, bytes}))
                written.push_back((world.root.path() / name).make_preferred().string());

        for (RewriteStep step : kRewriteSteps)
            for (int nth = 1; nth <= counts[static_cast<std::size_t>(step)]; ++nth, ++injected) {
                const std::string where =
                    op.name + ", " + stepName(step) + " #" + std::to_string(nth);
                restore(world, world.files(), before);
                std::string message;
                {
                    const RewriteStepFailure failure(step, nth);
                    try {
                        op.run(world);
                        ADD_FAILURE() << where << ": no error";
                    } catch (const GameFileError& e) {
                        message = e.what();
                    }
                    EXPECT_TRUE(failure.fired()) << where;
                }
                EXPECT_NE(message.find(kWhy[static_cast<std::size_t>(step)]), std::string::npos)
                    << where << ": " << message;
                EXPECT_TRUE(std::ranges::any_of(written,
                                                [&](const std::string& file) {
                                                    return message.find(file) != std::string::npos;
                                                }))
                    << where << ": " << message;
                if (step == RewriteStep::Replace) { // the message starts with the failed file
                    const fs::path failed = fs::path(replaced.at(nth - 1)).make_preferred();
                    EXPECT_EQ(message.rfind(failed.string(), 0), 0u) << where << ": " << message;
                }
                // The files replaced before a failed replace are put back, and no restore
                // point is left.
                EXPECT_EQ(world.files(), before) << where;
                EXPECT_EQ(listRestorePoints(world.game, "save1").size(), points) << where;
                if (step != RewriteStep::Replace || nth < 2)
                    continue;
                // Nor can the first file be put back: the message names the file that holds
                // the change and the restore point that undoes it.
                restore(world, world.files(), before);
                try {
                    const RewriteStepFailure failure(step, nth, true);
                    op.run(world);
                } catch (const GameFileError& e) {
                    message = e.what();
                }
                const std::string first = fs::path(replaced.at(0)).make_preferred().string();
                std::smatch point;
                EXPECT_NE(message.find(first + " holds the change"), std::string::npos) << message;
                ASSERT_TRUE(std::regex_search(message, point,
                                              std::regex("restore point ([0-9]+) of save1")))
                    << where << ": " << message;
                const auto id = std::stoull(point[1]);
                restore::applyPoint(world.folder(), "save1", id,
                                    restore::planRestore(world.folder(), "save1", id).id);
                EXPECT_EQ(world.files(), before) << where;
            }
    }
    std::cout << "failure sweep: " << operations().size() << " operations, " << injected
              << " injected failures (operations x steps)\n";
    ::testing::Test::RecordProperty("injected_failures", injected);
}

// Every file below the test root with its bytes, its time and (where the system tells) its
// inode: a rewrite to the same bytes still changes the last two.
std::vector<std::string> stamped(const World& world) {
    std::vector<std::string> out;
    for (const auto& [name, bytes] : snapshot(world.root.path())) {
        const fs::path file = world.root.path() / name;
        // A sheet's base copy is the editor's own record of an export, marked newest again by
        // the same export; not a game file, nor a restore point.
        if (file.filename().string().starts_with("sheet-")) {
            out.push_back(name + " " + bytes);
            continue;
        }
        std::string stamp = name + " " + bytes + " " +
                            std::to_string(fs::last_write_time(file).time_since_epoch().count());
#ifndef _WIN32
        struct stat st {};
        ::stat(file.c_str(), &st);
        stamp += " " + std::to_string(st.st_ino);
#endif
        out.push_back(stamp);
    }
    return out;
}

TEST(FailureSweep, TheSameChangeMadeAgainWritesNothing) {
    for (const Operation& op : operations()) {
        if (!op.repeats)
            continue;
        World world;
        op.setUp(world);
        op.run(world);
        const auto once = stamped(world);
        const std::size_t mark = replacedMark();
        op.run(world);
        EXPECT_EQ(stamped(world), once) << op.name; // restore points included
        EXPECT_TRUE(replacedSince(mark).empty()) << op.name;
    }
}

// The functions in the program's sources that write a file through the safe rewrite. The
// rewrite itself and the record file's save and prepare are the means, not operations, and
// settingsFolder's rewrite is a probe that is never committed.
std::set<std::string> writingFunctions() {
    const std::regex write(
        R"((\.save|\.prepare|TempRewrite|PendingRewrite|editRecordFile|editFiles)\b)");
    const std::regex head(R"(^[A-Za-z_][^;]*?([A-Za-z_]\w*)\()");
    const std::regex productFile(R"(^(gamefiles|cli)/.*\.cpp$|_(ops|commands)\.cpp$)");
    std::set<std::string> found;
    const fs::path root = HV_SOURCE_DIR;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const fs::path& p = it->path();
        const std::string name = p.filename().string();
        if (it->is_directory() && (name.starts_with("build") || name.starts_with(".") ||
                                   name == "tests" || name == "testsupport" || name == "fuzz")) {
            it.disable_recursion_pending();
            continue;
        }
        const std::string folder = p.parent_path().filename().string();
        const bool product = std::regex_search(folder + "/" + name, productFile);
        if (!product || name == "temp_rewrite.cpp" || name == "record_file.cpp")
            continue;
        std::ifstream in(p);
        std::string line, function;
        while (std::getline(in, line)) {
            line = line.substr(0, line.find("//"));
            std::smatch m;
            if (std::regex_search(line, m, head) && !line.starts_with("namespace"))
                function = m[1];
            else if (std::regex_search(line, write))
                found.insert(function);
        }
    }
    found.erase("settingsFolder");
    return found;
}

TEST(FailureSweep, KnowsEveryWriteOperation) {
    std::set<std::string> covered;
    for (const Operation& op : operations())
        covered.insert(op.writers.begin(), op.writers.end());
    // A probe that leaves no file, failed or not; its failures are tested with the settings.
    covered.insert("settingsFolder");
    const std::set<std::string> writers = writingFunctions();
    EXPECT_GE(writers.size(), 20u); // the scan itself still finds them
    for (const std::string& f : writers)
        EXPECT_TRUE(covered.contains(f)) << f << " writes files but has no row in the sweep";
}

} // namespace
} // namespace hv::test
