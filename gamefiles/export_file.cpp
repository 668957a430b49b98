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
        const std::size_t start = reader.position();
        const std::string_view line = reader.next();
        // The game ends a line at a CR as well as at CR LF: any other ending, or a CR inside
        // a value, would shift every later line of the record.
        if (line.find('\r') != std::string_view::npos)
            throw GameFileError(file, "a CR inside the line, where the game would split it", i + 1);
        if (bytes.substr(start + line.size(), reader.position() - start - line.size()) != kLineEnd)
            throw GameFileError(file, std::string(kNotCrLf), i + 1);
        record.lines[i] = std::string(line);
    }
    return record; // anything after the first record is ignored
}

WrestlerRecord readExportFile(const std::filesystem::path& file) {
    return parseExportFile(readFileBytes(file), file);
}

long long exportCarder(const WrestlerRecord& record, const std::filesystem::path& file) {
    const std::string& line = record.lines[WrestlerRecord::Carder];
    const auto carder = parseNumber(fieldReadFirst(line));
    if (!carder)
        throw GameFileError(file,
                            std::string(kWrestlerFields[WrestlerRecord::Carder].checkName()) +
                                " is not a number: \"" + line + "\"",
                            WrestlerRecord::Carder + 1);
    return *carder;
}

std::string serializeExportFile(const WrestlerRecord& record) {
    std::string out;
    appendRecord(out, record);
    return out;
}

} // namespace hv
