#include "restore_diff.h"

#include "gamefiles/error.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/managers.h"
#include "gamefiles/record_file.h"
#include "gamefiles/records.h"
#include "gamefiles/restore.h"
#include "gamefiles/save_game.h"
#include "gamefiles/text.h"
#include "savegame/savegame_ops.h"

#include <algorithm>
#include <map>
#include <span>

namespace fs = std::filesystem;

namespace hv::restore {
namespace {

enum class Kind { Roster, Rival, SaveGame, Managers, SlotNames, Other };

struct Known {
    std::string_view folder, name, label;
    Kind kind;
};
constexpr Known kKnown[] = {
    {"controlled", "yourfed.hv1", "Roster", Kind::Roster},
    {"saved game", "save1.hv1", "Save game", Kind::SaveGame},
    {"background", "wwf.hv1", "WWF", Kind::Rival},
    {"background", "wcw.hv1", "WCW", Kind::Rival},
    {"background", "ecw.hv1", "ECW", Kind::Rival},
    {"background", "otherbig.hv1", "Indy", Kind::Rival},
    {"background", "wwfmanagers.hv1", "WWF managers", Kind::Managers},
    {"background", "wcwmanagers.hv1", "WCW managers", Kind::Managers},
};

std::string lowered(std::string_view text) {
    std::string out(text);
    std::ranges::transform(out, out.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return out;
}

std::pair<std::string, Kind> classify(std::string_view relative) {
    const fs::path path(lowered(relative));
    const std::string name = path.filename().string();
    const std::string folder = path.parent_path().filename().string();
    if (name == "saveslots.hv1" && !path.parent_path().has_parent_path())
        return {"Slot names", Kind::SlotNames};
    for (const Known& k : kKnown)
        if (name == k.name && folder == k.folder)
            return {std::string(k.label), k.kind};
    return {std::string(relative), Kind::Other};
}

// A value as stored; quoted where the bare text would hide it.
std::string shown(std::string_view value) {
    if (value.empty() || value.front() == ' ' || value.back() == ' ')
        return "\"" + std::string(value) + "\"";
    return std::string(value);
}

std::string change(std::string_view caption, std::string_view before, std::string_view after) {
    std::string text(caption);
    while (text.ends_with(' ')) // "Entertainment " as a window shows it
        text.pop_back();
    return text + " " + shown(before) + " -> " + shown(after);
}

std::string sizes(std::string_view before, std::string_view after) {
    return "changed (" + std::to_string(before.size()) + " bytes -> " +
           std::to_string(after.size()) + " bytes)";
}

class Lines {
public:
    explicit Lines(std::string label) : label_(std::move(label)) {}
    void add(const std::string& text) { lines_.push_back(label_ + ": " + text); }
    std::vector<std::string> take() { return std::move(lines_); }
    bool empty() const { return lines_.empty(); }

private:
    std::string label_;
    std::vector<std::string> lines_;
};

struct Named {
    std::size_t record; // place in the file, placeholders counted
    std::string_view name;
};

void diffRecords(Lines& out, std::string_view before, std::string_view after,
                 std::span<const Field> fields, bool placeholders) {
    const RecordBytes old(FileBytes(std::string(before)), "before", fields.size());
    const RecordBytes now(FileBytes(std::string(after)), "after", fields.size());
    auto named = [&](const RecordBytes& file, std::size_t& blanks) {
        std::vector<Named> list;
        for (std::size_t i = 0; i < file.size(); ++i)
            if (placeholders && file.line(i, 0) == kPlaceholderName)
                ++blanks;
            else
                list.push_back({i, file.line(i, 0)});
        return list;
    };
    std::size_t oldBlanks = 0, newBlanks = 0;
    const std::vector<Named> was = named(old, oldBlanks), is = named(now, newBlanks);

    // The n-th record of a name meets the n-th of that name.
    std::map<std::pair<std::string_view, std::size_t>, std::size_t> where;
    std::map<std::string_view, std::size_t> seen;
    for (std::size_t j = 0; j < is.size(); ++j)
        where[{is[j].name, seen[is[j].name]++}] = j;
    seen.clear();
    std::vector<std::optional<std::size_t>> match(was.size());
    std::vector<bool> taken(is.size(), false);
    for (std::size_t i = 0; i < was.size(); ++i)
        if (const auto at = where.find({was[i].name, seen[was[i].name]++}); at != where.end()) {
            match[i] = at->second;
            taken[at->second] = true;
        }
    // One that left and one that joined at the same place: the same record, renamed.
    std::vector<bool> renamed(was.size(), false);
    for (std::size_t i = 0; i < was.size(); ++i)
        for (std::size_t j = 0; !match[i] && j < is.size(); ++j)
            if (!taken[j] && is[j].record == was[i].record) {
                match[i] = j;
                taken[j] = renamed[i] = true;
            }

    for (std::size_t i = 0; i < was.size(); ++i) {
        if (!match[i]) {
            out.add(std::string(was[i].name) + " left");
            continue;
        }
        const Named& to = is[*match[i]];
        if (renamed[i])
            out.add(std::string(was[i].name) + ": " +
                    change(fields[0].caption, was[i].name, to.name));
        for (const Field& f : fields.subspan(1))
            if (old.line(was[i].record, f.line) != now.line(to.record, f.line))
                out.add(std::string(to.name) + ": " +
                        change(f.caption, old.line(was[i].record, f.line),
                               now.line(to.record, f.line)));
    }
    for (std::size_t j = 0; j < is.size(); ++j)
        if (!taken[j])
            out.add(std::string(is[j].name) + " joined");
    // Records that stayed but no longer follow each other as they did.
    std::vector<std::size_t> order;
    for (const auto& m : match)
        if (m)
            order.push_back(*m);
    if (!std::ranges::is_sorted(order))
        out.add("order changed");
    if (oldBlanks != newBlanks)
        out.add("placeholder records " + std::to_string(oldBlanks) + " -> " +
                std::to_string(newBlanks));
}

std::string saveCaption(std::size_t line, std::string_view federation) {
    using savegame::Setting;
    using savegame::settingLabel;
    switch (line) {
    case SaveHeader::Commissioner:
        return std::string(settingLabel(Setting::Commissioner));
    case SaveHeader::Federation:
        return "Federation";
    case SaveHeader::Weekday:
    case SaveHeader::Day:
    case SaveHeader::Month:
    case SaveHeader::Year:
    case SaveHeader::Bank:
        return std::string(settingLabel(
            static_cast<Setting>(line - SaveHeader::Weekday + std::size_t(Setting::Weekday))));
    case SaveHeader::TagTeamName:
        return "Tag team champions";
    case SaveHeader::TagTeamFirst:
        return "Tag team champion 1";
    case SaveHeader::TagTeamSecond:
        return "Tag team champion 2";
    default:
        break;
    }
    if (line >= SaveHeader::Title1 && line <= SaveHeader::Title5) {
        const std::size_t t = line - SaveHeader::Title1;
        if (const auto names = savegame::titleNames(federation))
            return std::string((*names)[t]);
        return "Title " + std::to_string(t + 1);
    }
    if (line < SaveHeader::Feud1Marker)
        return "Feud " + std::to_string(line - SaveHeader::Feud1Text + 1);
    const std::size_t feud = (line - SaveHeader::Feud1Marker) / 2 + 1;
    return "Feud " + std::to_string(feud) +
           ((line - SaveHeader::Feud1Marker) % 2 == 0 ? " marker" : " level");
}

void diffSaveGame(Lines& out, std::string_view before, std::string_view after) {
    const SaveHeader old = parseSaveGame(before, "before"), now = parseSaveGame(after, "after");
    for (std::size_t n = 1; n <= SaveHeader::kLines; ++n)
        if (old.line(n) != now.line(n))
            out.add(
                change(saveCaption(n, now.line(SaveHeader::Federation)), old.line(n), now.line(n)));
    if (old.rest != now.rest)
        out.add("the game's data after line " + std::to_string(SaveHeader::kLines) + " " +
                sizes(old.rest, now.rest));
}

std::vector<std::string_view> splitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    for (LineReader reader(bytes); !reader.atEnd();)
        lines.push_back(reader.next());
    return lines;
}

void diffSlotNames(Lines& out, std::string_view before, std::string_view after) {
    const auto old = splitLines(before), now = splitLines(after);
    for (std::size_t i = 0; i < std::max(old.size(), now.size()); ++i) {
        const std::string_view a = i < old.size() ? old[i] : "", b = i < now.size() ? now[i] : "";
        if (a != b || (i < old.size()) != (i < now.size()))
            out.add(change(i < std::size(kSlots) ? "Save " + std::to_string(i + 1)
                                                 : "line " + std::to_string(i + 1),
                           a, b));
    }
}

} // namespace

std::string fileLabel(std::string_view relative) {
    return classify(relative).first;
}

std::vector<std::string> diffVersions(std::string_view relative, std::string_view before,
                                      std::string_view after) {
    const auto [label, kind] = classify(relative);
    Lines out(label);
    if (before == after) {
        out.add("unchanged");
        return out.take();
    }
    try {
        switch (kind) {
        case Kind::Roster:
            diffRecords(out, before, after, kWrestlerFields, true);
            break;
        case Kind::Rival:
            diffRecords(out, before, after, kOtherFedFields, true);
            break;
        case Kind::Managers:
            diffRecords(out, before, after, kManagerFields, false);
            break;
        case Kind::SaveGame:
            diffSaveGame(out, before, after);
            break;
        case Kind::SlotNames:
            diffSlotNames(out, before, after);
            break;
        case Kind::Other:
            break;
        }
    } catch (const GameFileError&) {
        out = Lines(label); // no readable records on one side: their sizes say what they can
    }
    // Line ends or the bytes of placeholders: nothing a window shows, yet not the same file.
    if (out.empty())
        out.add(sizes(before, after));
    return out.take();
}

std::vector<std::string> describePoint(const std::string& gameFolder, std::string_view slot,
                                       unsigned long long id) {
    const std::vector<RestorePoint> points = listRestorePoints(gameFolder, slot);
    const auto at = std::ranges::find(points, id, &RestorePoint::id);
    if (at == points.end())
        throw OperationRefused(std::string(slot) + " has no restore point " + std::to_string(id) +
                               ".");
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < at->files.size(); ++i) {
        const std::string& file = at->files[i];
        const std::string label = fileLabel(file);
        const fs::path now = fs::path(gameFolder) / file;
        // Newer points lie before this one, the next newer right before it.
        fs::path after = now;
        for (auto newer = std::make_reverse_iterator(at); newer != points.rend(); ++newer)
            if (const auto j = std::ranges::find(newer->files, file); j != newer->files.end()) {
                after = newer->kept(static_cast<std::size_t>(j - newer->files.begin()));
                break;
            }
        // Read once: checked against what the change left, then compared.
        std::optional<std::string> then;
        try {
            then = readFileBytes(after);
        } catch (const GameFileError&) {
        }
        // A point made before the editor recorded what changes leave cannot tell.
        if (at->left[i] && !(then && holdsState(*then, *at->left[i]))) {
            lines.push_back(label + ": changed outside the editor since; compared as it is now");
            if (after != now)
                then.reset();
            after = now;
        }
        std::string before;
        try {
            before = readFileBytes(at->kept(i));
        } catch (const GameFileError& e) {
            lines.push_back(label +
                            ": the version before the change cannot be read: " + e.problem());
            continue;
        }
        try {
            if (!then)
                then = readFileBytes(after);
        } catch (const GameFileError& e) {
            lines.push_back(label + ": cannot be read now: " + e.problem());
            continue;
        }
        for (auto& line : diffVersions(file, before, *then))
            lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace hv::restore
