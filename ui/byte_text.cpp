#include "byte_text.h"

#include "gamefiles/error.h"

#include <array>
#include <unordered_map>

namespace hv::ui {
namespace {

// 0x80..0x9F as Windows-1252 shows them; its five undefined bytes keep their C1 code point
// so that they still round-trip.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t toUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        return kHigh[byte - 0x80];
    return byte;
}

const std::unordered_map<char16_t, unsigned char>& reverseTable() {
    static const auto table = [] {
        std::unordered_map<char16_t, unsigned char> t;
        for (int b = 0; b < 256; ++b)
            t.emplace(toUnicode(static_cast<unsigned char>(b)), static_cast<unsigned char>(b));
        return t;
    }();
    return table;
}

} // namespace

QString toQt(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes)
        out.append(QChar(toUnicode(static_cast<unsigned char>(c))));
    return out;
}

std::optional<std::string> fromQt(const QString& text) {
    const auto& table = reverseTable();
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        auto it = table.find(ch.unicode());
        if (it == table.end())
            return std::nullopt;
        out.push_back(static_cast<char>(it->second));
    }
    return out;
}

std::string fromQtOrRefuse(const QString& text, const QString& boxLabel) {
    const auto& table = reverseTable();
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        auto it = table.find(text.at(i).unicode());
        if (it == table.end()) {
            // Report the whole character, surrogate pairs included.
            const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size();
            const QString shown = pair ? text.mid(i, 2) : text.mid(i, 1);
            throw OperationRefused(
                QStringLiteral("The character \"%1\" in \"%2\" cannot be stored in the game's "
                               "files. Nothing was written.")
                    .arg(shown, boxLabel)
                    .toStdString());
        }
        out.push_back(static_cast<char>(it->second));
    }
    return out;
}

} // namespace hv::ui
