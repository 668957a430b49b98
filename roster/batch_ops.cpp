#include "batch_ops.h"

#include "gamefiles/file_change.h"
#include "gamefiles/text.h"

#include <algorithm>
#include <array>

namespace hv::roster {
namespace {

using Line = WrestlerRecord::Line;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

Line fieldNamed(std::string_view name, std::string_view given) {
    if (const Field* f = findField(kWrestlerFields, name))
        return static_cast<Line>(f->line);
    throw BatchSyntaxError("unknown field " + quoted(name) + " in " + quoted(given) +
                           "; the fields are those of `hv roster set`");
}

bool isNumberField(Line line) {
    return kWrestlerFields[line].kind == FieldKind::Number;
}

std::string_view nameOf(Line line) {
    return kWrestlerFields[line].name;
}

// A line as `hv roster show` shows it.
std::string_view shown(Line line, std::string_view stored) {
    if (line == Line::Carder)
        if (auto words = carderName(stored); !words.empty())
            return words;
    if (line == Line::FinisherType)
        if (auto words = finisherTypeName(stored); !words.empty())
            return words;
    return stored;
}

// Case folding for "contains": A-Z and the Latin-1 capitals, as the game's 8-bit text has them.
char folded(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
        return static_cast<char>(u + 32);
    return c;
}

bool contains(std::string_view text, std::string_view part) {
    const auto same = [](char a, char b) { return folded(a) == folded(b); };
    return part.empty() ||
           std::search(text.begin(), text.end(), part.begin(), part.end(), same) != text.end();
}

bool isCodeField(Line line) {
    return line == Line::Carder || line == Line::FinisherType;
}

// The words a code field takes, and the one `text` names in any case.
std::vector<std::string_view> codeWords(Line line) {
    if (line == Line::Carder)
        return {"Upper Carder", "Middle Carder", "Lower Carder"};
    return {"Power Move", "Submission"};
}
std::optional<std::string_view> codeWord(Line line, std::string_view text) {
    for (std::string_view word : codeWords(line))
        if (word.size() == text.size() &&
            std::equal(word.begin(), word.end(), text.begin(),
                       [](char a, char b) { return folded(a) == folded(b); }))
            return word;
    return std::nullopt;
}

// A refusal of a value a code field does not take, naming the ones it does.
BatchSyntaxError notAWord(Line line, std::string_view value) {
    std::string words;
    const auto all = codeWords(line);
    for (std::size_t i = 0; i < all.size(); ++i)
        words += (i == 0 ? "" : i + 1 == all.size() ? " or " : ", ") + quoted(all[i]);
    return BatchSyntaxError(std::string(nameOf(line)) + " takes " + words + " (in any case), not " +
                            quoted(value));
}

bool meets(const Condition& c, std::string_view stored) {
    const std::string_view value = shown(c.field, stored);
    const auto number = parseNumber(value);
    switch (c.op) {
    case Compare::Contains:
        return contains(value, c.value);
    case Compare::Equal:
    case Compare::NotEqual: {
        const bool equal = c.number && number ? *number == *c.number : value == c.value;
        return equal == (c.op == Compare::Equal);
    }
    case Compare::Less:
        return number && *number < *c.number;
    case Compare::Greater:
        return number && *number > *c.number;
    case Compare::LessOrEqual:
        return number && *number <= *c.number;
    case Compare::GreaterOrEqual:
        return number && *number >= *c.number;
    }
    return false;
}

// Whether writing `line` over `stored` leaves the value as it was: the same number in a
// number field or carder, the same bytes elsewhere.
bool sameValue(Line field, std::string_view stored, std::string_view line) {
    if (isNumberField(field) || field == Line::Carder) {
        const auto a = parseNumber(stored), b = parseNumber(line);
        if (a || b)
            return a == b;
    }
    return stored == line;
}

struct Planned {
    FieldChangeLine shown;
    std::string stored; // the new line
};

std::vector<Planned> plan(const WrestlerFile& file, const BatchEdit& edit) {
    std::vector<Planned> out;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file.isPlaceholder(i) || !std::ranges::all_of(edit.conditions, [&](const Condition& c) {
                return meets(c, file.line(i, c.field));
            }))
            continue;
        std::vector<std::pair<Line, std::string>> lines;
        for (const FieldChange& change : edit.changes) {
            const std::string_view stored = file.line(i, change.field);
            std::string line = change.value;
            if (change.delta) {
                const bool blank = trimmed(stored).empty();
                const auto number = blank ? std::optional<long long>(0) : parseNumber(stored);
                if (!number)
                    refuseChange(file.file(),
                                 "the " + std::string(nameOf(change.field)) + " of " +
                                     quoted(file.name(i)) + " is not a number: " + quoted(stored),
                                 file.firstLine(i) + change.field);
                // Both sides have at most 18 digits: the sum cannot overflow.
                long long sum = *number + *change.delta;
                if (auto minimum = kWrestlerFields[change.field].minimum)
                    sum = std::max(sum, *minimum);
                if (sum == *number)
                    continue;
                line = numberLine(sum);
            } else if (sameValue(change.field, stored, line)) {
                continue;
            }
            lines.emplace_back(change.field, std::move(line));
        }
        for (auto& [field, line] : lines) {
            const std::string_view stored = file.line(i, field);
            out.push_back({{i, std::string(file.name(i)), field, std::string(shown(field, stored)),
                            std::string(shown(field, line))},
                           std::move(line)});
        }
    }
    return out;
}

