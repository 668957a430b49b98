#include "text.h"

#include "error.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace hv {
namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Where the current line ends (index of CR LF / LF / end) and where the next line starts.
std::pair<std::size_t, std::size_t> lineBounds(std::string_view bytes, std::size_t pos) {
    std::size_t lf = bytes.find('\n', pos);
    if (lf == std::string_view::npos)
        return {bytes.size(), bytes.size()};
    std::size_t end = (lf > pos && bytes[lf - 1] == '\r') ? lf - 1 : lf;
    return {end, lf + 1};
}
} // namespace

std::string_view LineReader::next() {
    auto [end, nextStart] = lineBounds(bytes_, pos_);
    std::string_view line = bytes_.substr(pos_, end - pos_);
    pos_ = nextStart;
    ++line_;
    return line;
}

std::string FieldReader::next() {
    auto [lineEnd, nextLine] = lineBounds(bytes_, pos_);
    std::size_t p = pos_;
    while (p < lineEnd && isBlank(bytes_[p]))
        ++p;

    std::string value;
    std::size_t after; // first byte after the value's own text
    if (p < lineEnd && bytes_[p] == '"') {
        std::size_t close = bytes_.find('"', p + 1);
        if (close == std::string_view::npos || close > lineEnd)
            close = lineEnd;
        value.assign(bytes_.substr(p + 1, close - p - 1));
        after = close < lineEnd ? close + 1 : lineEnd;
        // Text between the closing quote and the delimiter is dropped.
        std::size_t comma = bytes_.find(',', after);
        after = (comma != std::string_view::npos && comma < lineEnd) ? comma : lineEnd;
    } else {
        std::size_t comma = bytes_.find(',', p);
        std::size_t end = (comma != std::string_view::npos && comma < lineEnd) ? comma : lineEnd;
        std::size_t trimmed = end;
        while (trimmed > p && isBlank(bytes_[trimmed - 1]))
            --trimmed;
        value.assign(bytes_.substr(p, trimmed - p));
        after = end;
    }

    if (after < lineEnd) { // a comma: the next value starts after it, on the same line
        pos_ = after + 1;
    } else {
        pos_ = nextLine;
        ++line_;
    }
    return value;
}

std::vector<std::string> splitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    LineReader reader(bytes);
    while (!reader.atEnd())
        lines.emplace_back(reader.next());
    return lines;
}

std::string fieldReadFirst(std::string_view line) {
    FieldReader reader(line);
    return reader.atEnd() ? std::string() : reader.next();
}

void appendTextLine(std::string& out, std::string_view text) {
    out.append(text);
    out.append(kLineEnd);
}

std::string numberLine(long long value) {
    std::string digits = std::to_string(value);
    if (value >= 0)
        return " " + digits + " ";
    return digits + " ";
}

std::optional<long long> parseNumber(std::string_view text) {
    std::size_t p = 0;
    while (p < text.size() && isBlank(text[p]))
        ++p;
    std::size_t e = text.size();
    while (e > p && isBlank(text[e - 1]))
        --e;
    text = text.substr(p, e - p);
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

std::string readFileBytes(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        throw GameFileError(file, "file not found");
    if (std::filesystem::is_directory(file, ec))
        throw GameFileError(file, "is a folder, not a file");
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw GameFileError(file, std::string("cannot be opened: ") + std::strerror(errno));
    std::string bytes;
    const auto size = std::filesystem::file_size(file, ec);
    if (!ec)
        bytes.reserve(static_cast<std::size_t>(size));
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        throw GameFileError(file, "cannot be read");
    return bytes;
}

} // namespace hv
