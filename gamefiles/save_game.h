#pragma once

// The save game file of a slot ("Saved Game/save1.hv1"): the editor reads and writes its
// first 30 lines; everything after them belongs to the game and is kept byte for byte.

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

SaveHeader parseSaveGame(std::string_view bytes, const std::filesystem::path& file);
SaveHeader readSaveGame(const std::filesystem::path& file);
std::string serializeSaveGame(const SaveHeader& header);

// The federation the player runs: line 2, taken as a field read takes it (blanks and
// enclosing quotes dropped). Needs only the first two lines of the file.
std::string readFederationName(const std::filesystem::path& saveGameFile);

// The rival big federation of a player's federation: "WWF" <-> "WCW", exact; none otherwise.
std::optional<std::string> OtherBigFed(std::string_view federation);

} // namespace hv