BatchPlan shownPlan(const std::vector<Planned>& planned) {
    BatchPlan result;
    for (const Planned& p : planned) {
        if (result.lines.empty() || result.lines.back().record != p.shown.record)
            ++result.wrestlers;
        result.lines.push_back(p.shown);
    }
    return result;
}

// The value to write for a plain FIELD=VALUE, or a refusal.
std::string storedValue(Line field, std::string_view value, std::string_view given) {
    const std::string name = quoted(nameOf(field));
    if (isCodeField(field)) {
        const auto word = codeWord(field, value);
        if (!word)
            throw notAWord(field, value);
        if (field == Line::Carder)
            return numberLine(*carderCode(*word));
        return std::string(*finisherTypeCode(*word));
    }
    // The sum of +N on a number field; on a text field it would be the text "+1".
    if (!isNumberField(field) && parseNumber(value) &&
        (trimmed(value).starts_with('+') || trimmed(value).starts_with('-')))
        throw BatchSyntaxError(quoted(given) + ": " + name +
                               " is a text field; +N and -N add only to the number fields");
    if (isNumberField(field) && !isNumberValue(value))
        throw BatchSyntaxError(name + " takes a number, +N or -N, not " + quoted(value));
    if (field == Line::Name && value == kPlaceholderName)
        throw BatchSyntaxError("\"name\" marks the game's placeholder records and cannot be a "
                               "wrestler's name");
    if ((field == Line::TagTeam || field == Line::Stable) && value.empty())
        return "no";
    if (field == Line::Description)
        return joinLineBreaks(value);
    if (hasLineBreak(value))
        throw BatchSyntaxError("a line break in " + quoted(given) + "; " + name +
                               " holds one line");
    return std::string(value);
}

} // namespace

Condition parseCondition(std::string_view text) {
    const std::string_view rest = trimmed(text);
    const std::size_t end = rest.find_first_of("=!<>~ \t");
    const auto bad = [&] {
        return BatchSyntaxError("expected FIELD OP VALUE with OP one of = != < > <= >= ~, not " +
                                quoted(text));
    };
    if (end == 0 || end == std::string_view::npos)
        throw bad();
    Condition c{fieldNamed(rest.substr(0, end), text), Compare::Equal, {}, {}};
    std::string_view op = trimmed(rest.substr(end));
    static constexpr std::array<std::pair<std::string_view, Compare>, 7> kOps = {{
        {"<=", Compare::LessOrEqual},
        {">=", Compare::GreaterOrEqual},
        {"!=", Compare::NotEqual},
        {"=", Compare::Equal},
        {"<", Compare::Less},
        {">", Compare::Greater},
        {"~", Compare::Contains},
    }};
    const auto found = std::ranges::find_if(kOps, [&](auto& o) { return op.starts_with(o.first); });
    if (found == kOps.end())
        throw bad();
    c.op = found->second;
    std::string_view value = op.substr(found->first.size());
    while (!value.empty() && isBlank(value.front()))
        value.remove_prefix(1);
    c.value = value;
    c.number = parseNumber(value);
    const bool ordering =
        c.op != Compare::Equal && c.op != Compare::NotEqual && c.op != Compare::Contains;
    if (ordering && !c.number)
        throw BatchSyntaxError(quoted(text) + ": < > <= >= compare numbers, and " + quoted(value) +
                               " is none");
    // "contains nothing" holds for everybody: the condition would change every wrestler.
    if (c.op == Compare::Contains && value.empty())
        throw BatchSyntaxError(quoted(text) + ": ~ needs the text to look for");
    // A code field is compared as its words, so a condition takes the words a change takes.
    if (isCodeField(c.field) && c.op != Compare::Contains) {
        if (ordering)
            throw BatchSyntaxError(quoted(text) + ": " + std::string(nameOf(c.field)) +
                                   " is compared as words, with = != or ~");
        const auto word = codeWord(c.field, value);
        if (!word)
            throw notAWord(c.field, value);
        c.value = *word;
        c.number.reset();
    }
    // A number field is compared with a number, or with nothing for a blank line.
    if (isNumberField(c.field) && c.op != Compare::Contains && !c.number && !value.empty())
        throw BatchSyntaxError(quoted(text) + ": " + std::string(nameOf(c.field)) +
                               " is a number field, and " + quoted(value) + " is no number");
    return c;
}

