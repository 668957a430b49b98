// The player's roster: 19-line records, and what the windows read from each.

#include "fuzz/fuzz_support.h"
#include "gamefiles/records.h"

using namespace hv;

HV_FUZZ_TARGET(bytes) {
    const auto file = fuzz::checkRecordFile<WrestlerRecord>(bytes);
    if (!file)
        return;
    for (std::size_t i = 0; i < file->size(); ++i) {
        const WrestlerRecord r = file->record(i);
        const auto carder = carderName(r.lines[WrestlerRecord::Carder]);
        fuzz::require(carder.empty() || carderCode(carder), "a shown carder has its code");
        const auto type = finisherTypeName(r.lines[WrestlerRecord::FinisherType]);
        fuzz::require(type.empty() ||
                          finisherTypeCode(type) == r.lines[WrestlerRecord::FinisherType],
                      "a shown finisher type has its letter");
        fuzz::readOrNothing([&] { return injuryWeeks(r, file->file()); });
    }
}
