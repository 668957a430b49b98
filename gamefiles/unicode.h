#pragma once

// The one table between the game's 8-bit text and Unicode: every byte value is one character
// (Windows-1252, its five undefined bytes kept as their C1 code points) and back. The windows
// convert through it, and so does the spreadsheet file, which is UTF-8.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace hv {

char32_t byteToUnicode(unsigned char byte);
// The byte for a character, or nothing when the game's files cannot hold it.
std::optional<unsigned char> unicodeToByte(char32_t character);

// Game bytes as UTF-8 text.
std::string bytesToUtf8(std::string_view bytes);
void appendUtf8(std::string& out, char32_t character);

// The next character of UTF-8 text at `pos`, which moves past it; nothing for bytes that are
// no well-formed UTF-8 (overlong forms and surrogates included).
std::optional<char32_t> nextUtf8(std::string_view text, std::size_t& pos);

} // namespace hv
