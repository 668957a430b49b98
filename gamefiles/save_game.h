#pragma once

// The save game file of a slot ("Saved Game/save1.hv1"): the editor reads and writes its
// first 30 lines; everything after them belongs to the game and is kept byte for byte.

#include "fields.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace hv {

struct SaveHeader {
    static constexpr std::size_t kLines = 30;
    // 1-based line numbers of the header
    enum Line : std::size_t {
        Commissioner = 1,
        Federation = 2,
        Weekday = 3,
        Day = 4,
        Month = 5,
        Year = 6,
        Bank = 7,
        Title1 = 8,
        Title5 = 12,
        TagTeamName = 13,
        TagTeamFirst = 14,
        TagTeamSecond = 15,
        Feud1Text = 16,
        Feud1Marker = 21,
        Feud1Level = 22
    };
    std::array<std::string, kLines> lines; // lines[0] is line 1
    std::string rest;                      // bytes after line 30, verbatim

    const std::string& line(std::size_t number) const { return lines.at(number - 1); }
    std::string& line(std::size_t number) { return lines.at(number - 1); }
};

// The values the federation settings window offers for the day of the week, of the month and
// the month, stored as they are shown.
inline constexpr std::array<Choice, 7> kWeekdayChoices = {
    {{"Sunday"}, {"Monday"}, {"Tuesday"}, {"Wednesday"}, {"Thursday"}, {"Friday"}, {"Saturday"}}};
inline constexpr std::array<Choice, 31> kDayChoices = {{
    {"1"},  {"2"},  {"3"},  {"4"},  {"5"},  {"6"},  {"7"},  {"8"},  {"9"},  {"10"}, {"11"},
    {"12"}, {"13"}, {"14"}, {"15"}, {"16"}, {"17"}, {"18"}, {"19"}, {"20"}, {"21"}, {"22"},
    {"23"}, {"24"}, {"25"}, {"26"}, {"27"}, {"28"}, {"29"}, {"30"}, {"31"},
}};
inline constexpr std::array<Choice, 12> kMonthChoices = {{{"January"},
                                                          {"February"},
                                                          {"March"},
                                                          {"April"},
                                                          {"May"},
                                                          {"June"},
                                                          {"July"},
                                                          {"August"},
                                                          {"September"},
                                                          {"October"},
                                                          {"November"},
                                                          {"December"}}};

// The federation settings: the slot's name in saveslots.hv1 (line 0 here), then save lines 1
// and 3 to 7 (`line` as SaveHeader::Line numbers them). `checkAs` names each in refusals.
inline constexpr std::array<Field, 7> kSettingFields = {{
    {.line = 0, .name = "slotname", .caption = "Save file name", .checkAs = "save file name"},
    {.line = SaveHeader::Commissioner,
     .name = "commissioner",
     .caption = "Commish's name",
     .checkAs = "commissioner's name"},
    {.line = SaveHeader::Weekday,
     .name = "weekday",
     .caption = "Day of week",
     .choices = kWeekdayChoices,
     .checkAs = "day of week"},
    {.line = SaveHeader::Day,
     .name = "day",
     .caption = "Day of month",
     .choices = kDayChoices,
     .checkAs = "day of month"},
    {.line = SaveHeader::Month, .name = "month", .caption = "Month", .choices = kMonthChoices},
    {.line = SaveHeader::Year,
     .name = "year",
     .caption = "Year",
     .kind = FieldKind::Number,
     .mayBeBlank = false},
    {.line = SaveHeader::Bank,
     .name = "bank",
     .caption = "Fed's bank account $",
     .kind = FieldKind::Number,
     .checkAs = "bank account"},
}};

SaveHeader parseSaveGame(std::string_view bytes, const std::filesystem::path& file);
SaveHeader readSaveGame(const std::filesystem::path& file);
std::string serializeSaveGame(const SaveHeader& header);

// The federation the player runs: line 2, taken as a field read takes it (blanks and
// enclosing quotes dropped). Needs only the first two lines of the file.
std::string readFederationName(const std::filesystem::path& saveGameFile);

// The rival big federation of a player's federation: "WWF" <-> "WCW", exact; none otherwise.
std::optional<std::string> OtherBigFed(std::string_view federation);

} // namespace hv
