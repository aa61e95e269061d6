#include "TextSearch.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vidlatch::text {
namespace {

// ASCII test text in the code units under test.
template <typename Unit>
Text<Unit> T(std::string_view ascii)
{
    return Text<Unit>(ascii.begin(), ascii.end());
}

template <typename Unit>
class TextSearch : public testing::Test {};
using Units = testing::Types<char, char16_t>;
TYPED_TEST_SUITE(TextSearch, Units);

// The block search must agree with the standard one wherever the match falls
// relative to its blocks and to the overlapping last block.
TYPED_TEST(TextSearch, FindAgreesWithStandardFind)
{
    using Unit = TypeParam;
    const char* const needles[] = {"/", ".html", "vid=", "index.html", "zz", "ab", "aab"};
    for (std::size_t length = 0; length <= 48; ++length) {
        for (std::size_t at = 0; at <= length; ++at) {
            for (std::string_view needleText : needles) {
                const Text<Unit> needle = T<Unit>(needleText);
                Text<Unit> text(length, Unit('a'));
                text.replace(std::min(at, text.size()), needle.size(), needle);
                const TextView<Unit> view = text;
                for (std::size_t from : {std::size_t{0}, at, at + 1, length / 2, text.size(), text.size() + 3}) {
                    EXPECT_EQ(Find<Unit>(text, needle, from), view.find(needle, from))
                        << "length " << length << " at " << at << " from " << from << " needle " << needleText;
                    EXPECT_EQ(Find<Unit>(text, needle[0], from), view.find(needle[0], from))
                        << "length " << length << " at " << at << " from " << from;
                }
            }
        }
    }
}

// Bytes and units of every value, the sign bit included: a block compare
// must not match 0x80 against 0x00 or 0xFF against -1.
TYPED_TEST(TextSearch, FindTakesEveryUnitValue)
{
    using Unit = TypeParam;
    for (unsigned value : {0x00u, 0x7Fu, 0x80u, 0xFFu, 0x100u, 0xD800u, 0xFFFFu}) {
        if (sizeof(Unit) == 1 && value > 0xFF)
            continue;
        const Unit unit = static_cast<Unit>(value);
        Text<Unit> text(40, Unit('x'));
        text[33] = unit;
        EXPECT_EQ(Find<Unit>(text, unit, 0), 33u) << value;
        const Unit pair[] = {Unit('x'), unit};
        EXPECT_EQ(Find<Unit>(text, TextView<Unit>(pair, 2), 0), 32u) << value;
    }
}

// Counting must carry over from block to block and into the overlapping last
// block without counting its overlap twice.
TYPED_TEST(TextSearch, FindNthCountsEachMatchOnce)
{
    using Unit = TypeParam;
    for (std::size_t length = 0; length <= 48; ++length) {
        for (std::size_t step : {1u, 2u, 3u, 7u, 17u}) {
            Text<Unit> text(length, Unit('a'));
            for (std::size_t i = step / 2; i < length; i += step)
                text[i] = Unit('/');
            for (std::size_t from : {std::size_t{0}, std::size_t{5}, length - length / 3}) {
                std::size_t expected = from;  // the nth slash from `from`, the slow way
                for (std::size_t nth = 0; nth < 8; ++nth) {
                    expected = TextView<Unit>(text).find(Unit('/'), nth == 0 ? from : expected + 1);
                    EXPECT_EQ(FindNth<Unit>(text, Unit('/'), nth, from), expected)
                        << "length " << length << " step " << step << " from " << from << " nth " << nth;
                    if (expected == npos)
                        break;
                }
            }
        }
    }
}

TYPED_TEST(TextSearch, RemoveEveryIsOnePassIntoAReusedBuffer)
{
    using Unit = TypeParam;
    struct Row { std::string_view text, needle, rest; };
    const Row rows[] = {
        {"vivid=d=", "vid=", "vid="},
        {"vid=vid=", "vid=", ""},
        {".html.html", ".html", ""},
        {"a.htm.htmll", ".html", "a.html"},
        {"", "vid=", ""},
        {"abc", "", "abc"},
    };
    Text<Unit> rest = T<Unit>("left over from before");
    for (const Row& row : rows) {
        RemoveEvery<Unit>(T<Unit>(row.text), T<Unit>(row.needle), rest);
        EXPECT_TRUE(rest == T<Unit>(row.rest)) << row.text;
    }
}

} // namespace
} // namespace vidlatch::text
