#include "check.h"

#include "error.h"
#include "export_file.h"
#include "game_folder.h"
#include "header_value.h"
#include "managers.h"
#include "options.h"
#include "records.h"
#include "save_game.h"
#include "slot_names.h"
#include "system_path.h"

#include <type_traits>

namespace fs = std::filesystem;

namespace hv {

std::string problemText(const fs::path& file, std::size_t line, std::string_view message) {
    // Built with append: GCC 12 warns falsely (-Wrestrict) on chained string operator+.
    std::string text = pathBytes(file);
    if (line > 0) {
        text.append(":");
        text.append(std::to_string(line));
    }
    text.append(": ");
    text.append(message);
    return text;
}

std::optional<std::string_view> wrestlerValueProblem(std::size_t line, std::string_view value) {
    return kWrestlerFields.at(line).refusal(value);
}

namespace {

constexpr long long kMinFeudLevel = 15;
constexpr long long kMaxFeudLevel = 10600;

class Checker {
public:
    explicit Checker(std::vector<CheckProblem>& problems) : problems_(problems) {}

    void add(const fs::path& file, std::size_t line, std::string message) {
        problems_.push_back({file, line, std::move(message)});
    }

    // Runs `body`, turning a GameFileError into one problem, worded as the reader words it.
    template <class F> bool guarded(F&& body) {
        try {
            body();
            return true;
        } catch (const GameFileError& e) {
            add(e.file(), e.line(), e.problem());
            return false;
        }
    }

    // The file's bytes as the editor reads them; a missing, unreadable or folder-shaped file
    // is one problem. Line ends other than CR LF are reported here, once per file.
    std::optional<std::string> read(const fs::path& file, bool lineEnds = true) {
        std::optional<std::string> bytes;
        guarded([&] { bytes = readFileBytes(file); });
        if (bytes && lineEnds)
            this->lineEnds(file, *bytes);
        return bytes;
    }
    void lineEnds(const fs::path& file, std::string_view bytes) {
        if (auto line = lineWithoutCrLf(bytes))
            add(file, *line, std::string(kNotCrLf));
    }

    // The field's refusal of a stored value, as a problem on `line`.
    void fieldValue(const fs::path& file, std::size_t line, const Field& f,
                    const std::string& value) {
        if (auto problem = f.refusal(value))
            add(file, line,
                std::string(f.checkName()) + " " + std::string(*problem) + ": \"" + value + "\"");
    }

    // Every record but the placeholders, each field by its rule. A wrestler's weeks out are
    // worded as the injuries window reads them.
    template <class Record, std::size_t N>
    void records(const fs::path& file, const std::array<Field, N>& fields) {
        constexpr bool wrestlers = std::is_same_v<Record, WrestlerRecord>;
        auto bytes = read(file);
        if (!bytes)
            return;
        guarded([&] {
            const RecordFile<Record> all(std::move(*bytes), file);
            for (std::size_t i = 0; i < all.size(); ++i) {
                if (all.isPlaceholder(i))
                    continue;
                const Record r = all.record(i);
                if constexpr (wrestlers)
                    guarded([&] { injuryWeeks(r, file); });
                // A rival's numbers that may not be blank come first, as check has always
                // listed them; a wrestler's fields in record order.
                for (int pass = 0; pass < (wrestlers ? 1 : 2); ++pass)
                    for (const Field& f : fields) {
                        const bool strict = f.kind == FieldKind::Code || !f.mayBeBlank;
                        if (wrestlers ? f.line == WrestlerRecord::Injury : strict != (pass == 0))
                            continue;
                        fieldValue(file, r.firstLine + f.line, f, r.lines[f.line]);
                    }
            }
        });
    }
    void roster(const fs::path& file) { records<WrestlerRecord>(file, kWrestlerFields); }
    void rival(const fs::path& file) { records<OtherFedRecord>(file, kOtherFedFields); }

