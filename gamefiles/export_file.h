#pragma once

// An exported wrestler (*.hve): one WrestlerRecord; only the first 19 lines are read, and each
// of them must end in CR LF (anything else would shift the record when the game reads it).

#include "records.h"

#include <filesystem>
#include <string_view>

namespace hv {

WrestlerRecord parseExportFile(std::string_view bytes, const std::filesystem::path& file);
WrestlerRecord readExportFile(const std::filesystem::path& file);
// The carder code as the preview reads it (line 7 by field read); throws GameFileError for a
// line that holds no number.
long long exportCarder(const WrestlerRecord& record, const std::filesystem::path& file);
std::string serializeExportFile(const WrestlerRecord& record);

} // namespace hv
