#include "table_ops.h"

#include "otherfeds/otherfeds_ops.h"

#include "gamefiles/assignments.h"
#include "gamefiles/error.h"
#include "gamefiles/file_change.h"
#include "gamefiles/text.h"

#include <algorithm>
#include <map>

namespace hv::table {
namespace {

using W = WrestlerRecord;

const Field& fieldOf(RecordKind kind, std::size_t line) {
    return tableFields(kind)[line];
}

std::string caption(RecordKind kind, std::size_t line) {
    std::string_view text = fieldOf(kind, line).caption;
    while (text.ends_with(' '))
        text.remove_suffix(1);
    return std::string(text);
}

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// A record's stored text with the lines marked in `changed` put in anew, every other line
// (and line end) kept byte for byte.
template <std::size_t N>
std::string withLines(std::string_view text, const std::array<std::string, N>& lines,
                      const std::array<bool, N>& changed) {
    std::string out;
    out.reserve(text.size() + 64);
    std::size_t at = 0;
    for (std::size_t l = 0; l < N; ++l) {
        const std::size_t lf = text.find('\n', at);
        const std::size_t next = lf == std::string_view::npos ? text.size() : lf + 1;
        if (changed[l])
            appendTextLine(out, lines[l]);
        else
            out.append(text.substr(at, next - at));
        at = next;
    }
    return out;
}

template <class Record>
TableApplied mergeTable(RecordFile<Record>& file, const TableSource& source,
                        std::span<const TableEdit> edits) {
    constexpr RecordKind kind =
        Record::kLines == W::kLines ? RecordKind::Wrestler : RecordKind::Rival;
    const auto describe = [](std::size_t line) {
        return std::pair{fieldOf(kind, line).caption, fieldOf(kind, line).numberLike()};
    };
    std::map<std::size_t, std::vector<FieldEdit>> byRecord;
    std::map<std::size_t, std::string> names;
    for (const TableEdit& e : edits) {
        byRecord[e.record].push_back(e.edit);
        names[e.record] = e.name;
    }
    std::vector<Conflict> conflicts;
    TableApplied done{0, file.sameAsKnown(), {}};
    for (const auto& [record, recordEdits] : byRecord) {
        const std::string& name = names[record];
        const std::string label = "row " + std::to_string(record + 1) + " (" + name + ")";
        if (record >= file.size() || file.name(record) != name) {
            const std::string now = record < file.size() ? std::string(file.name(record)) : "";
            conflicts.push_back({label, "Name", W::Name, name, name, now});
            continue;
        }
        Record r = file.record(record);
        for (Conflict& c : mergeEdits(r.lines, std::span(recordEdits), label, describe))
            conflicts.push_back(std::move(c));
        std::array<bool, Record::kLines> changed{};
        for (std::size_t l = 0; l < Record::kLines; ++l) {
            if (r.lines[l] == file.line(record, l))
                continue;
            changed[l] = true;
            ++done.lines;
            refuseLineBreak(source.file.file, "value of " + inQuotes(caption(kind, l)), r.lines[l]);
            if (auto problem = cellProblem(kind, l, r.lines[l]))
                refuseChange(source.file.file, *problem, file.firstLine(record) + l);
        }
        if (std::ranges::find(changed, true) != changed.end())
            done.records.emplace_back(record, withLines(file.text(record), r.lines, changed));
    }
    if (!conflicts.empty())
        throw ConflictError(std::move(conflicts));
    for (const auto& [record, text] : done.records)
        file.replace(record, text);
    return done;
}

template <class Record>
TableApplied applyEdits(const TableSource& source, std::span<const TableEdit> edits,
                        const RecordBytes& shown) {
    const std::string description = "Roster Table: " + std::to_string(edits.size()) +
                                    (edits.size() == 1 ? " change in " : " changes in ") +
                                    source.caption;
    return editRecordFile<Record>(
        source.file, description,
        [&](RecordFile<Record>& file) { return mergeTable(file, source, edits); }, &shown);
}

} // namespace

std::vector<TableSource> tableSources(const std::string& gameFolder, std::string_view slot) {
    using otherfeds::Party;
    std::string own = otherfeds::federationOf(gameFolder, slot);
    std::vector<TableSource> out;
    out.push_back({own.empty() ? std::string("Your Fed") : own, RecordKind::Wrestler,
                   SlotFile(gameFolder, slot, GameFile::Roster)});
    const auto rival = otherfeds::otherBigFedOf(gameFolder, slot);
    if (rival)
        out.push_back({*rival, RecordKind::Rival,
                       otherfeds::partyFile(gameFolder, slot, Party::Rival, *rival)});
    out.push_back({"ECW", RecordKind::Rival, otherfeds::partyFile(gameFolder, slot, Party::Ecw)});
    out.push_back(
        {"Indy/Other", RecordKind::Rival, otherfeds::partyFile(gameFolder, slot, Party::Indy)});
    return out;
}

std::span<const Field> tableFields(RecordKind kind) {
    if (kind == RecordKind::Wrestler)
        return kWrestlerFields;
    return kOtherFedFields;
}

TableFile readTableFile(const TableSource& source) {
    // Read, not mapped: the window holds the bytes while it is open, and the game may write the
    // file in place meanwhile.
    std::string bytes = readFileBytes(source.file.file);
    StateHasher hasher;
    hasher.add(bytes);
    const FileState read = hasher.state();
    return {
        RecordBytes(FileBytes(std::move(bytes)), source.file.file, tableFields(source.kind).size()),
        read};
}

bool isPlaceholder(const RecordBytes& records, std::size_t record) {
    return records.firstLineIs(record, kPlaceholderName);
}

std::string cellShown(RecordKind kind, std::size_t line, std::string_view stored) {
    return fieldOf(kind, line).shown(stored);
}

bool cellIsNumber(RecordKind kind, std::size_t line) {
    return fieldOf(kind, line).kind == FieldKind::Number;
}

std::optional<std::string> cellProblem(RecordKind kind, std::size_t line, std::string_view typed) {
    const Field& field = fieldOf(kind, line);
    const std::string name = caption(kind, line);
    const std::string value = field.stored(typed);
    if (hasLineBreak(value))
        return name + " holds one line";
    // A code field takes its words, or a code as stored.
    if (field.kind == FieldKind::Code && field.choice(typed) == nullptr &&
        field.storedChoice(typed) == nullptr && (!field.numberLike() || field.refusal(typed)))
        return name + " takes " + field.choiceWords() + ", not " + inQuotes(typed);
    if (auto problem = field.refusal(value))
        return name + " " + std::string(*problem) + ": " + inQuotes(typed);
    return std::nullopt;
}

std::string cellStored(RecordKind kind, std::size_t line, std::string_view typed,
                       std::string_view stored) {
    const Field& field = fieldOf(kind, line);
    // The stored bytes stay where the typed text is how they show: " 3 " stays " 3 ".
    if (typed == field.shown(stored))
        return std::string(stored);
    if (const Choice* c = field.choice(typed); c != nullptr && field.storedChoice(stored) == c)
        return std::string(stored);
    return field.stored(typed);
}

std::optional<std::string> cellAdded(RecordKind kind, std::size_t line, std::string_view typed,
                                     std::string_view stored) {
    const std::string_view bare = trimmedBlanks(typed);
    if (!cellIsNumber(kind, line) || !(bare.starts_with('+') || bare.starts_with('-')))
        return std::nullopt;
    const auto delta = parseNumber(bare);
    const auto now =
        trimmedBlanks(stored).empty() ? std::optional<long long>(0) : parseNumber(stored);
    if (!delta || !now)
        return std::nullopt;
    long long sum = *now + *delta;
    if (auto minimum = fieldOf(kind, line).minimum)
        sum = std::max(sum, *minimum);
    return sum == *now ? std::string(stored) : numberLine(sum);
}

std::vector<TableCondition> parseConditions(RecordKind kind, std::string_view text) {
    std::vector<TableCondition> out;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view piece = trimmedBlanks(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        if (!piece.empty())
            out.push_back(roster::parseCondition(
                piece, tableFields(kind),
                kind == RecordKind::Wrestler ? roster::kRosterSetCommand : "hv rivals set"));
    }
    return out;
}

TableApplied applyTableEdits(const TableSource& source, std::span<const TableEdit> edits,
                             const RecordBytes& shown) {
    if (source.kind == RecordKind::Wrestler)
        return applyEdits<WrestlerRecord>(source, edits, shown);
    return applyEdits<OtherFedRecord>(source, edits, shown);
}

} // namespace hv::table
