// A rival federation's roster: 16-line records.

#include "fuzz/fuzz_support.h"
#include "gamefiles/records.h"

HV_FUZZ_TARGET(bytes) {
    if (const auto file = hv::fuzz::checkRecordFile<hv::OtherFedRecord>(bytes))
        for (std::size_t i = 0; i < file->size(); ++i)
            hv::fuzz::require(file->findFirst(file->name(i)).value_or(i) <= i,
                              "find by name meets the first record of that name");
}
