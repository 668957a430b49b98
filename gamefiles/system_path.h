#pragma once

// Folder and file names arrive as bytes: line 1 of options.dat, the command line, record
// names in messages. On Windows they are in the ANSI code page, the one the game itself uses,
// and the file system wants UTF-16; elsewhere the bytes are the name.

#include <filesystem>
#include <string>
#include <string_view>

namespace hv {

std::filesystem::path pathFromBytes(std::string_view bytes);
// Never throws: a character the code page lacks becomes "?", fit for a message. Windows
// gets its own separator throughout.
std::string pathBytes(const std::filesystem::path& path);

// A name as UTF-16 text for a window, and back, for any name the system can hold. On Windows
// it is the name itself. Elsewhere UTF-8 is decoded and a byte that is no part of it becomes
// U+DC80 to U+DCFF; a lone surrogate of any other value reads back as U+FFFD.
std::u16string pathUtf16(const std::filesystem::path& path);
std::filesystem::path pathFromUtf16(std::u16string_view text);

} // namespace hv
