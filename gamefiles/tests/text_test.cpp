#include "gamefiles/text.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

using Lines = std::vector<std::string>;

TEST(LineRead, KeepsEverythingButTheLineEnd) {
    for (auto [bytes, lines] :
         {std::pair<std::string_view, Lines>{"a, \"b\"\r\n  c  \r\n", {"a, \"b\"", "  c  "}},
          {"a\nb\r\nc", {"a", "b", "c"}}, // LF only, no final end
          {"\r\n\r\nx\r\n", {"", "", "x"}},
          {"a\rb\r\n", {"a\rb"}}, // a lone CR is data
          {"caf\xe9\x81\r\n", {"caf\xe9\x81"}},
          {"", {}},
          {"\r\n", {""}}})
        EXPECT_EQ(splitLines(bytes), lines) << bytes;
}

TEST(FieldRead, SplitsAtCommasTrimsBlanksAndDropsQuotes) {
    for (auto [bytes, fields] :
         {std::pair<std::string_view, Lines>{"C:\\Games\\HV,rest\r\n", {"C:\\Games\\HV", "rest"}},
          {"   lead and trail   \r\n", {"lead and trail"}},
          {"a,,b\r\n", {"a", "", "b"}},
          {"a,\r\nb\r\n", {"a", "", "b"}},
          {"x\ny", {"x", "y"}}, // LF only and no final line end
          {"\r\n\r\nm\r\n", {"", "", "m"}},
          {"\"Smith, John\" , next\r\n", {"Smith, John", "next"}},
          {"  \" padded \"\r\n", {" padded "}},
          {"\"tail\"junk,b\r\n", {"tail", "b"}},
          {"\"unclosed, still\r\nx\r\n", {"unclosed, still", "x"}},
          {"say \"hi\"\r\n", {"say \"hi\""}}}) { // not at the start
        Lines read;
        for (FieldReader r(bytes); !r.atEnd();)
            read.push_back(r.next());
        EXPECT_EQ(read, fields) << bytes;
    }
    EXPECT_EQ(fieldReadFirst(" WWF "), "WWF");
}

TEST(NumberLines, WrittenWithSignAndTrailingBlankAndComparedAsNumbers) {
    EXPECT_EQ(numberLine(3) + numberLine(0) + numberLine(-2) + numberLine(33023),
              " 3  0 -2  33023 ");
    for (const char* text : {"3", " 3", " 3 ", "3 ", "\t3", "+3"})
        EXPECT_EQ(parseNumber(text), 3) << text;
    EXPECT_EQ(parseNumber("-2 "), -2);
    for (const char* text : {"", "  ", "abc", "3a", "3 4", "-", "1.5", "99999999999999999999"})
        EXPECT_FALSE(parseNumber(text).has_value()) << text;
    EXPECT_TRUE(hasLineBreak("a\r") && hasLineBreak("a\nb") && !hasLineBreak("a b"));
}

} // namespace
} // namespace hv
