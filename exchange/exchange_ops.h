#pragma once

// Wrestler exchange: export files (*.hve) written from the player's roster, previewed as text
// and imported into it. Qt-free, shared by the exchange windows and `hv`. Every roster change
// goes through the safe rewrite of the roster file, so a failure leaves it as it was.

#include "gamefiles/error.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/records.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hv::exchange {

inline constexpr std::string_view kExportExtension = ".hve";

using hv::RosterFile;

// Names in file order, placeholders left out.
std::vector<std::string> wrestlerNames(const RosterFile& roster);

// The export file name for a wrestler: his name and ".hve", made safe to stand as one file
// in one folder. A path separator, a control character or a character Windows refuses
// becomes "_", as do trailing dots and blanks (so "." and ".." cannot occur); an empty name
// becomes "_"; a name Windows reserves for a device ("CON", "lpt1", ...) gets a leading "_";
// a name too long for the file system is cut. Bytes above 127 are kept as they are.
std::string exportFileName(std::string_view wrestlerName);

// Writes every record named `name`, byte for byte and in roster order, to `target` through
// the safe rewrite; returns how many. Refused, with nothing written, when no wrestler bears
// that name; when `target` is one of the editor's own files in `workDir` or lies inside the
// game folder; and when `target` is an existing file that is not an export of this wrestler
// (another wrestler whose name gives the same file name, or no export file at all).
std::size_t exportWrestler(const RosterFile& roster, std::string_view name,
                           const std::filesystem::path& target,
                           const std::filesystem::path& workDir);

// The readable text of an export file's first record, lines separated by "\n". Throws
// GameFileError for a file shorter than one record or whose line 7 holds no number.
std::string previewText(std::string_view bytes, const std::filesystem::path& file);
std::string previewFile(const std::filesystem::path& file);

struct ImportResult {
    bool appended = false;
    std::string name; // the import name: appended, or met in the roster
    // On a clash, the roster's records of that name as they stand, lines and line ends: the
    // state the question is about.
    std::vector<std::string> clashing;
};

// "Yes" met a roster that is no longer as the question showed it; nothing was written.
class ClashChanged : public OperationRefused {
public:
    ClashChanged(const std::string& message, std::vector<std::string> now)
        : OperationRefused(message), now_(std::move(now)) {}
    const std::vector<std::string>& now() const { return now_; } // the records as they are
private:
    std::vector<std::string> now_;
};

// Appends the first record of the export file to the roster unless a wrestler of its name is
// already there; then nothing is written and the result names the clash. An export file
// whose wrestler is named like the placeholder record ("name") is refused.
ImportResult importWrestler(const RosterFile& roster, const std::filesystem::path& exportFile);

// "Yes": every record named `name` becomes the export file's first record, in its place.
// Returns how many; refused, with nothing written, when none is left. With `asked` (the
// clashing records the question showed), ClashChanged is thrown, with nothing written, when
// the records of that name are no longer exactly those.
std::size_t overwriteWrestler(const RosterFile& roster, std::string_view name,
                              const std::filesystem::path& exportFile,
                              const std::vector<std::string>* asked = nullptr);

// "Apply": appends the export file's first record under `newName`, taken as typed (it may
// be empty or clash again). A line break or the placeholder name is refused.
void importAs(const RosterFile& roster, const std::filesystem::path& exportFile,
              std::string_view newName);

} // namespace hv::exchange
