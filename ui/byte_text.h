#pragma once

// Game files are 8-bit (Windows-1252 style). Conversion happens only here, at the window
// edge, with a table that maps every one of the 256 byte values to one character and back.

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace hv::ui {

QString toQt(std::string_view bytes);

// The bytes for `text`, or nothing when a character has no byte value.
std::optional<std::string> fromQt(const QString& text);

// As fromQt, but throws OperationRefused naming `boxLabel` and the character.
std::string fromQtOrRefuse(const QString& text, const QString& boxLabel);

} // namespace hv::ui
