// A rival federation's roster: 16-line records.

#include "fuzz/fuzz_support.h"
#include "gamefiles/records.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = hv::fuzz::checkRecordFile<hv::OtherFedRecord>(
        std::string_view(reinterpret_cast<const char*>(data), size));
    if (file)
        for (std::size_t i = 0; i < file->size(); ++i)
            hv::fuzz::require(file->findFirst(file->name(i)).value_or(i) <= i,
                              "find by name meets the first record of that name");
    return 0;
}
