#include "assignments.h"

#include "text.h"

#include <algorithm>
#include <array>
#include <utility>

namespace hv {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Longer operators first, so that "<=" is not read as "<".
constexpr std::array<std::pair<std::string_view, Compare>, 7> kOps = {{
    {"<=", Compare::LessOrEqual},
    {">=", Compare::GreaterOrEqual},
    {"!=", Compare::NotEqual},
    {"=", Compare::Equal},
    {"<", Compare::Less},
    {">", Compare::Greater},
    {"~", Compare::Contains},
}};

} // namespace

std::string_view trimmedBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<Assignment> parseAssignment(std::string_view text, std::span<const Field> fields,
                                          AssignmentForm form) {
    Assignment a;
    if (form == AssignmentForm::Condition) {
        const std::string_view rest = trimmedBlanks(text);
        const std::size_t end = rest.find_first_of("=!<>~ \t");
        if (end == 0 || end == std::string_view::npos)
            return std::nullopt;
        a.name = rest.substr(0, end);
        const std::string_view op = trimmedBlanks(rest.substr(end));
        const auto found =
            std::ranges::find_if(kOps, [&](auto& o) { return op.starts_with(o.first); });
        a.field = findField(fields, a.name);
        if (found == kOps.end()) {
            a.hasOperator = false;
            return a;
        }
        a.op = found->second;
        a.value = op.substr(found->first.size());
        while (!a.value.empty() && isBlank(a.value.front()))
            a.value.remove_prefix(1);
        a.number = parseNumber(a.value);
        return a;
    }
    {
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos)
            return std::nullopt;
        a.name = text.substr(0, equals);
        if (form == AssignmentForm::TrimmedChange)
            a.name = trimmedBlanks(a.name);
        a.value = text.substr(equals + 1);
    }
    a.field = findField(fields, a.name);
    if (form == AssignmentForm::TrimmedChange && a.field && a.field->kind == FieldKind::Number) {
        const std::string_view bare = trimmedBlanks(a.value);
        a.adds = bare.starts_with('+') || bare.starts_with('-');
        if (a.adds) {
            a.number = parseNumber(bare);
            return a;
        }
    }
    a.number = parseNumber(a.value);
    return a;
}

} // namespace hv
