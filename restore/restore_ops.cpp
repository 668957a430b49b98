#include "restore_ops.h"

#include "gamefiles/error.h"
#include "gamefiles/file_change.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/game_folder_lock.h"
#include "gamefiles/temp_rewrite.h"
#include "gamefiles/text.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <memory>
#include <tuple>

namespace fs = std::filesystem;

namespace hv::restore {
namespace {

bool shareFile(const RestorePoint& a, const RestorePoint& b) {
    return std::ranges::find_first_of(a.files, b.files) != a.files.end();
}

// When a point was made, comparable across slots: a point of an earlier version records no
// order and counts as older than every point that does, and among such the time tells.
std::tuple<unsigned long long, long long, unsigned long long> made(const RestorePoint& p) {
    return {p.order, p.order ? 0 : p.time, p.id};
}

std::string hex8(std::uint64_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(8, '0');
    for (std::size_t i = 8; i-- > 0; value >>= 4)
        text[i] = kDigits[value & 15];
    return text;
}

} // namespace

std::vector<RestorePoint> listPoints(const std::string& gameFolder, std::string_view slot) {
    return listRestorePoints(gameFolder, slot);
}

std::string pointLabel(const RestorePoint& point, std::string_view slot) {
    return point.slot == slot ? point.description : point.description + " (" + point.slot + ")";
}

RestorePlan planRestore(const std::string& gameFolder, std::string_view slot,
                        unsigned long long id) {
    const auto own = findRestorePoint(gameFolder, slot, id);
    if (!own)
        refuseOperation(std::string(slot) + " has no restore point " + std::to_string(id) + ".");
    RestorePlan plan;
    plan.point = *own;
    // Every slot's points made after it, newest first.
    std::vector<RestorePoint> points;
    for (std::string_view s : kSlots)
        for (RestorePoint& p : listRestorePoints(gameFolder, s))
            if (made(p) > made(plan.point))
                points.push_back(std::move(p));
    std::ranges::sort(points, std::greater{}, made);
    // One joins when it shares a file with a point already taken; a newer one taken can bring
    // in an older one, so rounds repeat until nothing more joins.
    std::vector<const RestorePoint*> taken{&plan.point};
    std::vector<bool> in(points.size(), false);
    for (bool grew = true; grew;) {
        grew = false;
        for (std::size_t i = in.size(); i-- > 0;) {
            if (in[i])
                continue;
            for (const RestorePoint* t : taken)
                if (shareFile(points[i], *t)) {
                    in[i] = grew = true;
                    taken.push_back(&points[i]);
                    break;
                }
        }
    }
    for (std::size_t i = 0; i < in.size(); ++i)
        if (in[i])
            plan.later.push_back(points[i]);

    // Oldest first, so that each file gets the version from before the oldest change to it;
    // the newest change to it tells what the file should hold now.
    std::vector<const RestorePoint*> oldestFirst{&plan.point};
    for (auto it = plan.later.rbegin(); it != plan.later.rend(); ++it)
        oldestFirst.push_back(&*it);
    std::vector<std::optional<FileState>> left;
    for (const RestorePoint* p : oldestFirst)
        for (std::size_t i = 0; i < p->files.size(); ++i) {
            const auto known = std::ranges::find(plan.files, p->files[i]);
            if (known == plan.files.end()) {
                plan.files.push_back(p->files[i]);
                plan.versions.push_back(p->kept(i));
                left.push_back(p->left[i]);
            } else {
                left[static_cast<std::size_t>(known - plan.files.begin())] = p->left[i];
            }
        }
    // The id covers what the restore would undo and every file it would overwrite.
    std::string told;
    for (const RestorePoint* p : oldestFirst)
        told += p->slot + " " + std::to_string(p->id) + " " + std::to_string(p->order) + " " +
                std::to_string(p->time) + " " + p->description + "\n";
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        const auto now = fileState(fs::path(gameFolder) / plan.files[i], left[i] && left[i]->fnv);
        told += plan.files[i] +
                (now ? " " + std::to_string(now->size) + " " + std::to_string(now->hash)
                     : std::string(" unreadable")) +
                "\n";
        // A point made before the editor recorded what changes leave cannot tell.
        if (left[i] && !(now && *now == *left[i]))
            plan.changedSince.push_back(playerFileName(plan.files[i]));
    }
    StateHasher hasher;
    hasher.add(told);
    plan.id = hex8(hasher.state().hash);
    return plan;
}

std::optional<unsigned long long> parsePointId(std::string_view text) {
    unsigned long long id = 0;
    const char* end = text.data() + text.size();
    auto [at, error] = std::from_chars(text.data(), end, id);
    if (text.empty() || error != std::errc() || at != end)
        return std::nullopt;
    return id;
}

std::string undoDescription(std::string_view description) {
    // Kept flat however often one undoes: undoing an undo redoes the change, and back.
    for (auto [from, to] : {std::pair{"Undo of ", "Redo of "}, std::pair{"Redo of ", "Undo of "}})
        if (description.starts_with(from))
            return to + std::string(description.substr(std::string_view(from).size()));
    return "Undo of " + std::string(description);
}

RestoreResult applyPoint(const std::string& gameFolder, std::string_view slot,
                         unsigned long long id, std::string_view agreedPlan) {
    // From the plan, and its check for changes by other programs, to the last replace.
    const GameFolderLock lock(gameFolder);
    RestorePlan plan = planRestore(gameFolder, slot, id);
    // (Each message is made before the plan moves into the exception.)
    if (!agreedPlan.empty() && plan.id != agreedPlan) {
        std::string message = "the restore of point " + std::to_string(id) + " is no longer plan " +
                              std::string(agreedPlan) +
                              ": files or restore points changed since; it is now plan " + plan.id +
                              "." + std::string(kNothingWrittenSentence);
        throw PlanRefused(message, std::move(plan));
    }
    if (agreedPlan.empty() && !plan.changedSince.empty()) {
        std::string message;
        for (const auto& name : plan.changedSince)
            message += (message.empty() ? "" : ", ") + name;
        message += (plan.changedSince.size() == 1 ? " was" : " were") +
                   std::string(" changed by another program after the editor's last change to "
                               "it; restoring would throw that change away.") +
                   std::string(kNothingWrittenSentence);
        throw PlanRefused(message, std::move(plan));
    }
    std::vector<std::string> versions;
    for (const auto& kept : plan.versions)
        versions.push_back(readFileBytes(kept));

    return editFiles(gameFolder, slot, undoDescription(plan.point.description),
                     [&](FileChange& change) -> RestoreResult {
                         for (std::size_t i = 0; i < versions.size(); ++i) {
                             const fs::path target = fs::path(gameFolder) / plan.files[i];
                             // A name of our own beside each file: two files of one folder are
                             // written at once.
                             change.write(target, target.filename().string() + ".restore.tmp",
                                          versions[i]);
                         }
                         change.commit();
                         return {change.scope().pointId().value_or(0), plan.later, plan.files};
                     });
}

} // namespace hv::restore
