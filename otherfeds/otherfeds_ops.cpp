#include "otherfeds_ops.h"

#include "gamefiles/error.h"
#include "gamefiles/file_change.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/game_folder_lock.h"
#include "gamefiles/save_game.h"
#include "gamefiles/text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>

namespace hv::otherfeds {
namespace {

using Own = WrestlerRecord::Line;
using Rival = OtherFedRecord::Line;
using WrestlerFile = RecordFile<WrestlerRecord>;

constexpr std::string_view kWords[] = {"own", "rival", "ecw", "indy"};

GameFile rivalGameFile(Party party, std::string_view otherBigFed) {
    switch (party) {
    case Party::Own:
        return GameFile::Roster;
    case Party::Rival:
        if (otherBigFed == "WWF")
            return GameFile::WwfRoster;
        if (otherBigFed == "WCW")
            return GameFile::WcwRoster;
        refuseOperation("The slot's federation is neither WWF nor WCW, so there is no other big "
                        "federation to trade with.");
    case Party::Ecw:
        return GameFile::EcwRoster;
    case Party::Indy:
        return GameFile::IndyRoster;
    }
    return GameFile::Roster;
}

// Month (value 5) and year (value 6) of the slot's save game, as a field read takes them.
std::string contractFor(const std::filesystem::path& saveGame, long long years) {
    const std::string bytes = readFileBytes(saveGame);
    LineReader reader(bytes);
    std::string month;
    std::string yearText;
    for (std::size_t line = 1; line <= SaveHeader::Year; ++line) {
        if (reader.atEnd())
            refuseChange(saveGame, "save game ends before the year", line);
        const std::string value = fieldReadFirst(reader.next());
        if (line == SaveHeader::Month)
            month = value;
        else if (line == SaveHeader::Year)
            yearText = value;
    }
    const auto year = parseNumber(yearText);
    if (!year)
        refuseChange(saveGame, "the year \"" + yearText + "\" is not a number", SaveHeader::Year);
    long long sum = 0;
    if (__builtin_add_overflow(*year, years, &sum))
        refuseOperation("The contract years are too large.");
    return contractText(month, sum);
}

// How a restore point names a party: as the trading window captions its column.
std::string partyCaption(Party party, std::string_view otherBigFed) {
    switch (party) {
    case Party::Own:
        return "your federation";
    case Party::Rival:
        return std::string(otherBigFed);
    case Party::Ecw:
        return "ECW";
    case Party::Indy:
        return "Indy/Other";
    }
    return {};
}

[[noreturn]] void notFound(const std::filesystem::path& file, const std::string& name) {
    refuseChange(file, "no wrestler named \"" + name + "\"");
}

// The checks that need no file, so that a bad request opens nothing.
void checkRequest(const TransferRequest& r, const std::string& gameFolder) {
    if (r.from == r.to)
        refuseOperation("A wrestler cannot be traded from a federation to itself.");
    if (r.name.empty())
        refuseOperation("No wrestler is selected.");
    if (r.to != Party::Own)
        return;
    if (r.newName.empty())
        refuseOperation("The new name is empty.");
    // His name as stored goes with him as it is, a lone CR in it included.
    if (r.newName != r.name)
        refuseLineBreak(slotFilePath(gameFolder, r.slot, GameFile::Roster), "new name", r.newName);
    if (auto problem = kWrestlerFields[WrestlerRecord::Name].refusal(r.newName))
        refuseOperation("\"" + r.newName + "\" " + std::string(*problem) + ".");
    if (!parseContractYears(r.years))
        refuseOperation("The contract years \"" + r.years + "\" are not a whole number.");
}

// Both new files complete and synced before either is replaced, the destination first: a
// failed replace puts back what was replaced, and only a crash between the two replaces can
// leave the wrestler in both files (never in neither).
void replaceBoth(FileChange& change, const RecordBytes& to, const PartyFile& destination,
                 const RecordBytes& from, const PartyFile& source) {
    change.write(to, destination.temp);
    change.write(from, source.temp);
}

// The first record named request.name moves from `source` to `destination`.
void moveRecord(FileChange& change, const TransferRequest& request, const PartyFile& source,
                const PartyFile& destination, const std::string& contract,
                const RandomSource& random);

} // namespace

std::string_view partyWord(Party party) {
    return kWords[static_cast<std::size_t>(party)];
}

std::optional<Party> partyFromWord(std::string_view word) {
    for (Party party : kParties)
        if (partyWord(party) == word)
            return party;
    return std::nullopt;
}

std::string federationOf(const std::string& gameFolder, std::string_view slot) {
    return readFederationName(slotFilePath(gameFolder, slot, GameFile::SaveGame));
}

std::optional<std::string> otherBigFedOf(const std::string& gameFolder, std::string_view slot) {
    return OtherBigFed(federationOf(gameFolder, slot));
}

PartyFile partyFile(const std::string& gameFolder, std::string_view slot, Party party,
                    std::string_view otherBigFed) {
    return {gameFolder, slot, rivalGameFile(party, otherBigFed)};
}

std::vector<std::string> rivalNames(const std::filesystem::path& file) {
    return RivalFile::read(file).names();
}

std::vector<std::string> partyNames(const PartyFile& file, Party party) {
    return party == Party::Own ? RecordFile<WrestlerRecord>::read(file.file).names()
                               : rivalNames(file.file);
}

std::optional<OtherFedRecord> findRival(const std::filesystem::path& file, std::string_view name) {
    const RivalFile rivals = RivalFile::read(file);
    if (auto i = rivals.findFirst(name))
        return rivals.record(*i);
    return std::nullopt;
}

std::array<std::string, OtherFedRecord::kLines> shownLines(const OtherFedRecord& record) {
    auto shown = record.lines;
    if (auto word = carderName(record.lines[Rival::Carder]); !word.empty())
        shown[Rival::Carder] = word;
    if (auto word = finisherTypeName(record.lines[Rival::FinisherType]); !word.empty())
        shown[Rival::FinisherType] = word;
    return shown;
}

void appendRival(const PartyFile& rival, const OtherFedRecord& record) {
    editRecordFile<OtherFedRecord>(rival, "Add " + record.name(),
                                   [&](RivalFile& rivals) { rivals.append(record); });
}

std::size_t removeRival(const PartyFile& rival, std::string_view name) {
    const std::string description = "Remove " + std::string(name);
    return editRecordFile<OtherFedRecord>(rival, description, [&](RivalFile& rivals) {
        std::size_t removed = 0;
        for (std::size_t i = 0; i < rivals.size(); ++i)
            if (rivals.isNamed(i, name)) {
                rivals.drop(i);
                ++removed;
            }
        return removed;
    });
}

namespace {} // namespace

std::string_view rivalFieldCaption(OtherFedRecord::Line line) {
    return kOtherFedFields[line].caption;
}

std::size_t setRivalFields(const PartyFile& rival, std::string_view key,
                           const std::vector<std::pair<OtherFedRecord::Line, std::string>>& fields,
                           RivalFieldName fieldName) {
    return setNamedFields<OtherFedRecord>(rival, key, kOtherFedFields, fields, fieldName);
}

RandomSource cRandSource() {
    return [] { return static_cast<double>(std::rand()) / (static_cast<double>(RAND_MAX) + 1.0); };
}

RandomSource seededRandomSource() {
    auto engine = std::make_shared<std::mt19937>(std::random_device{}());
    return [engine] { return std::generate_canonical<double, 53>(*engine); };
}

int drawPotential(const RandomSource& random) {
    // A generator that returns 1.0 (single precision rounds the largest draws up to it)
    // would give 21; the potential stays within 1 to 20.
    const double r = std::clamp(random(), 0.0, 1.0);
    return std::clamp(static_cast<int>(std::floor(r * 20.0)) + 1, 1, 20);
}

std::string contractText(std::string_view month, long long year) {
    std::string number = numberLine(year);
    number.pop_back(); // the trailing blank
    return std::string(month) + number;
}

std::optional<long long> parseContractYears(std::string_view text) {
    return parseNumber(text);
}

WrestlerRecord intoRoster(const OtherFedRecord& rival, std::string_view newName,
                          std::string_view contract) {
    const auto& o = rival.lines;
    WrestlerRecord w;
    w.lines = {std::string(newName),
               o[Rival::Draw],
               o[Rival::Entertainment],
               o[Rival::Wages],
               o[Rival::Value],
               o[Rival::Description],
               o[Rival::Carder],
               o[Rival::Alignment],
               std::string(contract),
               o[Rival::Finisher],
               o[Rival::TagTeam],
               numberLine(0),
               numberLine(80),
               "no",
               "no",
               o[Rival::Weapon],
               o[Rival::FinisherType],
               o[Rival::Style],
               o[Rival::Retirement]};
    return w;
}

OtherFedRecord outOfRoster(const WrestlerRecord& own, int potential) {
    const auto& w = own.lines;
    OtherFedRecord o;
    o.lines = {w[Own::Name],   w[Own::Draw],         w[Own::Entertainment], w[Own::Wages],
               w[Own::Value],  w[Own::Description],  w[Own::Carder],        numberLine(potential),
               "no",           w[Own::Alignment],    w[Own::Finisher],      w[Own::TagTeam],
               w[Own::Weapon], w[Own::FinisherType], w[Own::Style],         w[Own::Retirement]};
    return o;
}

void TransferWrestler(const std::string& gameFolder, const TransferRequest& request,
                      const RandomSource& random) {
    checkRequest(request, gameFolder);
    // The save game decides the files and the contract: read under the lock too.
    const GameFolderLock lock(gameFolder);
    const bool rivalInvolved = request.from == Party::Rival || request.to == Party::Rival;
    std::string otherBigFed;
    if (rivalInvolved)
        otherBigFed = request.otherBigFed ? *request.otherBigFed
                                          : otherBigFedOf(gameFolder, request.slot).value_or("");
    std::string contract; // refused on a bad save game before any roster file is read
    if (request.to == Party::Own)
        contract = contractFor(slotFilePath(gameFolder, request.slot, GameFile::SaveGame),
                               *parseContractYears(request.years));
    const PartyFile source = partyFile(gameFolder, request.slot, request.from, otherBigFed);
    const PartyFile destination = partyFile(gameFolder, request.slot, request.to, otherBigFed);
    const bool renamed = request.to == Party::Own && request.newName != request.name;
    editFiles(gameFolder, request.slot,
              "Trade " + request.name + ": " + partyCaption(request.from, otherBigFed) + " to " +
                  partyCaption(request.to, otherBigFed) + (renamed ? " as " + request.newName : ""),
              [&](FileChange& change) {
                  moveRecord(change, request, source, destination, contract, random);
              });
}

namespace {

void moveRecord(FileChange& change, const TransferRequest& request, const PartyFile& source,
                const PartyFile& destination, const std::string& contract,
                const RandomSource& random) {
    // Both files are read whole and checked before anything is written; only the first
    // record of the name moves, others sharing it stay where they are.
    if (request.from == Party::Own) {
        WrestlerFile from = WrestlerFile::read(source.file);
        RivalFile to = RivalFile::read(destination.file);
        const auto i = from.findFirst(request.name);
        if (!i)
            notFound(source.file, request.name);
        to.append(outOfRoster(from.record(*i), drawPotential(random)));
        from.drop(*i);
        replaceBoth(change, to, destination, from, source);
        return;
    }

    RivalFile from = RivalFile::read(source.file);
    const auto i = from.findFirst(request.name);
    if (!i)
        notFound(source.file, request.name);
    if (request.to == Party::Own) {
        WrestlerFile to = WrestlerFile::read(destination.file);
        to.append(intoRoster(from.record(*i), request.newName, contract));
        from.drop(*i);
        replaceBoth(change, to, destination, from, source);
        return;
    }

    RivalFile to = RivalFile::read(destination.file);
    to.append(std::string(from.text(*i))); // between rivals the lines move as stored
    from.drop(*i);
    replaceBoth(change, to, destination, from, source);
}

} // namespace

} // namespace hv::otherfeds
