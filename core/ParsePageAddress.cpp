#include "ParsePageAddress.h"

#include "SiteConstants.h"
#include "TextSearch.h"

#include <algorithm>
#include <optional>

namespace vidlatch {
namespace {

constexpr std::u16string_view AlbumMark = u"index.html";
constexpr std::u16string_view VidMark = u"vid";
constexpr std::u16string_view CoverMark = u"cover";
constexpr std::u16string_view VidKey = u"vid=";
constexpr std::u16string_view HtmlMark = u".html";

constexpr std::size_t FilmFieldIndex = 5;
constexpr std::size_t FilmFieldLength = 20;
constexpr std::size_t VidWindowLength = 15;
constexpr std::size_t TailLength = 16;

using text::npos;

// Position of the first unit at or after `from` that `ends` holds, or the size.
template <CodeUnit Unit>
std::size_t FirstEnd(TextView<Unit> address, std::size_t from, bool (*ends)(Unit))
{
    return static_cast<std::size_t>(std::find_if(address.begin() + from, address.end(), ends) - address.begin());
}

template <CodeUnit Unit>
constexpr bool EndsQueryOrFragment(Unit unit)
{
    return unit == '?' || unit == '#';
}

// Length of the "/"-separated field at `index`, counted from the very start of
// the address; none when the address has fewer fields.
template <CodeUnit Unit>
std::optional<std::size_t> FieldLength(TextView<Unit> address, std::size_t index)
{
    std::size_t start = 0;
    if (index > 0) {
        const std::size_t slash = text::FindNth<Unit>(address, '/', index - 1);
        if (slash == npos)
            return std::nullopt;
        start = slash + 1;
    }
    const std::size_t end = text::Find<Unit>(address, '/', start);
    return (end == npos ? address.size() : end) - start;
}

} // namespace

template <CodeUnit Unit>
ParseOutcome ParsePageAddress(TextView<Unit> address, bool rejectEmpty, Text<Unit>& code)
{
    using text::Contains;

    code.clear();
    if (rejectEmpty && address.empty())
        return ParseOutcome::AddressMissing;
    const std::size_t prefix = text::Find<Unit>(address, In<Unit, site::PageHostPrefix>);
    if (prefix == npos)
        return ParseOutcome::PageWrong;
    // White space after the page's ".html" ends its address for every rule: a
    // paste often brings a space, a line break or a comment along, and words
    // there ("discover", "index.html") must not decide. The page's ".html" is
    // the first at or after the host, whatever text stands before it.
    const std::size_t html = text::Find<Unit>(address, In<Unit, HtmlMark>, prefix);
    if (html != npos)
        address = address.substr(0, FirstEnd<Unit>(address, html + HtmlMark.size(), text::IsWhiteSpace<Unit>));
    if (Contains<Unit>(address, In<Unit, AlbumMark>))
        return ParseOutcome::AlbumNotSupported;
    // A film is told by the length of its sixth field alone; an address with
    // fewer fields is no film and goes on to the extraction rules.
    if (FieldLength(address, FilmFieldIndex) == FilmFieldLength)
        return ParseOutcome::FilmNotSupported;

    // The vid rule: its condition looks for "vid", its window starts at "vid=".
    const bool hasVid = Contains<Unit>(address, In<Unit, VidMark>);
    const bool hasCover = Contains<Unit>(address, In<Unit, CoverMark>);
    if (hasVid && hasCover) {
        const std::size_t key = text::Find<Unit>(address, In<Unit, VidKey>);
        if (key == npos)
            return ParseOutcome::PageNotSupported;
        text::RemoveEvery<Unit>(address.substr(key, VidWindowLength), In<Unit, VidKey>, code);
        return ParseOutcome::CodeTaken;
    }

    // The html rule. A query string or fragment after the page's ".html" is
    // cut off first, so that the tail is the file name; with no ".html" after
    // the host, the whole address counts.
    if (html != npos || Contains<Unit>(address, In<Unit, HtmlMark>)) {
        const TextView<Unit> page =
            html == npos ? address : address.substr(0, FirstEnd<Unit>(address, html + HtmlMark.size(), EndsQueryOrFragment<Unit>));
        text::RemoveEvery<Unit>(text::LastUnits(page, TailLength), In<Unit, HtmlMark>, code);
        return ParseOutcome::CodeTaken;
    }

    return ParseOutcome::PageNotSupported;
}

template ParseOutcome ParsePageAddress<char>(TextView<char>, bool, Text<char>&);
template ParseOutcome ParsePageAddress<char16_t>(TextView<char16_t>, bool, Text<char16_t>&);

ParseResult ParsePageAddress(std::u16string_view address, bool rejectEmpty)
{
    ParseResult result{ParseOutcome::CodeTaken, {}};
    result.outcome = ParsePageAddress<char16_t>(address, rejectEmpty, result.code);
    return result;
}

bool BeginsFirstAddress(std::u16string_view text, std::u16string_view prefix)
{
    const std::size_t at = text::Find<char16_t>(text, prefix);
    return at != npos && text.substr(0, at).find(u"://") == npos;
}

ParseResult ParseBrowserAddress(std::u16string_view field)
{
    if (!BeginsFirstAddress(field, site::PageHostPrefix))
        return {ParseOutcome::PageWrong, {}};
    return ParsePageAddress(field, false);
}

std::u16string_view NoticeText(ParseOutcome outcome)
{
    switch (outcome) {
    case ParseOutcome::CodeTaken:
        return VIDLATCH_TEXT("Vidlatch", "视频地址已获取成功!现转入主界面,请点击获取按钮获取真实视频地址!");
    case ParseOutcome::AddressMissing:
        return VIDLATCH_TEXT("Vidlatch", "您未输入视频网页地址");
    case ParseOutcome::PageWrong:
        return VIDLATCH_TEXT("Vidlatch", "您当前获取的视频地址页面有误!请您检查!");
    case ParseOutcome::AlbumNotSupported:
        return VIDLATCH_TEXT("Vidlatch", "抱歉!本程序不支持专辑视频地址获取");
    case ParseOutcome::FilmNotSupported:
        return VIDLATCH_TEXT("Vidlatch", "抱歉!不支持电影地址的获取!");
    case ParseOutcome::PageNotSupported:
        return VIDLATCH_TEXT("Vidlatch", "抱歉!不支持此页面地址的获取!");
    }
    return {};
}

NoticeStyle NoticeStyleOf(ParseOutcome outcome)
{
    return outcome == ParseOutcome::CodeTaken ? NoticeStyle::Information : NoticeStyle::Warning;
}

std::string_view OutcomeName(ParseOutcome outcome)
{
    switch (outcome) {
    case ParseOutcome::CodeTaken: return "CodeTaken";
    case ParseOutcome::AddressMissing: return "AddressMissing";
    case ParseOutcome::PageWrong: return "PageWrong";
    case ParseOutcome::AlbumNotSupported: return "AlbumNotSupported";
    case ParseOutcome::FilmNotSupported: return "FilmNotSupported";
    case ParseOutcome::PageNotSupported: return "PageNotSupported";
    }
    return {};
}

Notice ParseResult::notice() const
{
    return {std::u16string(NoticeText(outcome)), NoticeStyleOf(outcome)};
}

} // namespace vidlatch
