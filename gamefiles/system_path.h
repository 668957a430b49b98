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

} // namespace hv
