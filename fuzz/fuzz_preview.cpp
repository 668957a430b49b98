// The preview of an exchange file.

#include "exchange/exchange_ops.h"
#include "fuzz/fuzz_support.h"
#include "gamefiles/export_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace hv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string text;
    try {
        text = exchange::previewText(bytes, "fuzz.hve");
    } catch (const GameFileError&) {
        return 0;
    }
    // Only a full record is previewed, and its name is shown as it is.
    const WrestlerRecord record = parseExportFile(bytes, "fuzz.hve");
    fuzz::require(text.starts_with("Name : " + record.name() + "\n"),
                  "the preview names the wrestler");
    const auto breaks = std::count(text.begin(), text.end(), '\n');
    fuzz::require(breaks == 22 || breaks == 24, "no value adds a line to the preview");
    return 0;
}