bool conditionMet(const Condition& condition, std::string_view stored) {
    return meets(condition, stored);
}

FieldChange parseChange(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        throw BatchSyntaxError("expected FIELD=VALUE, not " + quoted(text));
    FieldChange change{fieldNamed(trimmed(text.substr(0, equals)), text), {}, {}};
    const std::string_view value = text.substr(equals + 1);
    const std::string_view bare = trimmed(value);
    if (isNumberField(change.field) && (bare.starts_with('+') || bare.starts_with('-'))) {
        change.delta = parseNumber(bare);
        if (!change.delta)
            throw BatchSyntaxError(quoted(nameOf(change.field)) +
                                   " takes a number, +N or -N, not " + quoted(value));
        return change;
    }
    change.value = storedValue(change.field, value, text);
    return change;
}

BatchEdit parseBatch(const std::vector<std::string>& changes,
                     const std::vector<std::string>& conditions) {
    BatchEdit edit;
    for (const std::string& text : changes) {
        if (trimmed(text).empty())
            continue;
        FieldChange change = parseChange(text);
        if (std::ranges::any_of(edit.changes,
                                [&](const FieldChange& c) { return c.field == change.field; }))
            throw BatchSyntaxError(quoted(nameOf(change.field)) + " is changed twice");
        edit.changes.push_back(std::move(change));
        edit.description += (edit.description.empty() ? "" : ", ") + text;
    }
    if (edit.changes.empty())
        throw BatchSyntaxError("expected at least one FIELD=VALUE");
    for (const std::string& text : conditions)
        if (!trimmed(text).empty())
            edit.conditions.push_back(parseCondition(text));
    // Written in field order, as the lines of a record.
    std::ranges::stable_sort(edit.changes, {}, &FieldChange::field);
    return edit;
}

BatchPlan planBatch(const RosterFile& roster, const BatchEdit& edit) {
    return shownPlan(plan(WrestlerFile::read(roster.file), edit));
}

namespace {

// The edit planned on the roster as it is now, written in one change unless the plan is no
// longer `shown`; a record's changed lines go in together.
BatchResult writePlan(const RosterFile& roster, const BatchEdit& edit, const BatchPlan* shown) {
    return editRecordFile<WrestlerRecord>(
        roster, "Batch edit: " + edit.description, [&](WrestlerFile& file) {
            const std::vector<Planned> planned = plan(file, edit);
            BatchResult result{shownPlan(planned), false};
            if (shown && result.plan != *shown)
                return result;
            for (std::size_t k = 0; k < planned.size();) {
                const std::size_t i = planned[k].shown.record;
                WrestlerRecord record = file.record(i);
                for (; k < planned.size() && planned[k].shown.record == i; ++k)
                    record.lines[planned[k].shown.field] = planned[k].stored;
                file.replace(i, record);
            }
            result.applied = true;
            return result;
        });
}

} // namespace

BatchPlan applyBatch(const RosterFile& roster, const BatchEdit& edit) {
    return writePlan(roster, edit, nullptr).plan;
}

BatchResult applyBatchIfPlanned(const RosterFile& roster, const BatchEdit& edit,
                                const BatchPlan& shown) {
    return writePlan(roster, edit, &shown);
}

} // namespace hv::roster
