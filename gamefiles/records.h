#pragma once

// The records of the roster files: the player's own (19 lines) and the rivals' (16 lines).

#include "fields.h"
#include "record_file.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

// The words of the codes, and the values the windows offer, of the roster files' fields.
inline constexpr std::array<Choice, 3> kCarderChoices = {
    {{"Upper Carder", "3"}, {"Middle Carder", "2"}, {"Lower Carder", "1"}}};
inline constexpr std::array<Choice, 2> kFinisherTypeChoices = {
    {{"Power Move", "p"}, {"Submission", "s"}}};
inline constexpr std::array<Choice, 2> kAlignmentChoices = {{{"Face"}, {"Heel"}}};
inline constexpr std::array<Choice, 9> kStyleChoices = {{
    {"Big Man"},
    {"Powerful"},
    {"Basic Wrestler"},
    {"Hardcore"},
    {"High Flyer"},
    {"Old Heavyweight"},
    {"Super Heavyweight"},
    {"Technical Wrestler"},
    {"Cruiserweight"},
}};

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
    {.line = WrestlerRecord::Name, .name = "name", .caption = "Name", .refusesPlaceholder = true},
    {WrestlerRecord::Draw, "draw", "Draw", FieldKind::Number, 0},
    {WrestlerRecord::Entertainment, "entertainment", "Entertainment ", FieldKind::Number, 0},
    {WrestlerRecord::Wages, "wages", "Wages", FieldKind::Number, 0},
    {WrestlerRecord::Value, "value", "Value", FieldKind::Number, 0},
    {.line = WrestlerRecord::Description,
     .name = "description",
     .caption = "Discription",
     .joinsLineBreaks = true},
    {.line = WrestlerRecord::Carder,
     .name = "carder",
     .caption = "Carder",
     .kind = FieldKind::Code,
     .choices = kCarderChoices,
     .checkAs = "carder code"},
    {.line = WrestlerRecord::Alignment,
     .name = "alignment",
     .caption = "Alignment",
     .choices = kAlignmentChoices},
    {WrestlerRecord::Contract, "contract", "Contract Length"},
    {WrestlerRecord::Finisher, "finisher", "Finsher"},
    {.line = WrestlerRecord::TagTeam,
     .name = "tagteam",
     .caption = "Tag Team Name",
     .emptyAs = "no"},
    {WrestlerRecord::Injury, "injury", "Injuried for ? weeks", FieldKind::Number, 0},
    {WrestlerRecord::Morale, "morale", "Morale", FieldKind::Number, 0},
    {.line = WrestlerRecord::Stable, .name = "stable", .caption = "Stable", .emptyAs = "no"},
    {WrestlerRecord::Manager, "manager", "Manager"},
    {WrestlerRecord::Weapon, "weapon", "Weapon of choice"},
    {.line = WrestlerRecord::FinisherType,
     .name = "finishertype",
     .caption = "Type of Finsher",
     .kind = FieldKind::Code,
     .choices = kFinisherTypeChoices},
    {.line = WrestlerRecord::Style,
     .name = "style",
     .caption = "Wrestling Style",
     .choices = kStyleChoices},
    {.line = WrestlerRecord::Retirement,
     .name = "retirement",
     .caption = "Years till retirement",
     .kind = FieldKind::Number,
     .minimum = 0,
     .checkAs = "years till retirement"},
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

// A field of the player's wrestlers as it lies in another record kind.
constexpr Field fieldAt(const Field& field, std::size_t line) {
    Field out = field;
    out.line = line;
    return out;
}

// The fields of a rival wrestler, in record order: those he shares with the player's
// wrestlers have their rules and captions.
inline constexpr std::array<Field, OtherFedRecord::kLines> kOtherFedFields = [] {
    using O = OtherFedRecord;
    using W = WrestlerRecord;
    const auto& w = kWrestlerFields;
    return std::array<Field, O::kLines>{{
        w[W::Name],
        w[W::Draw],
        w[W::Entertainment],
        w[W::Wages],
        w[W::Value],
        w[W::Description],
        w[W::Carder],
        {.line = O::Potential,
         .name = "potential",
         .caption = "Potential",
         .kind = FieldKind::Number,
         .minimum = 0,
         .mayBeBlank = false},
        {.line = O::AlterEgo, .name = "alterego", .caption = "Alter Ego", .emptyAs = "no"},
        fieldAt(w[W::Alignment], O::Alignment),
        fieldAt(w[W::Finisher], O::Finisher),
        fieldAt(w[W::TagTeam], O::TagTeam),
        fieldAt(w[W::Weapon], O::Weapon),
        fieldAt(w[W::FinisherType], O::FinisherType),
        fieldAt(w[W::Style], O::Style),
        fieldAt(w[W::Retirement], O::Retirement),
    }};
}();
static_assert(fieldsInLineOrder(kOtherFedFields));

// The carder (line 7) and finisher type (line 17) codes and their words, as the field table
// has them: empty or none where the value is no code or no words of one.
std::string_view carderName(std::string_view line);
std::optional<int> carderCode(std::string_view shown);
std::string_view finisherTypeName(std::string_view line);
std::optional<std::string_view> finisherTypeCode(std::string_view shown);

// The record "Add Blank Wrestler" writes.
WrestlerRecord blankWrestler();

// Weeks out injured (line 12) as a number. An empty or blank line counts as 0 (the editor
// itself writes one when the box is cleared); other text that is no number is an error.
long long injuryWeeks(const WrestlerRecord& record, const std::filesystem::path& file);

} // namespace hv
