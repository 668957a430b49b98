#include "exchange_ops.h"

#include "gamefiles/error.h"
#include "gamefiles/export_file.h"
#include "gamefiles/file_change.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/options.h"
#include "gamefiles/restore.h"
#include "gamefiles/temp_rewrite.h"
#include "gamefiles/text.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace fs = std::filesystem;

namespace hv::exchange {
namespace {

using WrestlerFile = RecordFile<WrestlerRecord>;

// Room for the extension within the usual 255-byte limit on a file name.
constexpr std::size_t kMaxStem = 255 - kExportExtension.size();

bool refusedInFileName(unsigned char c) {
    return c < 0x20 || c == 0x7F ||
           std::string_view("/\\:*?\"<>|").find(char(c)) != std::string_view::npos;
}

bool isDeviceName(std::string_view stem) {
    // Windows ignores what follows the first dot and trailing blanks when it checks these.
    stem = stem.substr(0, stem.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    std::string lower(stem);
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    static constexpr std::array<std::string_view, 4> kPlain = {"con", "prn", "aux", "nul"};
    if (std::ranges::find(kPlain, lower) != kPlain.end())
        return true;
    return lower.size() == 4 && (lower.starts_with("com") || lower.starts_with("lpt")) &&
           lower[3] >= '1' && lower[3] <= '9';
}

void refusePlaceholder(std::string_view name, const fs::path& exportFile) {
    if (name == kPlaceholderName)
        throw GameFileError(exportFile,
                            "the wrestler is named \"" + std::string(kPlaceholderName) +
                                "\", which the roster keeps for empty records",
                            1);
}

// Two names can give one export file name ("A?" and "A*"): an existing file is replaced
// only when it is an export of the same wrestler.
void refuseOtherExport(const fs::path& target, std::string_view name) {
    std::error_code ec;
    if (!fs::is_regular_file(target, ec))
        return; // nothing there, or something the rewrite itself refuses
    std::string held;
    try {
        held = readExportFile(target).name();
    } catch (const GameFileError& e) {
        throw GameFileError(target,
                            "is there and is not an export file (" + e.problem() +
                                "); it was left as it is and nothing was exported",
                            e.line());
    }
    if (held != name)
        throw GameFileError(target,
                            "holds another wrestler, \"" + held +
                                "\"; it was left as it is and \"" + std::string(name) +
                                "\" was not exported",
                            1);
}

// The records of a name, lines and line ends as stored.
std::vector<std::string> clashingRecords(const WrestlerFile& records, std::string_view name) {
    std::vector<std::string> found;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records.isNamed(i, name))
            found.emplace_back(records.text(i));
    return found;
}

// How the wrestlers of a name moved since the question: gone, more or fewer, or changed.
std::string clashText(std::string_view name, std::size_t now, std::size_t asked) {
    const std::string quoted = "\"" + std::string(name) + "\"";
    if (now == 0)
        return "no wrestler is named " + quoted + " any more";
    if (now != asked)
        return "it now holds " + std::to_string(now) + (now == 1 ? " wrestler" : " wrestlers") +
               " named " + quoted;
    return (now == 1 ? "the wrestler named " : "the wrestlers named ") + quoted + " changed";
}

} // namespace

std::vector<std::string> wrestlerNames(const RosterFile& roster) {
    return WrestlerFile::read(roster.file).names();
}

std::string exportFileName(std::string_view wrestlerName) {
    std::string stem;
    stem.reserve(wrestlerName.size());
    for (char c : wrestlerName)
        stem.push_back(refusedInFileName(static_cast<unsigned char>(c)) ? '_' : c);
    if (stem.size() > kMaxStem)
        stem.resize(kMaxStem);
    for (auto it = stem.rbegin(); it != stem.rend() && (*it == '.' || *it == ' '); ++it)
        *it = '_';
    if (stem.empty())
        stem = "_";
    if (isDeviceName(stem)) {
        stem.insert(0, "_");
        if (stem.size() > kMaxStem)
            stem.resize(kMaxStem);
    }
    return stem + std::string(kExportExtension);
}

std::size_t exportWrestler(const RosterFile& roster, std::string_view name, const fs::path& target,
                           const fs::path& workDir) {
    refuseOutputPath(target, workDir, roster.gameFolder, "export file");
    refuseOtherExport(target, name);
    const WrestlerFile records = WrestlerFile::read(roster.file);
    std::vector<std::string_view> pieces;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records.isNamed(i, name))
            pieces.push_back(records.text(i));
    if (pieces.empty())
        throw GameFileError(roster.file, "no wrestler named \"" + std::string(name) +
                                             "\"; nothing was exported");
    // A fixed temporary name: the export name itself may already be as long as a name can be.
    TempRewrite(target, "hv-export.tmp", pieces);
    return pieces.size();
}

