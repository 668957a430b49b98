#include "system_path.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace hv {

#ifdef _WIN32

std::filesystem::path pathFromBytes(std::string_view bytes) {
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    // A single-byte code page maps every byte to one UTF-16 unit at most.
    const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), size);
    wide.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return std::filesystem::path(std::move(wide));
}

std::string pathBytes(const std::filesystem::path& path) {
    // Paths joined from the game's "/" spellings are shown with Windows' own separator.
    std::filesystem::path preferred = path;
    const std::wstring& wide = preferred.make_preferred().native();
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, bytes.data(), n, nullptr, nullptr);
    return bytes;
}

#else

std::filesystem::path pathFromBytes(std::string_view bytes) {
    return std::filesystem::path(std::string(bytes));
}

std::string pathBytes(const std::filesystem::path& path) {
    return path.native();
}

#endif

} // namespace hv
