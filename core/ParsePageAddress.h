#pragma once

#include "CodeUnits.h"
#include "Notice.h"

#include <string>
#include <string_view>

namespace vidlatch {

enum class ParseOutcome {
    CodeTaken,
    AddressMissing,
    PageWrong,
    AlbumNotSupported,
    FilmNotSupported,
    PageNotSupported,  // the last: the count below follows it
};
inline constexpr std::size_t ParseOutcomeCount = static_cast<std::size_t>(ParseOutcome::PageNotSupported) + 1;

struct ParseResult {
    ParseOutcome outcome;
    std::u16string code;  // the candidate code, for CodeTaken only; its length is not checked

    Notice notice() const;
    bool operator==(const ParseResult&) const = default;
};

// The input dialog of the main window's direct-address command.
inline constexpr std::u16string_view DirectAddressPrompt = VIDLATCH_TEXT("Vidlatch", "请在此处粘贴您的视频网页地址");
inline constexpr std::u16string_view DirectAddressTitle = VIDLATCH_TEXT("Vidlatch", "直接获取视频代码");

// Classifies a page address of the video site and takes the candidate video
// code out of it. `rejectEmpty` gives the empty address its own outcome.
[[nodiscard]] ParseResult ParsePageAddress(std::u16string_view address, bool rejectEmpty);

// The same rule over any code units, writing the candidate code into `code`
// (emptied for every other outcome; a reused one allocates nothing). Bytes are
// for ASCII text only.
template <CodeUnit Unit>
[[nodiscard]] ParseOutcome ParsePageAddress(TextView<Unit> address, bool rejectEmpty, Text<Unit>& code);

// Whether `prefix` begins the first address in `text`: it occurs, and no
// "://" comes before it. Words may stand before it; another site's address
// that merely carries `prefix` inside it (a redirect's parameter) may not.
[[nodiscard]] bool BeginsFirstAddress(std::u16string_view text, std::u16string_view prefix);

// The browser window's address field through the parser: a field whose first
// address is not on the video site's page host is the wrong page.
[[nodiscard]] ParseResult ParseBrowserAddress(std::u16string_view field);

[[nodiscard]] std::u16string_view NoticeText(ParseOutcome outcome);
[[nodiscard]] NoticeStyle NoticeStyleOf(ParseOutcome outcome);
[[nodiscard]] std::string_view OutcomeName(ParseOutcome outcome);

} // namespace vidlatch
