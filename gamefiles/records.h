#pragma once

// The records of the roster files: the player's own (19 lines) and the rivals' (16 lines).

#include "record_file.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

// How a field's value is read: as text, or as a number the game computes with.
enum class FieldKind { Text, Number };

// One field of a record kind: where it lies, how `hv` names it, how the windows label it.
struct Field {
    std::size_t line;         // 0-based line in the record
    std::string_view name;    // as `hv` takes it ("draw")
    std::string_view caption; // as the windows label it, typos included ("Discription")
    FieldKind kind = FieldKind::Text;
    // The lowest value the game makes sense of, for computed numbers (`+N`/`-N`).
    std::optional<long long> minimum = std::nullopt;
};

// True when `fields` lists every line of its record once, in order.
template <std::size_t N> constexpr bool fieldsInLineOrder(const std::array<Field, N>& fields) {
    for (std::size_t i = 0; i < N; ++i)
        if (fields[i].line != i || fields[i].name.empty() || fields[i].caption.empty())
            return false;
    return true;
}

// The field of `fields` named `name` (as `hv` takes it), if any.
template <std::size_t N>
constexpr const Field* findField(const std::array<Field, N>& fields, std::string_view name) {
    for (const Field& f : fields)
        if (f.name == name)
            return &f;
    return nullptr;
}

// One wrestler of the player's roster (and of an export file).
struct WrestlerRecord {
    static constexpr std::size_t kLines = 19;
    static constexpr bool kHasPlaceholders = true;
    enum Line : std::size_t {
        Name,
        Draw,
        Entertainment,
        Wages,
        Value,
        Description,
        Carder,
        Alignment,
        Contract,
        Finisher,
        TagTeam,
        Injury,
        Morale,
        Stable,
        Manager,
        Weapon,
        FinisherType,
        Style,
        Retirement
    };
    // The lines the game reads as numbers (the carder code aside, which is picked by name).
    std::array<std::string, kLines> lines;
    std::size_t firstLine = 0; // 1-based line of the record in its file, 0 when not read

    const std::string& name() const { return lines[Name]; }
    bool isPlaceholder() const { return lines[Name] == kPlaceholderName; }
};

// The fields of a wrestler, in record order.
inline constexpr std::array<Field, WrestlerRecord::kLines> kWrestlerFields = {{
    {WrestlerRecord::Name, "name", "Name"},
    {WrestlerRecord::Draw, "draw", "Draw", FieldKind::Number, 0},
    {WrestlerRecord::Entertainment, "entertainment", "Entertainment ", FieldKind::Number, 0},
    {WrestlerRecord::Wages, "wages", "Wages", FieldKind::Number, 0},
    {WrestlerRecord::Value, "value", "Value", FieldKind::Number, 0},
    {WrestlerRecord::Description, "description", "Discription"},
    {WrestlerRecord::Carder, "carder", "Carder"},
    {WrestlerRecord::Alignment, "alignment", "Alignment"},
    {WrestlerRecord::Contract, "contract", "Contract Length"},
    {WrestlerRecord::Finisher, "finisher", "Finsher"},
    {WrestlerRecord::TagTeam, "tagteam", "Tag Team Name"},
    {WrestlerRecord::Injury, "injury", "Injuried for ? weeks", FieldKind::Number, 0},
    {WrestlerRecord::Morale, "morale", "Morale", FieldKind::Number, 0},
    {WrestlerRecord::Stable, "stable", "Stable"},
    {WrestlerRecord::Manager, "manager", "Manager"},
    {WrestlerRecord::Weapon, "weapon", "Weapon of choice"},
    {WrestlerRecord::FinisherType, "finishertype", "Type of Finsher"},
    {WrestlerRecord::Style, "style", "Wrestling Style"},
    {WrestlerRecord::Retirement, "retirement", "Years till retirement", FieldKind::Number, 0},
}};
static_assert(fieldsInLineOrder(kWrestlerFields));

// One wrestler of a rival federation.
struct OtherFedRecord {
    static constexpr std::size_t kLines = 16;
    static constexpr bool kHasPlaceholders = true;
    enum Line : std::size_t {
        Name,
        Draw,
        Entertainment,
        Wages,
        Value,
        Description,
        Carder,
        Potential,
        AlterEgo,
        Alignment,
        Finisher,
        TagTeam,
        Weapon,
        FinisherType,
        Style,
        Retirement
    };
    std::array<std::string, kLines> lines;
    std::size_t firstLine = 0;

    const std::string& name() const { return lines[Name]; }
    bool isPlaceholder() const { return lines[Name] == kPlaceholderName; }
};

// The fields of a rival wrestler, in record order; captions as for the player's wrestlers.
inline constexpr std::array<Field, OtherFedRecord::kLines> kOtherFedFields = {{
    {OtherFedRecord::Name, "name", "Name"},
    {OtherFedRecord::Draw, "draw", "Draw", FieldKind::Number, 0},
    {OtherFedRecord::Entertainment, "entertainment", "Entertainment ", FieldKind::Number, 0},
    {OtherFedRecord::Wages, "wages", "Wages", FieldKind::Number, 0},
    {OtherFedRecord::Value, "value", "Value", FieldKind::Number, 0},
    {OtherFedRecord::Description, "description", "Discription"},
    {OtherFedRecord::Carder, "carder", "Carder"},
    {OtherFedRecord::Potential, "potential", "Potential", FieldKind::Number, 0},
    {OtherFedRecord::AlterEgo, "alterego", "Alter Ego"},
    {OtherFedRecord::Alignment, "alignment", "Alignment"},
    {OtherFedRecord::Finisher, "finisher", "Finsher"},
    {OtherFedRecord::TagTeam, "tagteam", "Tag Team Name"},
    {OtherFedRecord::Weapon, "weapon", "Weapon of choice"},
    {OtherFedRecord::FinisherType, "finishertype", "Type of Finsher"},
    {OtherFedRecord::Style, "style", "Wrestling Style"},
    {OtherFedRecord::Retirement, "retirement", "Years till retirement", FieldKind::Number, 0},
}};
static_assert(fieldsInLineOrder(kOtherFedFields));

// Carder code (line 7) shown as words: 3, 2, 1 compared as numbers. Empty when it is none.
std::string_view carderName(std::string_view line);
// The code for a shown carder name, if it is one of the three.
std::optional<int> carderCode(std::string_view shown);
// Finisher type (line 17), compared exactly: "p" -> "Power Move", "s" -> "Submission".
std::string_view finisherTypeName(std::string_view line);
std::optional<std::string_view> finisherTypeCode(std::string_view shown);

// The record "Add Blank Wrestler" writes.
WrestlerRecord blankWrestler();

// Weeks out injured (line 12) as a number. An empty or blank line counts as 0 (the editor
// itself writes one when the box is cleared); other text that is no number is an error.
long long injuryWeeks(const WrestlerRecord& record, const std::filesystem::path& file);

} // namespace hv
