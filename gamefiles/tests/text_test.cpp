#include "gamefiles/text.h"

#include <gtest/gtest.h>

using namespace hv;

namespace {
std::vector<std::string> fields(std::string_view bytes) {
    std::vector<std::string> out;
    FieldReader r(bytes);
    while (!r.atEnd())
        out.push_back(r.next());
    return out;
}
using Lines = std::vector<std::string>;
} // namespace

TEST(LineRead, KeepsEverythingButTheLineEnd) {
    EXPECT_EQ(splitLines("a, \"b\"\r\n  c  \r\n"), (Lines{"a, \"b\"", "  c  "}));
    EXPECT_EQ(splitLines("a\nb\r\nc"), (Lines{"a", "b", "c"})); // LF only, no final end
    EXPECT_EQ(splitLines("\r\n\r\nx\r\n"), (Lines{"", "", "x"}));
    EXPECT_EQ(splitLines("a\rb\r\n"), (Lines{"a\rb"})); // a lone CR is data
    EXPECT_EQ(splitLines("caf\xe9\x81\r\n"), (Lines{"caf\xe9\x81"}));
    EXPECT_TRUE(splitLines("").empty());
    EXPECT_EQ(splitLines("\r\n"), (Lines{""}));
}

TEST(LineRead, CountsLinesAndPosition) {
    LineReader r("one\r\ntwo\nthree");
    EXPECT_EQ(r.lineNumber(), 1u);
    r.next();
    EXPECT_EQ(r.position(), 5u);
    r.next();
    EXPECT_EQ(r.lineNumber(), 3u);
    EXPECT_EQ(r.next(), "three");
    EXPECT_TRUE(r.atEnd());
}

TEST(FieldRead, SplitsAtCommasAndTrimsBlanks) {
    EXPECT_EQ(fields("C:\\Games\\HV,rest\r\n"), (Lines{"C:\\Games\\HV", "rest"}));
    EXPECT_EQ(fields("   lead and trail   \r\n"), (Lines{"lead and trail"}));
    EXPECT_EQ(fields("a,,b\r\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(fields("a,\r\nb\r\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(fields("x\ny"), (Lines{"x", "y"})); // LF only and no final line end
}

TEST(FieldRead, QuotedValuesKeepCommasAndLoseQuotes) {
    EXPECT_EQ(fields("\"Smith, John\" , next\r\n"), (Lines{"Smith, John", "next"}));
    EXPECT_EQ(fields("  \" padded \"\r\n"), (Lines{" padded "}));
    EXPECT_EQ(fields("\"tail\"junk,b\r\n"), (Lines{"tail", "b"}));
    EXPECT_EQ(fields("\"unclosed, still\r\nx\r\n"), (Lines{"unclosed, still", "x"}));
    EXPECT_EQ(fields("say \"hi\"\r\n"), (Lines{"say \"hi\""})); // quote not at the start
}

TEST(FieldRead, EmptyLinesAreEmptyValues) {
    EXPECT_EQ(fields("\r\n\r\nm\r\n"), (Lines{"", "", "m"}));
    EXPECT_EQ(fieldReadFirst(""), "");
    EXPECT_EQ(fieldReadFirst(" WWF "), "WWF");
}

TEST(NumberLines, WrittenWithSignPositionAndTrailingBlank) {
    EXPECT_EQ(numberLine(3), " 3 ");
    EXPECT_EQ(numberLine(0), " 0 ");
    EXPECT_EQ(numberLine(-2), "-2 ");
    EXPECT_EQ(numberLine(33023), " 33023 ");
}

TEST(NumberLines, ComparedAsNumbersWhateverTheBlanks) {
    for (const char* text : {"3", " 3", " 3 ", "3 ", "\t3", "+3"})
        EXPECT_EQ(parseNumber(text), 3) << text;
    EXPECT_EQ(parseNumber("-2 "), -2);
    for (const char* text : {"", "  ", "abc", "3a", "3 4", "-", "1.5", "99999999999999999999"})
        EXPECT_FALSE(parseNumber(text).has_value()) << text;
}

TEST(LineBreaks, AreDetected) {
    EXPECT_TRUE(hasLineBreak("a\nb"));
    EXPECT_TRUE(hasLineBreak("a\r"));
    EXPECT_FALSE(hasLineBreak("a b"));
}
