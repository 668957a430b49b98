#include "merge.h"

#include "text.h"

namespace hv {

bool sameStored(std::string_view a, std::string_view b, bool asNumber) {
    if (a == b)
        return true;
    if (!asNumber || !isNumberValue(a) || !isNumberValue(b))
        return false;
    return parseNumber(a).value_or(0) == parseNumber(b).value_or(0);
}

Merge mergeValue(std::string_view base, std::string_view mine, std::string_view now,
                 bool asNumber) {
    if (now == mine)
        return Merge::Already;
    // The file still holds what the user read: the user's value goes in, even where it is
    // only the same number written otherwise.
    if (sameStored(now, base, asNumber))
        return Merge::Write;
    if (sameStored(now, mine, asNumber))
        return Merge::Already;
    return Merge::Conflict;
}

std::string conflictLine(const Conflict& c, std::string_view mineLabel) {
    return c.record + ": " + c.field + ": " + std::string(mineLabel) + " \"" + c.mine +
           "\", read \"" + c.base + "\", now \"" + c.now + "\"";
}

namespace {
std::string conflictsText(const std::vector<Conflict>& conflicts, std::string_view mineLabel) {
    std::string out = conflicts.size() == 1
                          ? std::string("changed both here and in the file since it was read")
                          : std::to_string(conflicts.size()) +
                                " values changed both here and in the file since they were read";
    out += "; nothing was written:";
    for (const Conflict& c : conflicts)
        out += "\n" + conflictLine(c, mineLabel);
    return out;
}
} // namespace

ConflictError::ConflictError(std::vector<Conflict> conflicts, std::string_view mineLabel)
    : OperationRefused(conflictsText(conflicts, mineLabel)), conflicts_(std::move(conflicts)) {}

} // namespace hv
