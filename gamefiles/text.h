#pragma once

// The text conventions shared by every game file: one value per line, CR LF line ends,
// values read whole ("line read") or comma-separated ("field read").

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

inline constexpr std::string_view kLineEnd = "\r\n";

// Reads whole lines. Accepts CR LF and lone LF; a last line without an ending is still a line.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : bytes_(bytes) {}
    bool atEnd() const { return pos_ >= bytes_.size(); }
    // The next line without its ending. Must not be called at the end.
    std::string_view next();
    // 1-based number of the line that the next call returns.
    std::size_t lineNumber() const { return line_ + 1; }
    // Offset of the next unread byte.
    std::size_t position() const { return pos_; }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::size_t line_ = 0;
};

// Reads values the way the game's own comma-separated reader does: leading blanks are
// skipped, a quoted value runs to the closing quote, any other value runs to the next comma
// or line end and loses trailing blanks.
class FieldReader {
public:
    explicit FieldReader(std::string_view bytes) : bytes_(bytes) {}
    bool atEnd() const { return pos_ >= bytes_.size(); }
    std::string next();
    // 1-based number of the line the next value starts on.
    std::size_t lineNumber() const { return line_ + 1; }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::size_t line_ = 0;
};

std::vector<std::string> splitLines(std::string_view bytes);

// The 1-based number of the first line not ended by CR LF (a bare LF, or a last line without
// an ending), or nothing. The game writes CR LF throughout; a file another tool wrote with
// other line ends is reported, and not rewritten, since a rewrite would change every line.
inline constexpr std::string_view kNotCrLf = "the line does not end in CR LF as the game's do";
inline std::optional<std::size_t> lineWithoutCrLf(std::string_view bytes) {
    std::size_t line = 1;
    for (std::size_t lf = bytes.find('\n'); lf != std::string_view::npos;
         lf = bytes.find('\n', lf + 1), ++line)
        if (lf == 0 || bytes[lf - 1] != '\r')
            return line;
    if (!bytes.empty() && bytes.back() != '\n')
        return line;
    return std::nullopt;
}

// The first value of one line as a field read gives it.
std::string fieldReadFirst(std::string_view line);

// Appends text followed by CR LF.
void appendTextLine(std::string& out, std::string_view text);

// A computed number as the game writes it: " 3 " for 3, "-2 " for -2 (no line end).
std::string numberLine(long long value);

// A line compared as a number: optional blanks, optional sign, digits, optional blanks.
// Anything else (including an empty line) holds no number.
std::optional<long long> parseNumber(std::string_view text);

// A value of a number field as the game takes it: a number as above, or an empty or blank
// line, which the game reads as 0 and which the editor's own blank wrestler holds.
bool isNumberValue(std::string_view text);

// Every run of line breaks becomes one blank: CR and LF, and in wide text also the Unicode
// line and paragraph separators (which text boxes produce). Shared by the windows, the
// operations and `hv`, so that a value is joined the same way wherever it was typed.
template <class Char> std::basic_string<Char> joinLineBreaks(std::basic_string_view<Char> text) {
    auto isBreak = [](Char c) {
        if constexpr (sizeof(Char) > 1)
            if (c == Char(0x2028) || c == Char(0x2029))
                return true;
        return c == Char('\r') || c == Char('\n');
    };
    std::basic_string<Char> out;
    out.reserve(text.size());
    bool inBreak = false;
    for (Char c : text) {
        const bool lineBreak = isBreak(c);
        if (!lineBreak)
            out.push_back(c);
        else if (!inBreak)
            out.push_back(Char(' '));
        inBreak = lineBreak;
    }
    return out;
}
inline std::string joinLineBreaks(std::string_view text) {
    return joinLineBreaks<char>(text);
}

// True when the text holds a CR or LF, which would break the one-value-per-line layout.
bool hasLineBreak(std::string_view text);

// Whole file as bytes; throws GameFileError when it cannot be read.
std::string readFileBytes(const std::filesystem::path& file);

// A whole file, read-only, mapped into memory where the system allows it (else read). For a
// large file this costs next to nothing: the pages come straight from the page cache instead
// of being copied into fresh memory. The file itself is never written through the mapping;
// rewrites replace it by renaming a new file over it, which leaves the mapped bytes intact.
class FileBytes {
public:
    FileBytes() = default;
    explicit FileBytes(const std::filesystem::path& file); // throws GameFileError
    explicit FileBytes(std::string bytes) : read_(std::move(bytes)), view_(read_) {}
    FileBytes(FileBytes&& other) noexcept;
    FileBytes& operator=(FileBytes&& other) noexcept;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes();

    std::string_view view() const { return view_; }
    // The bytes, to be written over in place; null when they are mapped rather than read.
    char* writable() { return map_ != nullptr ? nullptr : read_.data(); }
    // The open file behind a mapping, so that its byte ranges can be copied inside the
    // kernel; -1 when the bytes were read.
    int fd() const { return fd_; }
    // Whether `piece` lies inside these bytes; its offset in the file is then
    // piece.data() - view().data().
    bool holds(std::string_view piece) const {
        return !view_.empty() && piece.data() >= view_.data() &&
               piece.data() + piece.size() <= view_.data() + view_.size();
    }

private:
    void release();

    std::string read_; // when the file was read rather than mapped
    void* map_ = nullptr;
    std::size_t mapSize_ = 0;
    int fd_ = -1;
    std::string_view view_;
};

} // namespace hv
