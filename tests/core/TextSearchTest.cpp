#include "TextSearch.h"

#include <gtest/gtest.h>

namespace vidlatch::text {
namespace {

// The fast search must agree with the standard one wherever the match falls
// relative to its eight-unit blocks.
TEST(TextSearch, FindAgreesWithStandardFind)
{
    const std::u16string_view needles[] = {u"/", u".html", u"vid=", u"index.html", u"\U0001F600", u"zz"};
    for (std::size_t length = 0; length <= 40; ++length) {
        for (std::size_t at = 0; at <= length; ++at) {
            for (std::u16string_view needle : needles) {
                std::u16string text(length, u'a');
                text.replace(std::min(at, text.size()), needle.size(), needle);
                for (std::size_t from : {std::size_t{0}, at, at + 1, text.size(), text.size() + 3}) {
                    EXPECT_EQ(Find(text, needle, from), std::u16string_view(text).find(needle, from))
                        << "length " << length << " at " << at << " from " << from;
                }
                EXPECT_EQ(Find(text, needle[0], 0), std::u16string_view(text).find(needle[0]));
            }
        }
    }
}

TEST(TextSearch, RemoveEveryIsOnePass)
{
    struct Row { std::u16string_view text, needle, rest; };
    const Row rows[] = {
        {u"vivid=d=", u"vid=", u"vid="},
        {u"vid=vid=", u"vid=", u""},
        {u".html.html", u".html", u""},
        {u"a.htm.htmll", u".html", u"a.html"},
        {u"", u"vid=", u""},
        {u"abc", u"", u"abc"},
    };
    for (const Row& row : rows)
        EXPECT_TRUE(RemoveEvery(row.text, row.needle) == row.rest);
}

} // namespace
} // namespace vidlatch::text
