#pragma once

// File names between the windows and the file system. On Windows a name is UTF-16 on both
// sides. Elsewhere it is bytes, and Qt turns bytes that are not UTF-8 (an export named
// "Caf\xE9.hve" from a roster in the game's 8-bit text) into U+FFFD, which no longer names
// the file. Every path a window builds or receives goes through here instead: such a byte
// becomes U+DC80 to U+DCFF and back, so that any name survives the trip through a QString.

#include <QString>

#include <filesystem>
#include <optional>
#include <vector>

class QUrl;

namespace hv::ui {

QString pathText(const std::filesystem::path& path);

// The path for `text`. A name that Qt decoded with loss itself (the file dialog's result,
// holding U+FFFD) is matched against the entries that exist there, when exactly one fits.
std::filesystem::path pathFromText(const QString& text);

// The local file a URL names (a dropped file), from its own bytes; nothing for other URLs.
std::optional<std::filesystem::path> pathFromUrl(const QUrl& url);

// The program's arguments after the first, as paths: elsewhere than on Windows from the bytes
// of `argv`, which QCoreApplication::arguments() would decode with loss. Call it after the
// application object has taken its own options out of `argv`.
std::vector<std::filesystem::path> argumentPaths(int argc, char** argv);

} // namespace hv::ui
