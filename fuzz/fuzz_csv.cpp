// The spreadsheet reader: any bytes are refused or read, and rows read are written back and
// read again as the same rows.

#include "fuzz/fuzz_support.h"
#include "gamefiles/csv.h"
#include "gamefiles/error.h"

#include <cstddef>
#include <cstdint>

using namespace hv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<CsvRow> rows;
    try {
        rows = parseCsv(bytes, "fuzz.csv");
    } catch (const GameFileError&) {
        return 0;
    }
    std::string written;
    for (const CsvRow& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                written += ',';
            appendCsvCell(written, row[i], i % 2 == 0);
        }
        written += "\r\n";
    }
    fuzz::require(parseCsv(written, "fuzz.csv") == rows, "rows written back read the same");
    return 0;
}
