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
    {{"3", "Upper Carder"}, {"2", "Middle Carder"}, {"1", "Lower Carder"}}};
inline constexpr std::array<Choice, 2> kFinisherTypeChoices = {
    {{"p", "Power Move"}, {"s", "Submission"}}};
inline constexpr std::array<Choice, 2> kAlignmentChoices = {{{"Face", "Face"}, {"Heel", "Heel"}}};
inline constexpr std::array<Choice, 9> kStyleChoices = {{
    {"Big Man", "Big Man"},
    {"Powerful", "Powerful"},
    {"Basic Wrestler", "Basic Wrestler"},
    {"Hardcore", "Hardcore"},
    {"High Flyer", "High Flyer"},
    {"Old Heavyweight", "Old Heavyweight"},
    {"Super Heavyweight", "Super Heavyweight"},
    {"Technical Wrestler", "Technical Wrestler"},
    {"Cruiserweight", "Cruiserweight"},
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

// The fields of a rival wrestler, in record order; captions as for the player's wrestlers.
inline constexpr std::array<Field, OtherFedRecord::kLines> kOtherFedFields = {{
    {.line = OtherFedRecord::Name, .name = "name", .caption = "Name", .refusesPlaceholder = true},
    {OtherFedRecord::Draw, "draw", "Draw", FieldKind::Number, 0},
    {OtherFedRecord::Entertainment, "entertainment", "Entertainment ", FieldKind::Number, 0},
    {OtherFedRecord::Wages, "wages", "Wages", FieldKind::Number, 0},
    {OtherFedRecord::Value, "value", "Value", FieldKind::Number, 0},
    {.line = OtherFedRecord::Description,
     .name = "description",
     .caption = "Discription",
     .joinsLineBreaks = true},
    {.line = OtherFedRecord::Carder,
     .name = "carder",
     .caption = "Carder",
     .kind = FieldKind::Code,
     .choices = kCarderChoices,
     .checkAs = "carder code"},
    {.line = OtherFedRecord::Potential,
     .name = "potential",
     .caption = "Potential",
     .kind = FieldKind::Number,
     .minimum = 0,
     .mayBeBlank = false},
    {OtherFedRecord::AlterEgo, "alterego", "Alter Ego"},
    {.line = OtherFedRecord::Alignment,
     .name = "alignment",
     .caption = "Alignment",
     .choices = kAlignmentChoices},
    {OtherFedRecord::Finisher, "finisher", "Finsher"},
    {.line = OtherFedRecord::TagTeam,
     .name = "tagteam",
     .caption = "Tag Team Name",
     .emptyAs = "no"},
    {OtherFedRecord::Weapon, "weapon", "Weapon of choice"},
    {.line = OtherFedRecord::FinisherType,
     .name = "finishertype",
     .caption = "Type of Finsher",
     .kind = FieldKind::Code,
     .choices = kFinisherTypeChoices},
    {.line = OtherFedRecord::Style,
     .name = "style",
     .caption = "Wrestling Style",
     .choices = kStyleChoices},
    {.line = OtherFedRecord::Retirement,
     .name = "retirement",
     .caption = "Years till retirement",
     .kind = FieldKind::Number,
     .minimum = 0,
     .checkAs = "years till retirement"},
}};
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
