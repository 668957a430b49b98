#include "file_path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <string>

namespace fs = std::filesystem;

namespace hv::ui {

#ifdef _WIN32

QString pathText(const fs::path& path) {
    return QString::fromStdWString(path.native());
}

fs::path pathFromText(const QString& text) {
    return fs::path(QDir::toNativeSeparators(text).toStdWString());
}

std::optional<fs::path> pathFromUrl(const QUrl& url) {
    if (!url.isLocalFile())
        return std::nullopt;
    return pathFromText(url.toLocalFile());
}

#else

namespace {

constexpr char16_t kEscape = 0xDC00; // + a byte that is no part of UTF-8
constexpr char16_t kReplacement = 0xFFFD;

// The length of the well-formed UTF-8 sequence at `i`, or 0.
std::size_t sequenceAt(std::string_view b, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(b[i + k]); };
    const unsigned char lead = at(0);
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF; // the bounds of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF; // no encoded surrogates: they would not come back
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + n > b.size() || at(1) < low || at(1) > high)
        return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (at(k) < 0x80 || at(k) > 0xBF)
            return 0;
    return n;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string bytesOf(const QString& text) {
    std::string out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            appendUtf8(out, QChar::surrogateToUcs4(u, text.at(++i).unicode()));
        } else if (u >= kEscape + 0x80 && u <= kEscape + 0xFF) {
            out.push_back(static_cast<char>(u - kEscape));
        } else {
            appendUtf8(out, QChar::isSurrogate(u) ? kReplacement : u);
        }
    }
    return out;
}

QString qtDecoded(const std::string& bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// `path` with each missing component that Qt decoded with loss replaced by the one entry of
// its folder that Qt shows under that name.
fs::path matchLossyNames(const fs::path& path) {
    fs::path resolved;
    for (const fs::path& part : path) {
        fs::path next = resolved / part;
        std::error_code ec;
        if (qtDecoded(part.native()).contains(QChar(kReplacement)) &&
            !fs::exists(fs::symlink_status(next, ec))) {
            const QString shown = qtDecoded(part.native());
            int found = 0;
            fs::path match;
            const fs::path folder = resolved.empty() ? fs::path(".") : resolved;
            for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
                if (qtDecoded(it->path().filename().native()) == shown) {
                    match = resolved / it->path().filename();
                    ++found;
                }
            if (found == 1)
                next = match;
        }
        resolved = std::move(next);
    }
    return resolved;
}

} // namespace

QString pathText(const fs::path& path) {
    const std::string& b = path.native();
    QString text;
    text.reserve(static_cast<qsizetype>(b.size()));
    for (std::size_t i = 0; i < b.size();) {
        const std::size_t n = static_cast<unsigned char>(b[i]) < 0x80 ? 1 : sequenceAt(b, i);
        if (n == 0) {
            text.append(QChar(static_cast<char16_t>(kEscape + static_cast<unsigned char>(b[i]))));
            ++i;
            continue;
        }
        text.append(QString::fromUtf8(b.data() + i, static_cast<qsizetype>(n)));
        i += n;
    }
    return text;
}

fs::path pathFromText(const QString& text) {
    const fs::path path(bytesOf(text));
    return text.contains(QChar(kReplacement)) ? matchLossyNames(path) : path;
}

std::optional<fs::path> pathFromUrl(const QUrl& url) {
    if (!url.isLocalFile())
        return std::nullopt;
    // The URL's own percent-encoded bytes: toLocalFile() would decode them as UTF-8.
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return fs::path(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

#endif

std::vector<fs::path> argumentPaths([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
    std::vector<fs::path> paths;
#ifdef _WIN32
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i)
        paths.push_back(pathFromText(args.at(i)));
#else
    for (int i = 1; i < argc; ++i)
        paths.emplace_back(argv[i]);
#endif
    return paths;
}

} // namespace hv::ui
