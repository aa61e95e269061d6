#include "ParsePageAddress.h"
#include "SiteConstants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vidlatch {
namespace {

const std::u16string H(site::PageHostPrefix);

struct ParseCase {
    const char* name;
    std::u16string address;
    ParseOutcome outcome;
    std::u16string code;  // checked for CodeTaken only
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class ParseTable : public testing::TestWithParam<ParseCase> {};

// The byte path takes ASCII text, each byte standing for its UTF-16 unit; a
// stale code left in its reused buffer must not survive.
ParseResult ParseAsBytes(std::u16string_view address, bool rejectEmpty)
{
    const std::string bytes(address.begin(), address.end());
    std::string code = "stale code";
    const ParseOutcome outcome = ParsePageAddress<char>(bytes, rejectEmpty, code);
    return {outcome, std::u16string(code.begin(), code.end())};
}

bool IsAscii(std::u16string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char16_t unit) { return unit < 0x80; });
}

// The outcome must not depend on rejectEmpty for a non-empty address, nor on
// the code units an ASCII address comes in.
TEST_P(ParseTable, EitherRejectEmptyEitherUnits)
{
    const ParseCase& c = GetParam();
    for (bool rejectEmpty : {false, true}) {
        std::vector<std::pair<const char*, ParseResult>> results{
            {"UTF-16", ParsePageAddress(c.address, rejectEmpty)}};
        if (IsAscii(c.address))
            results.emplace_back("bytes", ParseAsBytes(c.address, rejectEmpty));
        for (const auto& [units, result] : results) {
            SCOPED_TRACE(testing::Message() << units << " rejectEmpty=" << rejectEmpty);
            EXPECT_EQ(OutcomeName(result.outcome), OutcomeName(c.outcome));
            if (c.outcome == ParseOutcome::CodeTaken)
                EXPECT_TRUE(result.code == c.code);
            else
                EXPECT_TRUE(result.code.empty());
        }
    }
}

std::u16string Repeat(char16_t unit, std::size_t count) { return std::u16string(count, unit); }

