#include "ProgramText.h"

#include <map>
#include <string>

#include <gtest/gtest.h>

namespace vidlatch {
namespace {

TEST(TranslateLines, EachLineAloneAndTheBreaksAsTheyWere)
{
    const std::map<std::u16string, std::u16string, std::less<>> catalog = {
        {u"甲", u"A"}, {u"乙", u"B"}, {u" ", u"(space)"},
    };
    const auto translate = [&](std::u16string_view line) {
        const auto found = catalog.find(line);
        return found == catalog.end() ? std::u16string() : found->second;
    };
    struct Row {
        std::u16string_view text;
        std::u16string_view expected;
    };
    const Row rows[] = {
        {u"", u""},
        {u"甲", u"A"},
        {u"甲\r\n乙", u"A\r\nB"},
        {u"甲\r乙", u"A\rB"},                           // a lone carriage return is a break too
        {u"甲\r\n \r\n乙", u"A\r\n(space)\r\nB"},
        {u"甲\r\nhttp://x/\r\n乙", u"A\r\nhttp://x/\r\nB"},  // unknown lines stay
        {u"甲\r\n", u"A\r\n"},                           // a last break, nothing after it
        {u"\r\n\r\n", u"\r\n\r\n"},
        {u"\n甲\n", u"\n甲\n"},                          // a bare line feed is part of the line
        {u"甲乙", u"甲乙"},                               // whole lines only
        {u"\r\r\n\r", u"\r\r\n\r"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TranslateLines(row.text, translate), row.expected) << testing::PrintToString(std::u16string(row.text));
}

} // namespace
} // namespace vidlatch
