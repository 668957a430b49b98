#pragma once

// Values no game file has ever held, and line-level views of files, to say exactly what an
// operation changed.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hv::test {

using Files = std::vector<std::pair<std::string, std::string>>; // as snapshot() gives them

// Values a field may be given: very long, every byte but CR and LF, a lone CR, outer blanks...
struct HostileValue {
    const char* label;
    std::string bytes;
};
const std::vector<HostileValue>& hostileValues();

// The lines of a file whose lines all end in CR LF (a lone CR stays inside its line).
std::vector<std::string> crlfLines(std::string_view bytes);

} // namespace hv::test
