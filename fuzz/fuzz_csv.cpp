// The spreadsheet reader: any bytes are refused or read, and rows read are written back and
// read again as the same rows.

#include "fuzz/fuzz_support.h"
#include "gamefiles/csv.h"
#include "gamefiles/error.h"

using namespace hv;

HV_FUZZ_TARGET(bytes) {
    const auto rows = fuzz::readOrNothing([&] { return parseCsv(bytes, "fuzz.csv"); });
    if (!rows)
        return;
    std::string written;
    for (const CsvRow& row : *rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                written += ',';
            appendCsvCell(written, row[i], i % 2 == 0);
        }
        written += "\r\n";
    }
    fuzz::require(parseCsv(written, "fuzz.csv") == *rows, "rows written back read the same");
}
