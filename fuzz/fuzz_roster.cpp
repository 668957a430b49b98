// The player's roster: 19-line records, and what the windows read from each.

#include "fuzz/fuzz_support.h"
#include "gamefiles/records.h"

#include <cstddef>
#include <cstdint>

using namespace hv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = fuzz::checkRecordFile<WrestlerRecord>(
        std::string_view(reinterpret_cast<const char*>(data), size));
    if (!file)
        return 0;
    for (std::size_t i = 0; i < file->size(); ++i) {
        const WrestlerRecord r = file->record(i);
        const auto carder = carderName(r.lines[WrestlerRecord::Carder]);
        fuzz::require(carder.empty() || carderCode(carder), "a shown carder has its code");
        const auto type = finisherTypeName(r.lines[WrestlerRecord::FinisherType]);
        fuzz::require(type.empty() ||
                          finisherTypeCode(type) == r.lines[WrestlerRecord::FinisherType],
                      "a shown finisher type has its letter");
        try {
            injuryWeeks(r, file->file());
        } catch (const GameFileError&) {
        }
    }
    return 0;
}
