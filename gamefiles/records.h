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
    static constexpr std::array kNumberLines = {Draw,   Entertainment, Wages,     Value,
                                                Injury, Morale,        Retirement};
    std::array<std::string, kLines> lines;
    std::size_t firstLine = 0; // 1-based line of the record in its file, 0 when not read

    const std::string& name() const { return lines[Name]; }
    bool isPlaceholder() const { return lines[Name] == kPlaceholderName; }
};

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
    static constexpr std::array kNumberLines = {Draw, Entertainment, Wages, Value, Retirement};
    std::array<std::string, kLines> lines;
    std::size_t firstLine = 0;

    const std::string& name() const { return lines[Name]; }
    bool isPlaceholder() const { return lines[Name] == kPlaceholderName; }
};

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
