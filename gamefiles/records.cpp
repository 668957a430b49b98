#include "records.h"

namespace hv {

namespace {

const Field& carderField() {
    return kWrestlerFields[WrestlerRecord::Carder];
}
const Field& finisherTypeField() {
    return kWrestlerFields[WrestlerRecord::FinisherType];
}

std::string_view wordsOf(const Field& f, std::string_view line) {
    const Choice* c = f.storedChoice(line);
    return c != nullptr ? c->words : std::string_view();
}

} // namespace

std::string_view carderName(std::string_view line) {
    return wordsOf(carderField(), line);
}

std::optional<int> carderCode(std::string_view shown) {
    if (const Choice* c = carderField().choice(shown))
        return static_cast<int>(*parseNumber(c->code));
    return std::nullopt;
}

std::string_view finisherTypeName(std::string_view line) {
    return wordsOf(finisherTypeField(), line);
}

std::optional<std::string_view> finisherTypeCode(std::string_view shown) {
    if (const Choice* c = finisherTypeField().choice(shown))
        return c->code;
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