    // Returns the federation name, or nothing when the save game cannot be read.
    std::optional<std::string> saveGame(const fs::path& file) {
        // Only the header is the editor's; what follows it is the game's own business.
        auto bytes = read(file, false);
        if (!bytes)
            return std::nullopt;
        std::optional<std::string> federation;
        guarded([&] {
            const SaveHeader h = parseSaveGame(*bytes, file);
            lineEnds(file, std::string_view(*bytes).substr(0, bytes->size() - h.rest.size()));
            for (const Field& f : kSettingFields)
                if (f.kind == FieldKind::Number)
                    fieldValue(file, f.line, f, h.line(f.line));
            for (std::size_t feud = 0; feud < 5; ++feud) {
                const std::size_t line = SaveHeader::Feud1Level + 2 * feud;
                const std::string stored = h.line(line);
                const auto level = parseNumber(headerValue(stored));
                if (!level || *level < kMinFeudLevel || *level > kMaxFeudLevel)
                    add(file, line,
                        "level of feud " + std::to_string(feud + 1) + " is not a number from " +
                            std::to_string(kMinFeudLevel) + " to " + std::to_string(kMaxFeudLevel) +
                            ": \"" + stored + "\"");
            }
            federation = fieldReadFirst(h.line(SaveHeader::Federation));
        });
        return federation;
    }

    // The game reads managers by fields: a line that holds more than one value (a comma
    // outside quotes) shifts every later name and code.
    void managers(const fs::path& file) {
        auto bytes = read(file);
        if (!bytes)
            return;
        guarded([&] {
            const ManagersFile managers(std::move(*bytes), file);
            for (std::size_t i = 0; i < managers.size(); ++i)
                for (std::size_t line = 0; line < ManagerRecord::kLines; ++line) {
                    FieldReader values(managers.line(i, line));
                    const std::string first = values.atEnd() ? std::string() : values.next();
                    if (!values.atEnd())
                        add(file, managers.firstLine(i) + line,
                            "the game reads this line by fields and would take only \"" + first +
                                "\", then read the rest as the next value");
                }
        });
    }

    void slotNames(const fs::path& file) {
        if (auto bytes = read(file))
            guarded([&] { parseSaveSlotNames(*bytes, file); });
    }

private:
    std::vector<CheckProblem>& problems_;
};

} // namespace

std::vector<CheckProblem> checkGameFolder(const std::string& gameFolder) {
    std::vector<CheckProblem> problems;
    Checker check(problems);
    std::error_code ec;
    if (!fs::is_directory(pathFromBytes(gameFolder), ec)) {
        check.add(pathFromBytes(gameFolder), 0, "game folder does not exist");
        return problems;
    }
    check.slotNames(saveSlotNamesPath(gameFolder));

    for (std::string_view slot : kSlots) {
        const fs::path folder = slotFolder(gameFolder, slot);
        if (!fs::is_directory(folder, ec)) {
            check.add(folder, 0, "slot folder is missing");
            continue;
        }
        auto path = [&](GameFile f) { return slotFilePath(gameFolder, slot, f); };
        // A file the slot may lack: checked only when something is there.
        auto present = [&](GameFile f) { return fs::exists(fs::symlink_status(path(f), ec)); };

        check.roster(path(GameFile::Roster));
        const std::optional<std::string> federation = check.saveGame(path(GameFile::SaveGame));

        // The rival files in play must be there; the player's own big federation's file is
        // never used, so it is only checked when present.
        const auto rival = federation ? OtherBigFed(*federation) : std::nullopt;
        for (GameFile f : {GameFile::WwfRoster, GameFile::WcwRoster}) {
            const bool needed = rival && *rival == (f == GameFile::WwfRoster ? "WWF" : "WCW");
            if (needed || present(f))
                check.rival(path(f));
        }
        for (GameFile f : {GameFile::EcwRoster, GameFile::IndyRoster})
            check.rival(path(f));

        const auto own = federation ? managersFileFor(*federation) : std::nullopt;
        for (GameFile f : {GameFile::WwfManagers, GameFile::WcwManagers})
            if ((own && *own == f) || present(f))
                check.managers(path(f));
    }
    return problems;
}

std::vector<CheckProblem> checkOptions(const fs::path& workDir) {
    std::vector<CheckProblem> problems;
    Checker check(problems);
    const fs::path file = optionsPath(workDir);
    if (!check.read(file))
        return problems;
    std::string folder;
    if (!check.guarded([&] { folder = readGameFolder(workDir); }))
        return problems;
    std::error_code ec;
    if (!fs::is_directory(pathFromBytes(folder), ec))
        check.add(file, 1, "names the game folder \"" + folder + "\", which does not exist");
    return problems;
}

std::vector<CheckProblem> checkExportFile(const fs::path& file) {
    std::vector<CheckProblem> problems;
    Checker check(problems);
    // Only the first record is read, so line ends after it are none of the editor's business.
    if (auto bytes = check.read(file, false))
        check.guarded([&] { exportCarder(parseExportFile(*bytes, file), file); });
    return problems;
}

} // namespace hv
