#include "byte_text.h"

#include "gamefiles/error.h"
#include "gamefiles/unicode.h"

namespace hv::ui {
namespace {

// The core's table, for one character of a QString.
std::optional<unsigned char> toByte(QChar ch) {
    return unicodeToByte(ch.unicode());
}

} // namespace

QString toQt(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes)
        out.append(QChar(static_cast<char16_t>(byteToUnicode(static_cast<unsigned char>(c)))));
    return out;
}

std::optional<std::string> fromQt(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        const auto byte = toByte(ch);
        if (!byte)
            return std::nullopt;
        out.push_back(static_cast<char>(*byte));
    }
    return out;
}

std::string fromQtOrRefuse(const QString& text, const QString& boxLabel) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto byte = toByte(text.at(i));
        if (!byte) {
            // Report the whole character, surrogate pairs included.
            const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size();
            const QString shown = pair ? text.mid(i, 2) : text.mid(i, 1);
            refuseOperation(
                QStringLiteral("The character \"%1\" in \"%2\" cannot be stored in the game's "
                               "files.")
                    .arg(shown, boxLabel)
                    .toStdString());
        }
        out.push_back(static_cast<char>(*byte));
    }
    return out;
}

} // namespace hv::ui
