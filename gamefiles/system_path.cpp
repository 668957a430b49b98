#include "system_path.h"

#include "unicode.h"

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

std::u16string pathUtf16(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    return std::u16string(wide.begin(), wide.end());
}

std::filesystem::path pathFromUtf16(std::u16string_view text) {
    // A name from Qt spells the separators "/".
    std::filesystem::path path(std::wstring(text.begin(), text.end()));
    return path.make_preferred();
}

#else

std::filesystem::path pathFromBytes(std::string_view bytes) {
    return std::filesystem::path(std::string(bytes));
}

std::string pathBytes(const std::filesystem::path& path) {
    return path.native();
}

namespace {

constexpr char16_t kEscape = 0xDC00; // + a byte that is no part of UTF-8

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
}

} // namespace

std::u16string pathUtf16(const std::filesystem::path& path) {
    const std::string& b = path.native();
    std::u16string text;
    text.reserve(b.size());
    for (std::size_t i = 0; i < b.size();) {
        if (const auto c = nextUtf8(b, i))
            appendUtf16(text, *c);
        else
            text.push_back(static_cast<char16_t>(kEscape + static_cast<unsigned char>(b[i++])));
    }
    return text;
}

std::filesystem::path pathFromUtf16(std::u16string_view text) {
    const auto high = [](char16_t u) { return u >= 0xD800 && u <= 0xDBFF; };
    const auto low = [](char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (high(u) && i + 1 < text.size() && low(text[i + 1])) {
            appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (text[++i] - 0xDC00));
        } else if (u >= kEscape + 0x80 && u <= kEscape + 0xFF) {
            out.push_back(static_cast<char>(u - kEscape));
        } else {
            appendUtf8(out, high(u) || low(u) ? U'\uFFFD' : u);
        }
    }
    return std::filesystem::path(std::move(out));
}

#endif

} // namespace hv
