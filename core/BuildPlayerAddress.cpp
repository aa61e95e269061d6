#include "BuildPlayerAddress.h"

namespace vidlatch {

BuildOutcome BuildPlayerAddress(std::u16string_view code)
{
    if (code.empty())
        return {BuildOutcomeKind::CodeMissing, {}};
    if (code.size() != VideoCodeLength)
        return {BuildOutcomeKind::CodeLengthWrong, {}};

    std::u16string address;
    address.reserve(site::PlayerAddressPrefix.size() + code.size());
    address.append(site::PlayerAddressPrefix).append(code);
    return {BuildOutcomeKind::AddressReady, std::move(address)};
}

std::u16string InvitationNotice(std::u16string_view headline)
{
    constexpr std::u16string_view SpacerLines = u"\r\n \r\n";
    std::u16string text;
    text.reserve(headline.size() + SpacerLines.size() + ForumInvitation.size());
    text.append(headline).append(SpacerLines).append(ForumInvitation);
    return text;
}

std::u16string_view RejectionText(BuildOutcomeKind kind)
{
    switch (kind) {
    case BuildOutcomeKind::CodeMissing: return u"请输入视频代码!再进行获取!";
    case BuildOutcomeKind::CodeLengthWrong: return u"视频代码位数不正确!请重新输入!";
    case BuildOutcomeKind::AddressReady: break;
    }
    return {};
}

NoticeStyle NoticeStyleOf(BuildOutcomeKind kind)
{
    return kind == BuildOutcomeKind::AddressReady ? NoticeStyle::Information : NoticeStyle::Warning;
}

std::string_view OutcomeName(BuildOutcomeKind kind)
{
    switch (kind) {
    case BuildOutcomeKind::AddressReady: return "AddressReady";
    case BuildOutcomeKind::CodeMissing: return "CodeMissing";
    case BuildOutcomeKind::CodeLengthWrong: return "CodeLengthWrong";
    }
    return {};
}

Notice BuildOutcome::notice() const
{
    if (kind == BuildOutcomeKind::AddressReady)
        return {InvitationNotice(FetchSuccessHeadline), NoticeStyle::Information};
    return {std::u16string(RejectionText(kind)), NoticeStyle::Warning};
}

} // namespace vidlatch
