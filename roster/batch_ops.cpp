#include "batch_ops.h"

#include "gamefiles/assignments.h"
#include "gamefiles/file_change.h"
#include "gamefiles/text.h"

#include <algorithm>

namespace hv::roster {
namespace {

using Line = WrestlerRecord::Line;

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

const Field& fieldOf(Line line) {
    return kWrestlerFields[line];
}

// The field `a` names, one of those of the command `setCommand`.
const Field& fieldNamed(const Assignment& a, std::string_view given,
                        std::string_view setCommand = kRosterSetCommand) {
    if (a.field == nullptr)
        throw BatchSyntaxError("unknown field " + quoted(a.name) + " in " + quoted(given) +
                               "; the fields are those of `" + std::string(setCommand) + "`");
    return *a.field;
}

bool isNumberField(Line line) {
    return fieldOf(line).kind == FieldKind::Number;
}

std::string_view nameOf(Line line) {
    return fieldOf(line).name;
}

bool isCodeField(Line line) {
    return fieldOf(line).kind == FieldKind::Code;
}

// A refusal of a value a code field does not take, naming the ones it does.
BatchSyntaxError notAWord(const Field& field, std::string_view value) {
    return BatchSyntaxError(std::string(field.name) + " takes " + field.choiceWords() +
                            " (in any case), not " + quoted(value));
}

bool meets(const Condition& c, std::string_view stored) {
    const std::string value = c.field->shown(stored);
    const auto number = parseNumber(value);
    switch (c.op) {
    case Compare::Contains:
        return containsFolded(value, c.value);
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

struct Planned {
    FieldChangeLine shown;
    std::string stored; // the new line
};

std::vector<Planned> plan(const WrestlerFile& file, const BatchEdit& edit) {
    std::vector<Planned> out;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file.isPlaceholder(i) || !std::ranges::all_of(edit.conditions, [&](const Condition& c) {
                return meets(c, file.line(i, c.field->line));
            }))
            continue;
        std::vector<std::pair<Line, std::string>> lines;
        for (const FieldChange& change : edit.changes) {
            const std::string_view stored = file.line(i, change.field);
            std::string line = change.value;
            if (change.delta) {
                const bool blank = trimmedBlanks(stored).empty();
                const auto number = blank ? std::optional<long long>(0) : parseNumber(stored);
                if (!number)
                    refuseChange(file.file(),
                                 "the " + std::string(nameOf(change.field)) + " of " +
                                     quoted(file.name(i)) + " is not a number: " + quoted(stored),
                                 file.firstLine(i) + change.field);
                // Both sides have at most 18 digits: the sum cannot overflow.
                long long sum = *number + *change.delta;
                if (auto minimum = fieldOf(change.field).minimum)
                    sum = std::max(sum, *minimum);
                if (sum == *number)
                    continue;
                line = numberLine(sum);
            } else if (fieldOf(change.field).sameValue(stored, line)) {
                continue;
            }
            lines.emplace_back(change.field, std::move(line));
        }
        for (auto& [field, line] : lines) {
            const std::string_view stored = file.line(i, field);
            out.push_back({{i, std::string(file.name(i)), field, fieldOf(field).shown(stored),
                            fieldOf(field).shown(line)},
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
std::string storedValue(Line line, std::string_view value, std::string_view given) {
    const Field& field = fieldOf(line);
    const std::string name = quoted(field.name);
    if (isCodeField(line)) {
        const auto code = field.code(value, true);
        if (!code)
            throw notAWord(field, value);
        return *code;
    }
    // The sum of +N on a number field; on a text field it would be the text "+1".
    const std::string_view bare = trimmedBlanks(value);
    if (!isNumberField(line) && parseNumber(value) &&
        (bare.starts_with('+') || bare.starts_with('-')))
        throw BatchSyntaxError(quoted(given) + ": " + name +
                               " is a text field; +N and -N add only to the number fields");
    if (isNumberField(line) && field.refusal(value))
        throw BatchSyntaxError(name + " takes a number, +N or -N, not " + quoted(value));
    if (auto problem = field.refusal(value))
        throw BatchSyntaxError(quoted(value) + " " + std::string(*problem));
    if (!field.joinsLineBreaks && hasLineBreak(value))
        throw BatchSyntaxError("a line break in " + quoted(given) + "; " + name +
                               " holds one line");
    return field.stored(value);
}

} // namespace

Condition parseCondition(std::string_view text, std::span<const Field> fields,
                         std::string_view setCommand) {
    const auto bad = [&] {
        return BatchSyntaxError("expected FIELD OP VALUE with OP one of = != < > <= >= ~, not " +
                                quoted(text));
    };
    const auto a = parseAssignment(text, fields, AssignmentForm::Condition);
    if (!a)
        throw bad();
    const Field& field = fieldNamed(*a, text, setCommand);
    Condition c{&field, a->op, std::string(a->value), a->number};
    if (!a->hasOperator)
        throw bad();
    const std::string_view value = a->value;
    const bool ordering =
        c.op != Compare::Equal && c.op != Compare::NotEqual && c.op != Compare::Contains;
    if (ordering && !c.number)
        throw BatchSyntaxError(quoted(text) + ": < > <= >= compare numbers, and " + quoted(value) +
                               " is none");
    // "contains nothing" holds for everybody: the condition would change every wrestler.
    if (c.op == Compare::Contains && value.empty())
        throw BatchSyntaxError(quoted(text) + ": ~ needs the text to look for");
    // A code field is compared as its words, so a condition takes the words a change takes.
    if (field.kind == FieldKind::Code && c.op != Compare::Contains) {
        if (ordering)
            throw BatchSyntaxError(quoted(text) + ": " + std::string(field.name) +
                                   " is compared as words, with = != or ~");
        const Choice* word = field.choice(value, true);
        if (word == nullptr)
            throw notAWord(field, value);
        c.value = word->words;
        c.number.reset();
    }
    // A number field is compared with a number, or with nothing for a blank line.
    if (field.kind == FieldKind::Number && c.op != Compare::Contains && !c.number && !value.empty())
        throw BatchSyntaxError(quoted(text) + ": " + std::string(field.name) +
                               " is a number field, and " + quoted(value) + " is no number");
    return c;
}

bool conditionMet(const Condition& condition, std::string_view stored) {
    return meets(condition, stored);
}

FieldChange parseChange(std::string_view text) {
    const auto a = parseAssignment(text, kWrestlerFields, AssignmentForm::TrimmedChange);
    if (!a)
        throw BatchSyntaxError("expected FIELD=VALUE, not " + quoted(text));
    FieldChange change{static_cast<Line>(fieldNamed(*a, text).line), {}, {}};
    if (a->adds) {
        change.delta = a->number;
        if (!change.delta)
            throw BatchSyntaxError(quoted(nameOf(change.field)) +
                                   " takes a number, +N or -N, not " + quoted(a->value));
        return change;
    }
    change.value = storedValue(change.field, a->value, text);
    return change;
}

BatchEdit parseBatch(const std::vector<std::string>& changes,
                     const std::vector<std::string>& conditions) {
    BatchEdit edit;
    for (const std::string& text : changes) {
        if (trimmedBlanks(text).empty())
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
        if (!trimmedBlanks(text).empty())
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
