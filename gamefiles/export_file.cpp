#include "export_file.h"

namespace hv {

WrestlerRecord parseExportFile(std::string_view bytes, const std::filesystem::path& file) {
    WrestlerRecord record;
    record.firstLine = 1;
    LineReader reader(bytes);
    for (std::size_t i = 0; i < WrestlerRecord::kLines; ++i) {
        if (reader.atEnd())
            throw GameFileError(file,
                                "export file is too short: " + std::to_string(i) + " of " +
                                    std::to_string(WrestlerRecord::kLines) + " lines",
                                i + 1); // the first missing line
        record.lines[i] = std::string(reader.next());
    }
    return record; // anything after the first record is ignored
}

WrestlerRecord readExportFile(const std::filesystem::path& file) {
    return parseExportFile(readFileBytes(file), file);
}

std::string serializeExportFile(const WrestlerRecord& record) {
    std::string out;
    appendRecord(out, record);
    return out;
}

} // namespace hv
