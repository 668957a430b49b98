#include "hostile_world.h"

namespace hv::test {

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

} // namespace hv::test
