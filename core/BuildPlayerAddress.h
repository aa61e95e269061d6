#pragma once

#include "CodeUnits.h"
#include "Notice.h"
#include "ProgramText.h"
#include "SiteConstants.h"

#include <string>
#include <string_view>

namespace vidlatch {

enum class BuildOutcomeKind {
    AddressReady,
    CodeMissing,
    CodeLengthWrong,  // the last: the count below follows it
};
inline constexpr std::size_t BuildOutcomeCount = static_cast<std::size_t>(BuildOutcomeKind::CodeLengthWrong) + 1;

inline constexpr std::size_t VideoCodeLength = 11;

struct BuildOutcome {
    BuildOutcomeKind kind;
    std::u16string address;  // the player address, for AddressReady only

    Notice notice() const;
    bool operator==(const BuildOutcome&) const = default;
};

// Written out whole, so that it is one line to translate.
inline constexpr std::u16string_view ForumInvitation =
    VIDLATCH_TEXT("Vidlatch", "欢迎加入Brightfold：【http://bbs.brightfold.example/】");
static_assert(ForumInvitation == std::u16string_view(Concat(u"欢迎加入Brightfold：【", site::ForumAddress, u"】")));

inline constexpr std::u16string_view FetchSuccessHeadline =
    VIDLATCH_TEXT("Vidlatch", "获取成功!地址已获取成功!!您可直接享受在线观看特权!");
inline constexpr std::u16string_view CopySuccessHeadline =
    VIDLATCH_TEXT("Vidlatch", "获取成功!地址已复制!您可直接粘贴到您需要的地方!");

// Checks the code text (only its emptiness and length) and builds the address
// of the site's external player for it.
[[nodiscard]] BuildOutcome BuildPlayerAddress(std::u16string_view code);

// The same over any code units, writing the address into `address` (emptied
// when the code is rejected; a reused one allocates nothing).
template <CodeUnit Unit>
[[nodiscard]] BuildOutcomeKind BuildPlayerAddress(TextView<Unit> code, Text<Unit>& address);

// A headline, a line holding one space, and the forum invitation.
[[nodiscard]] std::u16string InvitationNotice(std::u16string_view headline);

[[nodiscard]] std::u16string_view RejectionText(BuildOutcomeKind kind);
[[nodiscard]] NoticeStyle NoticeStyleOf(BuildOutcomeKind kind);
[[nodiscard]] std::string_view OutcomeName(BuildOutcomeKind kind);

} // namespace vidlatch
