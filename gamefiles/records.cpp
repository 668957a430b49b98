#include "records.h"

namespace hv {

std::string_view carderName(std::string_view line) {
    auto code = parseNumber(line);
    if (!code)
        return {};
    switch (*code) {
    case 3:
        return "Upper Carder";
    case 2:
        return "Middle Carder";
    case 1:
        return "Lower Carder";
    default:
        return {};
    }
}

std::optional<int> carderCode(std::string_view shown) {
    if (shown == "Upper Carder")
        return 3;
    if (shown == "Middle Carder")
        return 2;
    if (shown == "Lower Carder")
        return 1;
    return std::nullopt;
}

std::string_view finisherTypeName(std::string_view line) {
    if (line == "p")
        return "Power Move";
    if (line == "s")
        return "Submission";
    return {};
}

std::optional<std::string_view> finisherTypeCode(std::string_view shown) {
    if (shown == "Power Move")
        return "p";
    if (shown == "Submission")
        return "s";
    return std::nullopt;
}

WrestlerRecord blankWrestler() {
    WrestlerRecord r;
    r.lines[WrestlerRecord::Name] = "Your Wrestler";
    r.lines[WrestlerRecord::Carder] = "2";
    r.lines[WrestlerRecord::Injury] = "0";
    r.lines[WrestlerRecord::Morale] = "80";
    r.lines[WrestlerRecord::Retirement] = "20";
    return r;
}

long long injuryWeeks(const WrestlerRecord& record, const std::filesystem::path& file) {
    const std::string& line = record.lines[WrestlerRecord::Injury];
    if (line.find_first_not_of(" \t") == std::string::npos)
        return 0;
    auto weeks = parseNumber(line);
    if (!weeks)
        throw GameFileError(file,
                            "weeks out injured of \"" + record.name() + "\" is not a number: \"" +
                                line + "\"",
                            record.firstLine ? record.firstLine + WrestlerRecord::Injury : 0);
    return *weeks;
}

} // namespace hv
