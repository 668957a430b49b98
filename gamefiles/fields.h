#pragma once

// A field's rules in one place: how `hv` names it, how the windows label it, what a box shows
// for a stored line and what a typed value is stored as, which values the game cannot use, and
// when two stored values are the same. Every record kind has one table of these (records.h,
// save_game.h, managers.h), and the windows, the operations, `hv` and `hv check` read them.
//
// A table model uses it per cell:
//   const Field& f = kWrestlerFields[column];
//   std::string shown = f.shown(stored);     // a code as its words
//   std::span<const Choice> offered = f.choices;
//   std::string value = f.stored(typed);     // words as their code, "" as "no", breaks joined
//   if (hasLineBreak(value)) ...             // a field that holds one line (text.h)
//   if (auto problem = f.refusal(value)) ... // caption + " " + *problem: "Draw is not a number"
//   if (f.sameValue(stored, value)) ...      // nothing to write

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace hv {

// How a field's value is read: as text, as a number the game computes with, or as a code the
// game picks by (the carder's 3/2/1, the finisher type's p/s), shown as words.
enum class FieldKind { Text, Number, Code };

// One value a field offers: the words a box shows and, in a code field, the code stored for
// them. A text field's offered value is stored as its words.
struct Choice {
    std::string_view words;
    std::string_view code = {};
};

// One field of a record kind.
struct Field {
    std::size_t line;         // 0-based line in the record (or in the file, for the save game)
    std::string_view name;    // as `hv` takes it ("draw")
    std::string_view caption; // as the windows label it, typos included ("Discription")
    FieldKind kind = FieldKind::Text;
    // The lowest value the game makes sense of, for computed numbers (`+N`/`-N`).
    std::optional<long long> minimum = std::nullopt;
    // The codes and their words (Code), or the values a window offers for a text field.
    std::span<const Choice> choices = {};
    std::string_view emptyAs = {};   // what an empty value is stored as ("no"), when not ""
    bool joinsLineBreaks = false;    // a typed line break is stored as one blank
    bool mayBeBlank = true;          // a number field: a blank line, which the game reads as 0
    bool refusesPlaceholder = false; // the placeholder records' "name" is no value of it
    bool readByFields = false;       // the game reads it by fields: no comma, no double quote
    std::string_view checkAs = {};   // as `hv check` and the refusals name it, when not `name`

    // A number, or a code the game reads as a number (the carder): compared as numbers.
    bool numberLike() const;
    // The name `hv check` and the line break refusals give the field.
    std::string_view checkName() const { return checkAs.empty() ? name : checkAs; }

    // The choice whose code a stored line of a code field holds (a number code compared as
    // a number: " 3 " is "3"), if any.
    const Choice* storedChoice(std::string_view stored) const;
    // A stored line as a box shows it: a code as its words; anything else as stored.
    std::string shown(std::string_view stored) const;
    // The choice whose words `typed` is, exactly or (anyCase) in any case, A-Z and the
    // Latin-1 capitals folded.
    const Choice* choice(std::string_view typed, bool anyCase = false) const;
    // The words of the choices, each in double quotes, for a message: "\"A\", \"B\" or \"C\"".
    std::string choiceWords() const;
    // The line stored for the words of a code ("Upper Carder" -> " 3 ", "Power Move" -> "p").
    std::optional<std::string> code(std::string_view typed, bool anyCase = false) const;
    // What typed text is stored as: a code's words as the code, an empty value as `emptyAs`,
    // line breaks joined where the field joins them; any other text as typed.
    std::string stored(std::string_view typed) const;
    // Whether two stored values are the same value: equal bytes, or in a number-like field
    // the same number, blanks around it aside (a blank line is 0, as the game reads it); the
    // rule of merge.h's sameStored, which the merge of a window's boxes uses.
    bool sameValue(std::string_view a, std::string_view b) const;
    // Why the field cannot hold the stored value `value`, or nothing when it can. The phrase
    // fits after the field's name: "draw" + " is not a number". Line breaks are refused
    // apart: a stored lone CR goes back as it is.
    std::optional<std::string_view> refusal(std::string_view value) const;
    // The line a `set` command writes for `given` over `stored`, or nothing where the stored
    // line stays: the value as stored, a code field given none of its words, or the words of
    // the code stored ("1" stays "1", not " 1 "). Not yet checked against refusal().
    std::optional<std::string> assigned(std::string_view given, std::string_view stored) const;
    // Throws, nothing written, where `value` holds a line break or refusal() refuses it, with
    // `what` naming the field in `file`'s message.
    void refuse(const std::filesystem::path& file, const std::string& what,
                std::string_view value) const;
    // assigned(), refused as refuse() says.
    std::optional<std::string> assignedOrRefused(std::string_view given, std::string_view stored,
                                                 const std::filesystem::path& file,
                                                 const std::string& what) const;
};

// The refusal of the placeholder records' name as a wrestler's (or rival's) name.
inline constexpr std::string_view kPlaceholderRefusal =
    "marks the game's placeholder records and cannot be a wrestler's name";

// True when `fields` lists every line of its record once, in order.
template <std::size_t N> constexpr bool fieldsInLineOrder(const std::array<Field, N>& fields) {
    for (std::size_t i = 0; i < N; ++i)
        if (fields[i].line != i || fields[i].name.empty() || fields[i].caption.empty())
            return false;
    return true;
}

// The field of `fields` named `name` (as `hv` takes it), if any.
constexpr const Field* findField(std::span<const Field> fields, std::string_view name) {
    for (const Field& f : fields)
        if (f.name == name)
            return &f;
    return nullptr;
}

// Case folding for words typed in any case: A-Z and the Latin-1 capitals, as the game's
// 8-bit text has them.
char foldedCase(char c);
// Whether `text` holds `part` in any case, as foldedCase folds it; an empty part is in every text.
bool containsFolded(std::string_view text, std::string_view part);

} // namespace hv
