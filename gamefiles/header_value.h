#pragma once

// A save game header line taken as one value, the way a field read takes a line that holds a
// single value: blanks around it and enclosing double quotes removed. Unlike a field read it
// never stops at a comma, so a feud text, commissioner or title holder holding one is read
// whole instead of shifting every later value.

#include <string>
#include <string_view>

namespace hv {

inline std::string headerValue(std::string_view line) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!line.empty() && blank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && blank(line.back()))
        line.remove_suffix(1);
    if (!line.empty() && line.front() == '"') {
        line.remove_prefix(1);
        if (!line.empty() && line.back() == '"')
            line.remove_suffix(1);
    }
    return std::string(line);
}

} // namespace hv
