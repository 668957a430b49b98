// Line and field reads, numbers and the joining of typed line breaks.

#include "fuzz/fuzz_support.h"
#include "gamefiles/header_value.h"
#include "gamefiles/text.h"

using namespace hv;

HV_FUZZ_TARGET(bytes) {
    const auto lines = splitLines(bytes);
    std::string rewritten;
    for (const auto& line : lines) {
        appendTextLine(rewritten, line);
        if (const auto n = parseNumber(line))
            fuzz::require(parseNumber(numberLine(*n)) == n, "a number line reads back");
        fuzz::require(headerValue(line).size() <= line.size(),
                      "a header value is part of its line");
    }
    if (fuzz::crlfOnly(bytes))
        fuzz::require(rewritten == bytes, "lines written back give the same bytes");

    FieldReader fields(bytes);
    std::size_t values = 0;
    while (!fields.atEnd()) {
        const std::size_t line = fields.lineNumber();
        fields.next();
        fuzz::require(++values <= bytes.size() && fields.lineNumber() >= line,
                      "field reads advance");
    }
    fuzz::require(values >= lines.size(), "every line holds at least one field");

    const std::string joined = joinLineBreaks(bytes);
    fuzz::require(!hasLineBreak(joined), "joined text has no line break");
    if (!hasLineBreak(bytes))
        fuzz::require(joined == bytes, "text without line breaks is kept");
}
