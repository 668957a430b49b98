#pragma once

// Values a game file may hold that a window could easily mangle, and line-level views of files
// to say exactly what an operation changed.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hv::test {

struct HostileValue {
    const char* label;
    std::string bytes;
};

// 40,000 characters; a lone CR; every byte from 0x01 to 0xFF but CR and LF; outer blanks;
// enclosing double quotes around a comma; an inner comma; markup; empty.
const std::vector<HostileValue>& hostileValues();

using Files = std::vector<std::pair<std::string, std::string>>; // as snapshot() gives them
using LineChanges = std::map<std::size_t, std::string>;         // 0-based line -> new text

// The lines of a file whose lines all end in CR LF (a lone CR stays inside its line).
std::vector<std::string> crlfLines(std::string_view bytes);

// The bytes of the file whose name ends in `name`; a test failure when there is none.
std::string& fileNamed(Files& files, std::string_view name);

// `files` with the given lines of the file `name` replaced.
Files withLines(Files files, std::string_view name, const LineChanges& changes);

} // namespace hv::test