INSTANTIATE_TEST_SUITE_P(EdgeCases, ParseTable, testing::Values(
    // Rows of the edge-case table.
    ParseCase{"https_scheme", u"https://v.vidsite.example/p/q/r/a1b2c3d4e5f.html", ParseOutcome::PageWrong, {}},
    ParseCase{"capital_scheme", u"HTTP://v.vidsite.example/p/q/r/a1b2c3d4e5f.html", ParseOutcome::PageWrong, {}},
    ParseCase{"album", H + u"p/q/r/index.html", ParseOutcome::AlbumNotSupported, {}},
    ParseCase{"film_sixth_field_20", H + u"p/q/abcdefghijklmno.html", ParseOutcome::FilmNotSupported, {}},
    ParseCase{"video_page", H + u"page/W/f/t/a1b2c3d4e5f.html", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    ParseCase{"prefix_not_at_start", u"观看 " + H + u"p/q/r/a1b2c3d4e5f.html", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    ParseCase{"cover_vid", H + u"cover/x/abcdefghijklm.html?vid=a1b2c3d4e5f", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    ParseCase{"cover_vid_short", H + u"cover/x/abcdefghijklm.html?vid=a1b2c", ParseOutcome::CodeTaken, u"a1b2c"},
    // The html rule cuts the query first, so the tail is the short file name.
    ParseCase{"vid_without_cover", H + u"p/q/r/s.html?vid=a1b2c3d4e5f", ParseOutcome::CodeTaken, u"ple/p/q/r/s"},
    ParseCase{"query_after_html", H + u"p/q/r/a1b2c3d4e5f.html?from=x", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    ParseCase{"fragment_after_html", H + u"p/q/r/a1b2c3d4e5f.html#c", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    // White space after ".html" ends the address, as a query or fragment does:
    // a paste often brings a space, a line break or a comment along.
    ParseCase{"space_after_html", H + u"page/W/f/t/a1b2c3d4e5f.html ", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    ParseCase{"tab_and_line_break_after_html", H + u"page/W/f/t/a1b2c3d4e5f.html\t\r\n", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    ParseCase{"words_after_html", H + u"page/W/f/t/a1b2c3d4e5f.html  看这个?x#y", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    ParseCase{"no_break_space_after_html", H + u"page/W/f/t/a1b2c3d4e5f.html\u00A0", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    ParseCase{"ideographic_space_after_html", H + u"page/W/f/t/a1b2c3d4e5f.html\u3000", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    ParseCase{"line_separator_after_html", H + u"page/W/f/t/a1b2c3d4e5f.html\u2028x", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    // For every rule, not the html rule alone; measured from the page's ".html".
    ParseCase{"words_after_html_hold_cover", H + u"page/a/b/c/a1b2c3d4e5f.html  discover", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    ParseCase{"album_mark_after_html", H + u"page/a/b/c/a1b2c3d4e5f.html see index.html", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    ParseCase{"album_mark_after_vid_query", H + u"cover/x/abc.html?vid=a1b2c3d4e5f 看 index.html", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    ParseCase{"film_field_after_html", H + u"p/q/a1b2c3d4e5f.html abcd/", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    ParseCase{"html_before_prefix", u"see a.html here: " + H + u"page/W/f/t/a1b2c3d4e5f.html", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    ParseCase{"html_only_before_prefix", u"see a.html " + H + u"p/q/r/s.php x", ParseOutcome::CodeTaken, u"le/p/q/r/s.php x"},
    ParseCase{"zero_width_space_is_no_white_space", H + u"page/W/f/t/a1b2c3d4e5f.html\u200B", ParseOutcome::CodeTaken, u"1b2c3d4e5f\u200B"},
    ParseCase{"space_before_html_stays", H + u"p/q/r/a1b2c 3d4e5f.html", ParseOutcome::CodeTaken, u"1b2c 3d4e5f"},
    ParseCase{"vid_no_cover_no_html", H + u"p/q/r/?vid=a1b2c3d4e5f", ParseOutcome::PageNotSupported, {}},
    ParseCase{"php", H + u"p/q/r/s.php", ParseOutcome::PageNotSupported, {}},
    // Decisions on what the rules leave open.
    ParseCase{"fewer_than_six_fields", H + u"p/q", ParseOutcome::PageNotSupported, {}},
    ParseCase{"fewer_than_six_fields_html", H + u"p/q.html", ParseOutcome::CodeTaken, u"example/p/q"},
    ParseCase{"video_and_cover_without_vid_key", H + u"video/cover/a1b2c3d4e5f.html", ParseOutcome::PageNotSupported, {}},
    // What only the code can get wrong.
    ParseCase{"sixth_field_19", H + u"p/q/abcdefghijklmn.html", ParseOutcome::CodeTaken, u"defghijklmn"},
    ParseCase{"sixth_field_last_20", H + u"p/q/" + Repeat(u'x', 20), ParseOutcome::FilmNotSupported, {}},
    ParseCase{"film_field_counted_from_start", u"a/" + H + u"p/abcdefghijklmno.html", ParseOutcome::FilmNotSupported, {}},
    ParseCase{"removal_does_not_rescan", H + u"cover/?vid=vivid=d=abc", ParseOutcome::CodeTaken, u"vid=abc"},
    ParseCase{"vid_key_at_end", H + u"cover/x.html?vid=", ParseOutcome::CodeTaken, u""},
    ParseCase{"vid_key_near_end", H + u"cover/x.html?vid=ab", ParseOutcome::CodeTaken, u"ab"},
    ParseCase{"vid_window_counts_units", H + u"cover/?vid=\U0001F600bcdefghijXYZ", ParseOutcome::CodeTaken, u"\U0001F600bcdefghij"},
    ParseCase{"vid_window_cuts_pair", H + u"cover/?vid=abcdefghij\U0001F600", ParseOutcome::CodeTaken, u"abcdefghij\xD83D"},
    ParseCase{"html_window_cuts_pair", H + u"p/q/r/\U0001F600a1b2c3d4e5.html", ParseOutcome::CodeTaken, u"\xDE00" u"a1b2c3d4e5"},
    ParseCase{"html_window_keeps_pair", H + u"p/q/r/\U0001F600a1b2c3d4e.html", ParseOutcome::CodeTaken, u"\U0001F600a1b2c3d4e"},
    ParseCase{"two_html_in_tail", H + u"p/q/r/a1b.html.html", ParseOutcome::CodeTaken, u"/r/a1b"},
    ParseCase{"second_html_is_the_page", H + u"p/a.html/b1b2c3d4e5f.html?x=1#y", ParseOutcome::CodeTaken, u"b1b2c3d4e5f"},
    ParseCase{"query_between_two_html", H + u"p/a.html?next=/b/c1c2c3d4e5f.html", ParseOutcome::CodeTaken, u"example/p/a"},
    ParseCase{"case_sensitive_html", H + u"p/q/r/a1b2c3d4e5f.HTML", ParseOutcome::PageNotSupported, {}},
    ParseCase{"one_mib_page", H + u"p/q/r/" + Repeat(u'x', 1 << 20) + u"a1b2c3d4e5f.html", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    ParseCase{"one_mib_cover", H + u"cover/" + Repeat(u'y', 1 << 20) + u"?vid=a1b2c3d4e5f", ParseOutcome::CodeTaken, u"a1b2c3d4e5f"},
    ParseCase{"one_mib_of_slashes", H + Repeat(u'/', 1 << 20), ParseOutcome::PageNotSupported, {}}
), [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

// The browser window's field counts the page host only as its first address.
TEST(ParseBrowserAddress, OnlyTheFirstAddressCounts)
{
    struct Row { std::u16string field; ParseOutcome outcome; };
    const Row rows[] = {
        {H + u"page/W/f/t/a1b2c3d4e5f.html", ParseOutcome::CodeTaken},
        {u"看 " + H + u"page/W/f/t/a1b2c3d4e5f.html", ParseOutcome::CodeTaken},
        {u"http://evil.example/go?u=" + H + u"page/e/v/l/evilcode999.html", ParseOutcome::PageWrong},
        {u"evil://" + H + u"page/W/f/t/a1b2c3d4e5f.html", ParseOutcome::PageWrong},
        {H + u"x.html?u=" + H + u"page/W/f/t/a1b2c3d4e5f.html", ParseOutcome::CodeTaken},
        {H + u"p/q/r/index.html", ParseOutcome::AlbumNotSupported},
        {u"", ParseOutcome::PageWrong},
    };
    for (const Row& row : rows)
        EXPECT_EQ(OutcomeName(ParseBrowserAddress(row.field).outcome), OutcomeName(row.outcome));
}

TEST(ParseEmpty, RejectEmptyDecidesTheOutcome)
{
    EXPECT_EQ(ParsePageAddress(u"", true).outcome, ParseOutcome::AddressMissing);
    EXPECT_EQ(ParsePageAddress(u"", false).outcome, ParseOutcome::PageWrong);
    EXPECT_EQ(ParseAsBytes(u"", true).outcome, ParseOutcome::AddressMissing);
    EXPECT_EQ(ParseAsBytes(u"", false).outcome, ParseOutcome::PageWrong);
}

TEST(ParseNotices, EachOutcomeHasItsTextAndStyle)
{
    struct Row { ParseOutcome outcome; std::u16string_view text; NoticeStyle style; };
    const Row rows[] = {
        {ParseOutcome::AddressMissing, u"您未输入视频网页地址", NoticeStyle::Warning},
        {ParseOutcome::PageWrong, u"您当前获取的视频地址页面有误!请您检查!", NoticeStyle::Warning},
        {ParseOutcome::AlbumNotSupported, u"抱歉!本程序不支持专辑视频地址获取", NoticeStyle::Warning},
        {ParseOutcome::FilmNotSupported, u"抱歉!不支持电影地址的获取!", NoticeStyle::Warning},
        {ParseOutcome::PageNotSupported, u"抱歉!不支持此页面地址的获取!", NoticeStyle::Warning},
        {ParseOutcome::CodeTaken, u"视频地址已获取成功!现转入主界面,请点击获取按钮获取真实视频地址!", NoticeStyle::Information},
    };
    for (const Row& row : rows) {
        const Notice notice = ParseResult{row.outcome, {}}.notice();
        EXPECT_TRUE(notice.text == row.text) << OutcomeName(row.outcome);
        EXPECT_EQ(static_cast<int>(notice.style), static_cast<int>(row.style)) << OutcomeName(row.outcome);
    }
    EXPECT_EQ(static_cast<int>(NoticeStyle::Warning), 48);
    EXPECT_EQ(static_cast<int>(NoticeStyle::Information), 64);
    EXPECT_EQ(static_cast<int>(NoticeStyle::Question), 67);
    EXPECT_TRUE(NoticeTitle == u"QuorinVelmo提示");
}

} // namespace
} // namespace vidlatch
