// A managers file: 2-line records, names read as the game reads them.

#include "fuzz/fuzz_support.h"
#include "gamefiles/managers.h"

HV_FUZZ_TARGET(bytes) {
    const auto file = hv::fuzz::checkRecordFile<hv::ManagerRecord>(bytes);
    hv::fuzz::resetScratch();
    const auto path = hv::fuzz::put("wwfmanagers.hv1", bytes);
    try {
        const auto names = hv::managerNames(path);
        hv::fuzz::require(file && names.size() == file->size(), "one name per manager record");
    } catch (const hv::GameFileError&) {
        hv::fuzz::require(!file, "the names of a readable file can be listed");
    }
}
