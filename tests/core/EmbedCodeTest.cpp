#include "EmbedCode.h"
#include "SiteConstants.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vidlatch {
namespace {

const std::u16string Prefix(site::PlayerAddressPrefix);
const std::u16string Player = Prefix + u"a1b2c3d4e5f";

struct EmbedCase {
    const char* name;
    std::u16string address;
    EmbedForm form;
    std::optional<EmbedSize> size;
    std::u16string expected;  // empty: refused
};

void PrintTo(const EmbedCase& c, std::ostream* os) { *os << c.name; }

class EmbedTable : public testing::TestWithParam<EmbedCase> {};

TEST_P(EmbedTable, FormOfEitherUnits)
{
    const EmbedCase& c = GetParam();
    const std::u16string code = EmbedCode(c.address, c.form, c.size);
    EXPECT_TRUE(code == c.expected) << std::string(code.begin(), code.end());
    if (std::all_of(c.address.begin(), c.address.end(), [](char16_t unit) { return unit < 0x80; })) {
        std::string bytes = "a form from before";
        const bool made = EmbedCode<char>(std::string(c.address.begin(), c.address.end()), c.form, c.size, bytes);
        EXPECT_EQ(made, !c.expected.empty());
        EXPECT_EQ(bytes, std::string(c.expected.begin(), c.expected.end()));
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, EmbedTable, testing::Values(
    EmbedCase{"address", Player, EmbedForm::Address, {}, Player},
    EmbedCase{"html_default_size", Player, EmbedForm::Html, {},
              u"<embed src=\"" + Prefix.substr(0, Prefix.size() - 5) + u"&amp;vid=a1b2c3d4e5f\" "
              u"type=\"application/x-shockwave-flash\" width=\"480\" height=\"400\" "
              u"allowfullscreen=\"true\" allowscriptaccess=\"never\">"},
    EmbedCase{"html_sized_markup_escaped", Prefix + u"<b>&\"'x]()z", EmbedForm::Html, EmbedSize{640, 360},
              u"<embed src=\"" + Prefix.substr(0, Prefix.size() - 5) + u"&amp;vid=&lt;b&gt;&amp;&quot;&#39;x]()z\" "
              u"type=\"application/x-shockwave-flash\" width=\"640\" height=\"360\" "
              u"allowfullscreen=\"true\" allowscriptaccess=\"never\">"},
    EmbedCase{"bbcode_no_size", Player, EmbedForm::BbCode, {}, u"[flash]" + Player + u"[/flash]"},
    EmbedCase{"bbcode_largest_and_smallest", Player, EmbedForm::BbCode, EmbedSize{4096, 1},
              u"[flash=4096,1]" + Player + u"[/flash]"},
    EmbedCase{"bbcode_code_cannot_close_the_tag", Prefix + u"a[/flash]bc", EmbedForm::BbCode, {},
              u"[flash]" + Prefix + u"a%5B/flash%5Dbc[/flash]"},
    EmbedCase{"markdown", Player, EmbedForm::Markdown, EmbedSize{1, 1}, u"[Vidsite a1b2c3d4e5f](" + Player + u")"},
    EmbedCase{"markdown_markup_escaped", Prefix + u"<b>&\"'x]()z", EmbedForm::Markdown, {},
              u"[Vidsite \\<b\\>\\&\\\"\\'x\\]\\(\\)z](" + Prefix + u"%3Cb%3E%26%22'x%5D%28%29z)"},
    EmbedCase{"markdown_line_break_stays_one_line", Prefix + u"a1b2c\nd4e5f", EmbedForm::Markdown, {},
              u"[Vidsite a1b2c%0Ad4e5f](" + Prefix + u"a1b2c%0Ad4e5f)"},
    // Direction controls, separators and invisible characters neither reorder,
    // break nor hide the line; a pair of surrogates is one character.
    EmbedCase{"html_direction_controls", Prefix + u"a1\u202Eb2\u200Fc3\u2066d4", EmbedForm::Html, {},
              u"<embed src=\"" + Prefix.substr(0, Prefix.size() - 5) + u"&amp;vid=a1%E2%80%AEb2%E2%80%8Fc3%E2%81%A6d4\" "
              u"type=\"application/x-shockwave-flash\" width=\"480\" height=\"400\" "
              u"allowfullscreen=\"true\" allowscriptaccess=\"never\">"},
    EmbedCase{"bbcode_separators", Prefix + u"a\u2028b\u2029c\u0085d1234", EmbedForm::BbCode, {},
              u"[flash]" + Prefix + u"a%E2%80%A8b%E2%80%A9c%C2%85d1234[/flash]"},
    EmbedCase{"markdown_invisible", Prefix + u"a\u200Bb\uFEFFc\u00AD\U000E0041d1\u00A0", EmbedForm::Markdown, {},
              u"[Vidsite a%E2%80%8Bb%EF%BB%BFc%C2%AD%F3%A0%81%81d1\u00A0](" + Prefix +
              u"a%E2%80%8Bb%EF%BB%BFc%C2%AD%F3%A0%81%81d1\u00A0)"},
    EmbedCase{"address_as_copied", Prefix + u"a1\u202Eb2\u2028c3d4e", EmbedForm::Address, {}, Prefix + u"a1\u202Eb2\u2028c3d4e"},
    EmbedCase{"html_chinese_kept", Prefix + u"视频a1b2c3d4e", EmbedForm::Html, {},
              u"<embed src=\"" + Prefix.substr(0, Prefix.size() - 5) + u"&amp;vid=视频a1b2c3d4e\" "
              u"type=\"application/x-shockwave-flash\" width=\"480\" height=\"400\" "
              u"allowfullscreen=\"true\" allowscriptaccess=\"never\">"},
    // Refused: no form of what the builder rejects, nor of any other address.
    EmbedCase{"refused_ten_unit_code", Prefix + u"a1b2c3d4e5", EmbedForm::Html, {}, u""},
    EmbedCase{"refused_bare_prefix", Prefix, EmbedForm::Address, {}, u""},
    EmbedCase{"refused_page_address", u"http://v.vidsite.example/page/W/f/t/a1b2c3d4e5f.html", EmbedForm::Markdown, {}, u""},
    EmbedCase{"refused_other_host", u"http://static.vidsite.examplX/v1/res/vidplayer.swf?f=3&vid=a1b2c3d4e5f",
              EmbedForm::BbCode, {}, u""},
    EmbedCase{"refused_zero_width", Player, EmbedForm::Html, EmbedSize{0, 400}, u""},
    EmbedCase{"refused_height_over_limit", Player, EmbedForm::BbCode, EmbedSize{480, 4097}, u""},
    EmbedCase{"refused_unknown_form", Player, static_cast<EmbedForm>(EmbedFormCount), {}, u""}
), [](const testing::TestParamInfo<EmbedCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace vidlatch
