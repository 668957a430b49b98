#include "check.h"

#include "error.h"
#include "game_folder.h"
#include "managers.h"
#include "records.h"
#include "save_game.h"
#include "slot_names.h"

namespace fs = std::filesystem;

namespace hv {
namespace {

class Checker {
public:
    explicit Checker(std::vector<CheckProblem>& problems) : problems_(problems) {}

    void add(const fs::path& file, std::size_t line, std::string message) {
        problems_.push_back({file, line, std::move(message)});
    }

    // Runs `body`, turning a GameFileError into one problem.
    template <class F> void guarded(F&& body) {
        try {
            body();
        } catch (const GameFileError& e) {
            add(e.file(), e.line(), e.problem());
        }
    }

    bool present(const fs::path& file) {
        std::error_code ec;
        if (fs::is_regular_file(file, ec))
            return true;
        add(file, 0, "file is missing");
        return false;
    }

    void numberLine(const fs::path& file, std::size_t line, std::string_view text,
                    const std::string& what) {
        if (!parseNumber(text))
            add(file, line, what + " is not a number: \"" + std::string(text) + "\"");
    }

    void roster(const fs::path& file) {
        guarded([&] {
            const auto roster = RecordFile<WrestlerRecord>::read(file);
            for (std::size_t i = 0; i < roster.size(); ++i) {
                if (roster.isPlaceholder(i))
                    continue;
                const WrestlerRecord r = roster.record(i);
                numberLine(file, r.firstLine + WrestlerRecord::Carder,
                           r.lines[WrestlerRecord::Carder], "carder code");
                guarded([&] { injuryWeeks(r, file); });
            }
        });
    }

    void rival(const fs::path& file) {
        guarded([&] {
            const auto rivals = RecordFile<OtherFedRecord>::read(file);
            for (std::size_t i = 0; i < rivals.size(); ++i) {
                if (rivals.isPlaceholder(i))
                    continue;
                for (auto [line, what] : {std::pair{OtherFedRecord::Carder, "carder code"},
                                          std::pair{OtherFedRecord::Potential, "potential"}})
                    numberLine(file, rivals.firstLine(i) + line, rivals.line(i, line), what);
            }
        });
    }

    // Returns the federation name, or nothing when the save game cannot be read.
    std::optional<std::string> saveGame(const fs::path& file) {
        std::optional<std::string> federation;
        guarded([&] {
            SaveHeader h = readSaveGame(file);
            numberLine(file, SaveHeader::Year, h.line(SaveHeader::Year), "year");
            for (std::size_t feud = 0; feud < 5; ++feud) {
                std::size_t level = SaveHeader::Feud1Level + 2 * feud;
                numberLine(file, level, h.line(level), "level of feud " + std::to_string(feud + 1));
            }
            federation = readFederationName(file);
        });
        return federation;
    }

    void managers(const fs::path& file) {
        guarded([&] { ManagersFile::read(file); });
    }

private:
    std::vector<CheckProblem>& problems_;
};

} // namespace

std::vector<CheckProblem> checkGameFolder(const std::string& gameFolder) {
    std::vector<CheckProblem> problems;
    Checker check(problems);
    std::error_code ec;
    if (!fs::is_directory(gameFolder, ec)) {
        check.add(gameFolder, 0, "game folder does not exist");
        return problems;
    }
    const fs::path names = saveSlotNamesPath(gameFolder);
    if (check.present(names))
        check.guarded([&] { readSaveSlotNames(gameFolder); });

    for (std::string_view slot : kSlots) {
        const fs::path folder = slotFolder(gameFolder, slot);
        if (!fs::is_directory(folder, ec)) {
            check.add(folder, 0, "slot folder is missing");
            continue;
        }
        auto path = [&](GameFile f) { return slotFilePath(gameFolder, slot, f); };
        auto exists = [&](GameFile f) { return fs::is_regular_file(path(f), ec); };

        if (check.present(path(GameFile::Roster)))
            check.roster(path(GameFile::Roster));

        std::optional<std::string> federation;
        if (check.present(path(GameFile::SaveGame)))
            federation = check.saveGame(path(GameFile::SaveGame));

        // The rival files in play must be there; the player's own big federation's file is
        // never used, so it is only checked when present.
        std::optional<std::string> rival = federation ? OtherBigFed(*federation) : std::nullopt;
        for (GameFile f : {GameFile::WwfRoster, GameFile::WcwRoster}) {
            const bool needed = rival && *rival == (f == GameFile::WwfRoster ? "WWF" : "WCW");
            if (needed ? check.present(path(f)) : exists(f))
                check.rival(path(f));
        }
        for (GameFile f : {GameFile::EcwRoster, GameFile::IndyRoster})
            if (check.present(path(f)))
                check.rival(path(f));

        std::optional<GameFile> own = federation ? managersFileFor(*federation) : std::nullopt;
        for (GameFile f : {GameFile::WwfManagers, GameFile::WcwManagers}) {
            if (own && *own == f ? check.present(path(f)) : exists(f))
                check.managers(path(f));
        }
    }
    return problems;
}

} // namespace hv
