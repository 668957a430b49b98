#pragma once

// The rival federations of a slot and the trading of wrestlers between them and the player's
// own federation. Qt-free, shared by the trading window and `hv`.

#include "gamefiles/game_folder.h"
#include "gamefiles/records.h"

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hv::otherfeds {

using RivalFile = RecordFile<OtherFedRecord>;

// The four parties of a transfer, in the order the trading window shows them.
enum class Party { Own, Rival, Ecw, Indy };
inline constexpr Party kParties[] = {Party::Own, Party::Rival, Party::Ecw, Party::Indy};

// The word `hv` uses for a party: "own", "rival", "ecw", "indy".
std::string_view partyWord(Party party);
std::optional<Party> partyFromWord(std::string_view word);

// The player's federation of a slot: save game line 2.
std::string federationOf(const std::string& gameFolder, std::string_view slot);
// The rival big federation of a slot ("WWF" or "WCW"), from save game line 2 compared
// exactly; none when the player runs neither.
std::optional<std::string> otherBigFedOf(const std::string& gameFolder, std::string_view slot);

// A party's roster file. `otherBigFed` names the rival big federation and must be "WWF" or
// "WCW" when the party is Rival.
using PartyFile = SlotFile;
PartyFile partyFile(const std::string& gameFolder, std::string_view slot, Party party,
                    std::string_view otherBigFed = {});

// Rival roster operations. Each reads the whole file; a missing file or one cut short in the
// middle of a record throws GameFileError naming it, and nothing is written.
std::vector<std::string> rivalNames(const std::filesystem::path& file);
// The names of a party's roster file, placeholders left out, in file order.
std::vector<std::string> partyNames(const PartyFile& file, Party party);
std::optional<OtherFedRecord> findRival(const std::filesystem::path& file, std::string_view name);
// A record's lines as `hv rivals show` shows them: the carder and the finisher type as words
// ("Upper Carder", "Power Move") where they hold one of the codes, otherwise as stored.
std::array<std::string, OtherFedRecord::kLines> shownLines(const OtherFedRecord& record);
void appendRival(const PartyFile& rival, const OtherFedRecord& record);
// Removes every record named `name`; returns how many (nothing is written when none).
std::size_t removeRival(const PartyFile& rival, std::string_view name);

// Names a field in refusals.
using RivalFieldName = std::string_view (*)(OtherFedRecord::Line);
// The caption of a rival record's line, as the windows label it.
std::string_view rivalFieldCaption(OtherFedRecord::Line line);
// Changes the given fields of every record named `key`, each value written as `hv roster set`
// writes a wrestler's: the carder and finisher type words become their codes (other text there
// keeps the stored line), an empty tag team or alter ego is "no", line breaks in the
// description become a blank. Every line not given stays as stored, in each record of the
// name; all of it is one restore point. Returns how many records bear the name. A line break
// in any other field, a number field given no number, a carder code that is none and "name"
// as a new name are refused, naming the field by `fieldName`, and nothing is written.
std::size_t setRivalFields(const PartyFile& rival, std::string_view key,
                           const std::vector<std::pair<OtherFedRecord::Line, std::string>>& fields,
                           RivalFieldName fieldName = rivalFieldCaption);

// Uniform numbers in [0, 1); each transfer out of the player's federation takes one.
using RandomSource = std::function<double()>;
// The C library's generator (std::rand), which the editor seeds at start-up.
RandomSource cRandSource();
// A generator of its own, seeded from the system's true random source.
RandomSource seededRandomSource();
// A potential from 1 to 20: the draw times 20, rounded down, plus 1.
int drawPotential(const RandomSource& random);

// The contract text: the month, then the year as a signed number without a trailing blank
// ("March 102", "March-3").
std::string contractText(std::string_view month, long long year);
// Contract years as typed: a whole number, blanks around it allowed.
std::optional<long long> parseContractYears(std::string_view text);

// The record conversions across the player's roster.
WrestlerRecord intoRoster(const OtherFedRecord& rival, std::string_view newName,
                          std::string_view contract);
OtherFedRecord outOfRoster(const WrestlerRecord& own, int potential);

struct TransferRequest {
    std::string slot;
    Party from = Party::Own;
    Party to = Party::Own;
    std::string name; // as listed: the first record of this name moves
    // Into the player's federation only.
    std::string newName;
    std::string years;
    // The rival big federation as the caller shows it; unset: read from the save game.
    std::optional<std::string> otherBigFed;
};

// Moves the first record named `name` from `from` to `to`, converting it when it crosses the
// player's roster. Both new files are written and synced before either replaces its file,
// the destination first; a refusal or failure before that changes nothing. Throws
// OperationRefused for bad arguments and GameFileError for a file problem or for a
// value the file cannot hold (a new name with a line break, unless it is his stored name).
void TransferWrestler(const std::string& gameFolder, const TransferRequest& request,
                      const RandomSource& random);

} // namespace hv::otherfeds