std::string previewText(std::string_view bytes, const fs::path& file) {
    const WrestlerRecord r = parseExportFile(bytes, file);
    const auto& l = r.lines;
    using L = WrestlerRecord::Line;
    std::string_view carderWord;
    switch (exportCarder(r, file)) {
    case 1:
        carderWord = "Lower";
        break;
    case 2:
        carderWord = "Middle";
        break;
    case 3:
        carderWord = "Upper";
        break;
    default:
        break;
    }

    std::string t;
    t += "Name : " + l[L::Name] + "\n";
    t += "Draw : " + l[L::Draw] + "\n";
    t += "Ent  : " + l[L::Entertainment] + "\n";
    t += "Wages: " + l[L::Wages] + "\n";
    t += "Value: " + l[L::Value] + "\n";
    t += "\nDiscription: \n" + l[L::Description] + "\n\n";
    t += "Carder : " + std::string(carderWord) + "\n";
    t += "Align : " + l[L::Alignment] + "\n";
    t += "Contract : " + l[L::Contract] + "\n\n";
    t += "Finisher : " + l[L::Finisher] + "\n";
    t += "Type : ";
    // Any other letter leaves the next piece on this same line, as the game's own viewer did.
    if (l[L::FinisherType] == "p")
        t += "Power Move\n\n";
    else if (l[L::FinisherType] == "s")
        t += "Submission\n\n";
    t += "Tag Team : " + l[L::TagTeam] + "\n";
    t += "Injuried for " + l[L::Injury] + " weeks\n";
    t += "Morale : " + l[L::Morale] + "\n";
    t += "Stable : " + l[L::Stable] + "\n";
    t += "Manager : " + l[L::Manager] + "\n";
    t += "Weapon : " + l[L::Weapon] + "\n";
    t += "Style : " + l[L::Style] + "\n";
    t += "Years left : " + l[L::Retirement] + "\n";
    return t;
}

std::string previewFile(const fs::path& file) {
    return previewText(readFileBytes(file), file);
}

namespace {
std::size_t overwrite(WrestlerFile& records, const RosterFile& roster, std::string_view name,
                      const WrestlerRecord& record, const fs::path& exportFile,
                      const std::vector<std::string>* asked);
} // namespace

ImportResult importWrestler(const RosterFile& roster, const fs::path& exportFile) {
    const WrestlerRecord record = readExportFile(exportFile);
    refusePlaceholder(record.name(), exportFile);
    return editRecordFile<WrestlerRecord>(
        roster, "Import " + record.name(), [&](WrestlerFile& records) -> ImportResult {
            if (records.findFirst(record.name()))
                return {false, record.name(), clashingRecords(records, record.name())};
            records.append(record);
            return {true, record.name(), {}};
        });
}

std::size_t overwriteWrestler(const RosterFile& roster, std::string_view name,
                              const fs::path& exportFile, const std::vector<std::string>* asked) {
    const WrestlerRecord record = readExportFile(exportFile);
    return editRecordFile<WrestlerRecord>(
        roster, "Import " + record.name() + " over " + std::string(name),
        [&](WrestlerFile& records) {
            return overwrite(records, roster, name, record, exportFile, asked);
        });
}

namespace {

std::size_t overwrite(WrestlerFile& records, const RosterFile& roster, std::string_view name,
                      const WrestlerRecord& record, const fs::path& exportFile,
                      const std::vector<std::string>* asked) {
    // Under the lock: the answer holds for the wrestlers the question was about, no others.
    if (asked) {
        std::vector<std::string> now = clashingRecords(records, name);
        if (now != *asked)
            throw ClashChanged("The roster changed while the question was open: " +
                                   clashText(name, now.size(), asked->size()) + "." +
                                   std::string(kNothingWrittenSentence),
                               std::move(now));
    }
    std::size_t count = 0;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records.isNamed(i, name)) {
            records.replace(i, record);
            ++count;
        }
    if (count == 0)
        throw GameFileError(roster.file,
                            "no wrestler named \"" + std::string(name) + "\" is left to overwrite");
    // The imported name may differ from `name` only if the export file changed meanwhile;
    // a placeholder must not arise either way.
    refusePlaceholder(record.name(), exportFile);
    return count;
}

} // namespace

void importAs(const RosterFile& roster, const fs::path& exportFile, std::string_view newName) {
    refuseLineBreak(roster.file, "new name", newName);
    if (newName == kPlaceholderName)
        throw OperationRefused("\"" + std::string(kPlaceholderName) +
                               "\" marks an empty record in the roster; choose another name.");
    WrestlerRecord record = readExportFile(exportFile);
    const std::string description = "Import " + record.name() + " as " + std::string(newName);
    record.lines[WrestlerRecord::Name] = std::string(newName);
    editRecordFile<WrestlerRecord>(roster, description,
                                   [&](WrestlerFile& records) { records.append(record); });
}

} // namespace hv::exchange
