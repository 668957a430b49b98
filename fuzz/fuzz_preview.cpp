// The preview of an exchange file.

#include "exchange/exchange_ops.h"
#include "fuzz/fuzz_support.h"
#include "gamefiles/export_file.h"

#include <algorithm>

using namespace hv;

HV_FUZZ_TARGET(bytes) {
    const auto text = fuzz::readOrNothing([&] { return exchange::previewText(bytes, "fuzz.hve"); });
    if (!text)
        return;
    // Only a full record is previewed, and its name is shown as it is.
    const WrestlerRecord record = parseExportFile(bytes, "fuzz.hve");
    fuzz::require(text->starts_with("Name : " + record.name() + "\n"),
                  "the preview names the wrestler");
    const auto breaks = std::count(text->begin(), text->end(), '\n');
    fuzz::require(breaks == 22 || breaks == 24, "no value adds a line to the preview");
}
