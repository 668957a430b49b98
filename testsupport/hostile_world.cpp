#include "hostile_world.h"

#include "test_support.h"

#include <gtest/gtest.h>

namespace hv::test {

const std::vector<HostileValue>& hostileValues() {
    static const std::vector<HostileValue> values = [] {
        std::string bytes; // 0x80 to 0xFF above all, and the control characters too
        for (int b = 0x01; b <= 0xFF; ++b)
            if (b != '\r' && b != '\n')
                bytes.push_back(static_cast<char>(b));
        std::string longText;
        while (longText.size() < 40000)
            longText += "Long value " + std::to_string(longText.size()) + ", ";
        longText.resize(40000);
        return std::vector<HostileValue>{
            {"40000 characters", longText},           {"lone CR", "Before\rafter"},
            {"bytes 0x01-0xFF but CR and LF", bytes}, {"outer blanks", "  Padded  "},
            {"enclosing quotes", "\"Smith, John\""},  {"inner comma", "Thuar, Koro"},
            {"markup", "<b>Bold</b> &amp; <i>"},      {"empty", ""},
        };
    }();
    return values;
}

std::vector<std::string> crlfLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string_view::npos;
         start = end + 2)
        lines.emplace_back(bytes.substr(start, end - start));
    if (start < bytes.size())
        lines.emplace_back(bytes.substr(start));
    return lines;
}

std::string& fileNamed(Files& files, std::string_view name) {
    for (auto& [path, bytes] : files)
        if (path.ends_with(name))
            return bytes;
    ADD_FAILURE() << "no file " << name;
    static std::string none;
    return none;
}

Files withLines(Files files, std::string_view name, const LineChanges& changes) {
    std::string& bytes = fileNamed(files, name);
    auto lines = crlfLines(bytes);
    for (const auto& [line, text] : changes) {
        if (line >= lines.size()) {
            ADD_FAILURE() << name << " has no line " << line + 1;
            continue;
        }
        lines[line] = text;
    }
    bytes = crlf(lines);
    return files;
}

} // namespace hv::test
