#include "fields.h"

#include "error.h"
#include "merge.h"
#include "record_file.h"
#include "text.h"

#include <algorithm>

namespace hv {

char foldedCase(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
        return static_cast<char>(u + 32);
    return c;
}

bool containsFolded(std::string_view text, std::string_view part) {
    const auto same = [](char a, char b) { return foldedCase(a) == foldedCase(b); };
    return part.empty() ||
           std::search(text.begin(), text.end(), part.begin(), part.end(), same) != text.end();
}

namespace {

// A code the game reads as a number: its choices' codes are numbers.
bool numberCode(const Field& f) {
    return f.kind == FieldKind::Code && !f.choices.empty() && parseNumber(f.choices.front().code);
}

bool sameWords(std::string_view a, std::string_view b, bool anyCase) {
    if (!anyCase)
        return a == b;
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldedCase(x) == foldedCase(y);
           });
}

} // namespace

bool Field::numberLike() const {
    return kind == FieldKind::Number || numberCode(*this);
}

const Choice* Field::storedChoice(std::string_view stored) const {
    if (kind != FieldKind::Code)
        return nullptr;
    const bool asNumber = numberCode(*this);
    const auto number = asNumber ? parseNumber(stored) : std::nullopt;
    for (const Choice& c : choices)
        if (asNumber ? number && number == parseNumber(c.code) : stored == c.code)
            return &c;
    return nullptr;
}

std::string Field::shown(std::string_view stored) const {
    const Choice* c = storedChoice(stored);
    return std::string(c != nullptr ? c->words : stored);
}

const Choice* Field::choice(std::string_view typed, bool anyCase) const {
    for (const Choice& c : choices)
        if (sameWords(c.words, typed, anyCase))
            return &c;
    return nullptr;
}

std::string Field::choiceWords() const {
    std::string words;
    for (std::size_t i = 0; i < choices.size(); ++i)
        words += std::string(i == 0                    ? ""
                             : i + 1 == choices.size() ? " or "
                                                       : ", ") +
                 "\"" + std::string(choices[i].words) + "\"";
    return words;
}

std::optional<std::string> Field::code(std::string_view typed, bool anyCase) const {
    if (kind != FieldKind::Code)
        return std::nullopt;
    const Choice* c = choice(typed, anyCase);
    if (c == nullptr)
        return std::nullopt;
    if (auto number = parseNumber(c->code))
        return numberLine(*number);
    return std::string(c->code);
}

std::string Field::stored(std::string_view typed) const {
    if (auto c = code(typed))
        return *c;
    if (typed.empty() && !emptyAs.empty())
        return std::string(emptyAs);
    if (joinsLineBreaks)
        return joinLineBreaks(typed);
    return std::string(typed);
}

bool Field::sameValue(std::string_view a, std::string_view b) const {
    return sameStored(a, b, numberLike());
}

std::optional<std::string_view> Field::refusal(std::string_view value) const {
    if (numberLike()) {
        const bool ok = numberCode(*this) || !mayBeBlank ? parseNumber(value).has_value()
                                                         : isNumberValue(value);
        if (!ok)
            return "is not a number";
    }
    if (refusesPlaceholder && value == kPlaceholderName)
        return kPlaceholderRefusal;
    if (readByFields && value.find_first_of(",\"") != std::string_view::npos)
        return "cannot hold a comma or a double quote: the game reads names by fields and "
               "would not read it back whole";
    return std::nullopt;
}

std::optional<std::string> Field::assigned(std::string_view given, std::string_view stored) const {
    if (kind == FieldKind::Code) {
        const Choice* c = choice(given);
        if (c == nullptr || storedChoice(stored) == c)
            return std::nullopt;
    }
    std::string value = code(given).value_or(
        emptyAs.empty() || !given.empty() ? std::string(given) : std::string(emptyAs));
    if (value == stored)
        return std::nullopt;
    return this->stored(value);
}

std::optional<std::string> Field::assignedOrRefused(std::string_view given, std::string_view stored,
                                                    const std::filesystem::path& file,
                                                    const std::string& what) const {
    std::optional<std::string> value = assigned(given, stored);
    if (value)
        refuse(file, what, *value);
    return value;
}

void Field::refuse(const std::filesystem::path& file, const std::string& what,
                   std::string_view value) const {
    refuseLineBreak(file, what, value);
    if (auto problem = refusal(value))
        refuseChange(file, "the " + what + " " + std::string(*problem) + ": \"" +
                               std::string(value) + "\"");
}

} // namespace hv
