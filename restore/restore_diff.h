#pragma once

// What a restore point's change did, record by record and field by field, in the words of the
// windows: "Roster: Axe: Draw 10 -> 55", "ECW: Dee left", "Save game: Year 99 -> 100".
// Qt-free, shared by the restore window and `hv restore diff`.
//
// Records are matched by name: the first record of a name with the first of that name, the
// second with the second, and so on; placeholder records ("name") are only counted. A record
// that left and one that joined at the same place in the file are one record renamed. Values
// are shown as stored, in double quotes when empty or with blanks at either end.

#include <string>
#include <string_view>
#include <vector>

namespace hv::restore {

// A file of a change as the windows name it: "Roster", "WWF", "WCW", "ECW", "Indy",
// "Save game", "WWF managers", "WCW managers", "Slot names"; any other by its path.
std::string fileLabel(std::string_view relative);

// The lines telling how `after` differs from `before`, two versions of the file `relative`
// (relative to the game folder), each starting with the file's label. A version that holds no
// readable records is compared by size alone.
std::vector<std::string> diffVersions(std::string_view relative, std::string_view before,
                                      std::string_view after);

// What point `id` of the slot changed, file by file in the point's order. Each file is
// compared as the change left it: the version kept by the next newer point that replaced the
// file, or the file as it is now when none did. When that is no longer what the change left
// (another program wrote the file since), the file as it is now is compared, and a line says
// so. Throws OperationRefused for a point the slot does not have.
std::vector<std::string> describePoint(const std::string& gameFolder, std::string_view slot,
                                       unsigned long long id);

} // namespace hv::restore
