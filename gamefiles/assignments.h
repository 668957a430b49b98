#pragma once

// FIELD=VALUE, FIELD=+N / FIELD=-N and FIELD OP VALUE as `hv` and the batch window take them,
// read one way for every command: the caller words its own refusals from what comes back.

#include "fields.h"

#include <optional>
#include <span>
#include <string_view>

namespace hv {

enum class Compare { Equal, NotEqual, Less, Greater, LessOrEqual, GreaterOrEqual, Contains };

enum class AssignmentForm {
    Change,        // FIELD=VALUE: the field's name exactly as given before the first '='
    TrimmedChange, // as Change, blanks around the name dropped; +N / -N on a number field
    Condition,     // FIELD OP VALUE, OP one of = != < > <= >= ~; blanks around FIELD and OP
};

struct Assignment {
    std::string_view name;        // the field's name as given
    Compare op = Compare::Equal;  // a change's is Equal
    std::string_view value;       // after the operator: as given (a condition's without the
                                  // blanks before it)
    const Field* field = nullptr; // none: no field of the table has the name
    // TrimmedChange: the value is +N or -N (blanks around it aside) on a number field; `number`
    // holds N, or nothing when the rest is no number.
    bool adds = false;
    std::optional<long long> number; // the value as a number, when it is one
    bool hasOperator = true;         // false: a condition's name is followed by no operator
};

// `text` read in `form`, its field looked up in `fields` (may be empty: an index "1=..." is
// the caller's). Nothing when it has no '=' (a condition: no name, or nothing after it).
std::optional<Assignment> parseAssignment(std::string_view text, std::span<const Field> fields,
                                          AssignmentForm form = AssignmentForm::Change);

// Blanks and tabs around the text dropped.
std::string_view trimmedBlanks(std::string_view text);

} // namespace hv
