#include "file_path.h"

#include "gamefiles/system_path.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>

#include <string>

namespace fs = std::filesystem;

namespace hv::ui {

QString pathText(const fs::path& path) {
    return QString::fromStdU16String(pathUtf16(path));
}

#ifdef _WIN32

fs::path pathFromText(const QString& text) {
    return pathFromUtf16(text.toStdU16String());
}

std::optional<fs::path> pathFromUrl(const QUrl& url) {
    if (!url.isLocalFile())
        return std::nullopt;
    return pathFromText(url.toLocalFile());
}

#else

namespace {

constexpr char16_t kReplacement = 0xFFFD;

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

fs::path pathFromText(const QString& text) {
    const fs::path path = pathFromUtf16(text.toStdU16String());
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
