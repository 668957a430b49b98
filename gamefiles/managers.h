#pragma once

// Managers files: two lines per manager, the name and the sex code ("m" or "f"). The game
// reads each by a field read, so the name it sees loses surrounding blanks and quotes.

#include "fields.h"
#include "record_file.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

struct ManagerRecord {
    static constexpr std::size_t kLines = 2;
    static constexpr bool kHasPlaceholders = false;
    enum Line : std::size_t { Name, Sex };
    std::array<std::string, kLines> lines;
    std::size_t firstLine = 0;
};

using ManagersFile = RecordFile<ManagerRecord>;

inline constexpr std::array<Choice, 2> kSexChoices = {{{"male", "m"}, {"female", "f"}}};

// The fields of a manager, each as the game reads its line: a name, which must read back
// whole, and the sex code, shown as "male" or "female".
inline constexpr std::array<Field, ManagerRecord::kLines> kManagerFields = {{
    {.line = ManagerRecord::Name,
     .name = "name",
     .caption = "Name",
     .readByFields = true,
     .checkAs = "manager's name"},
    {.line = ManagerRecord::Sex,
     .name = "sex",
     .caption = "Sex",
     .kind = FieldKind::Code,
     .choices = kSexChoices},
}};
static_assert(fieldsInLineOrder(kManagerFields));

// The names as the game reads them, in file order.
std::vector<std::string> managerNames(const std::filesystem::path& file);

// The managers file that belongs to a federation name, if it has one ("WWF", "WCW").
enum class GameFile;
std::optional<GameFile> managersFileFor(std::string_view federation);

} // namespace hv
