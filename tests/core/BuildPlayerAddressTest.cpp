#include "BuildPlayerAddress.h"
#include "SiteConstants.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vidlatch {
namespace {

struct BuildCase {
    const char* name;
    std::u16string code;
    BuildOutcomeKind kind;
};

void PrintTo(const BuildCase& c, std::ostream* os) { *os << c.name; }

class BuildTable : public testing::TestWithParam<BuildCase> {};

// The byte path takes ASCII codes; a reused buffer keeps nothing of its last
// address.
BuildOutcome BuildAsBytes(std::u16string_view code)
{
    std::string address = "an address from before";
    const BuildOutcomeKind kind = BuildPlayerAddress<char>(std::string(code.begin(), code.end()), address);
    return {kind, std::u16string(address.begin(), address.end())};
}

TEST_P(BuildTable, KindAndAddressEitherUnits)
{
    const BuildCase& c = GetParam();
    const BuildOutcome built = BuildPlayerAddress(c.code);
    EXPECT_EQ(OutcomeName(built.kind), OutcomeName(c.kind));
    if (c.kind == BuildOutcomeKind::AddressReady) {
        // Nothing between prefix and code, nothing after, no escaping.
        EXPECT_TRUE(built.address == std::u16string(site::PlayerAddressPrefix) + c.code);
        EXPECT_EQ(built.notice().style, NoticeStyle::Information);
    } else {
        EXPECT_TRUE(built.address.empty());
        EXPECT_TRUE(built.notice().text == RejectionText(c.kind));
        EXPECT_EQ(built.notice().style, NoticeStyle::Warning);
    }
    if (std::all_of(c.code.begin(), c.code.end(), [](char16_t unit) { return unit < 0x80; })) {
        EXPECT_TRUE(BuildAsBytes(c.code) == built);
    }
}

INSTANTIATE_TEST_SUITE_P(EdgeCases, BuildTable, testing::Values(
    BuildCase{"empty", u"", BuildOutcomeKind::CodeMissing},
    BuildCase{"ten", u"a1b2c3d4e5", BuildOutcomeKind::CodeLengthWrong},
    BuildCase{"twelve", u"a1b2c3d4e5f6", BuildOutcomeKind::CodeLengthWrong},
    BuildCase{"eleven", u"a1b2c3d4e5f", BuildOutcomeKind::AddressReady},
    BuildCase{"eleven_spaces", u"           ", BuildOutcomeKind::AddressReady},
    BuildCase{"leading_space", u" a1b2c3d4e5f", BuildOutcomeKind::CodeLengthWrong},
    BuildCase{"trailing_space", u"a1b2c3d4e5f ", BuildOutcomeKind::CodeLengthWrong},
    BuildCase{"page_address", u"http://v.vidsite.example/page/W/f/t/a1b2c3d4e5f.html", BuildOutcomeKind::CodeLengthWrong},
    BuildCase{"ten_plus_astral_is_twelve_units", u"a1b2c3d4e5\U0001F600", BuildOutcomeKind::CodeLengthWrong},
    BuildCase{"nine_plus_astral_is_eleven_units", u"a1b2c3d4e\U0001F600", BuildOutcomeKind::AddressReady},
    BuildCase{"lone_surrogate_counts_one", u"\xDE00" u"a1b2c3d4e5", BuildOutcomeKind::AddressReady},
    BuildCase{"markup_kept_verbatim", u"<b>&amp;\"'<", BuildOutcomeKind::AddressReady}
), [](const testing::TestParamInfo<BuildCase>& info) { return std::string(info.param.name); });

TEST(BuildNotices, RejectionTexts)
{
    EXPECT_TRUE(RejectionText(BuildOutcomeKind::CodeMissing) == u"请输入视频代码!再进行获取!");
    EXPECT_TRUE(RejectionText(BuildOutcomeKind::CodeLengthWrong) == u"视频代码位数不正确!请重新输入!");
}

TEST(BuildNotices, SuccessNoticeIsHeadlineSpacerInvitation)
{
    const std::u16string expected =
        u"获取成功!地址已获取成功!!您可直接享受在线观看特权!\r\n \r\n"
        u"欢迎加入Brightfold：【http://bbs.brightfold.example/】";
    EXPECT_TRUE(BuildPlayerAddress(u"a1b2c3d4e5f").notice().text == expected);
    EXPECT_TRUE(InvitationNotice(u"X") == u"X\r\n \r\n欢迎加入Brightfold：【http://bbs.brightfold.example/】");
    EXPECT_TRUE(InvitationNotice(CopySuccessHeadline) ==
                u"获取成功!地址已复制!您可直接粘贴到您需要的地方!\r\n \r\n" + std::u16string(ForumInvitation));
}

TEST(SiteConstants, AddressesFollowTheHosts)
{
    EXPECT_TRUE(site::PageHostPrefix == u"http://v.vidsite.example/");
    EXPECT_TRUE(site::VideoPagePrefix == u"http://v.vidsite.example/page");
    EXPECT_TRUE(site::BlogHostPrefix == u"http://blog.vidsite.example/");
    EXPECT_TRUE(site::PlayerAddressPrefix == u"http://static.vidsite.example/v1/res/vidplayer.swf?f=3&vid=");
    EXPECT_TRUE(site::ForumAddress == u"http://bbs.brightfold.example/");
    EXPECT_TRUE(site::MainWindowCaption == u"Ｋo.Vidlatch V4.0  - By：QuorinVelmo | IM：20090806");
    EXPECT_TRUE(site::BrowserWindowCaption == u"Ｋo.Vidlatch V4.0 -By:QuorinVelmo | IM：20090806");
    EXPECT_TRUE(site::HintText.view() ==
                u"首先打开任意观看地址页面,复制上方地址,例如：\r\n"
                u"http://v.vidsite.example/page/W/f/t/XXXXXXXXXXX.html\r\n"
                u"其中XXXXXXXXXXX就是视频代码了，点击获取地址");
}

} // namespace
} // namespace vidlatch
