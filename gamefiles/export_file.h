#pragma once

// An exported wrestler (*.hve): one WrestlerRecord; only the first 19 lines are read.

#include "records.h"

#include <filesystem>
#include <string_view>

namespace hv {

WrestlerRecord parseExportFile(std::string_view bytes, const std::filesystem::path& file);
WrestlerRecord readExportFile(const std::filesystem::path& file);
std::string serializeExportFile(const WrestlerRecord& record);

} // namespace hv
