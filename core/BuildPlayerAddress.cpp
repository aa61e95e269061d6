#include "BuildPlayerAddress.h"

namespace vidlatch {

template <CodeUnit Unit>
BuildOutcomeKind BuildPlayerAddress(TextView<Unit> code, Text<Unit>& address)
{
    address.clear();
    if (code.empty())
        return BuildOutcomeKind::CodeMissing;
    if (code.size() != VideoCodeLength)
        return BuildOutcomeKind::CodeLengthWrong;
    const TextView<Unit> prefix = In<Unit, site::PlayerAddressPrefix>;
    address.reserve(prefix.size() + code.size());
    address.append(prefix).append(code);
    return BuildOutcomeKind::AddressReady;
}

template BuildOutcomeKind BuildPlayerAddress<char>(TextView<char>, Text<char>&);
template BuildOutcomeKind BuildPlayerAddress<char16_t>(TextView<char16_t>, Text<char16_t>&);

BuildOutcome BuildPlayerAddress(std::u16string_view code)
{
    BuildOutcome built{BuildOutcomeKind::AddressReady, {}};
    built.kind = BuildPlayerAddress<char16_t>(code, built.address);
    return built;
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
    case BuildOutcomeKind::CodeMissing: return VIDLATCH_TEXT("Vidlatch", "请输入视频代码!再进行获取!");
    case BuildOutcomeKind::CodeLengthWrong: return VIDLATCH_TEXT("Vidlatch", "视频代码位数不正确!请重新输入!");
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
