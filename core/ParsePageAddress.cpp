#include "ParsePageAddress.h"

#include "SiteConstants.h"
#include "TextSearch.h"

#include <optional>

namespace vidlatch {
namespace {

constexpr std::u16string_view AlbumMark = u"index.html";
constexpr std::u16string_view VidMark = u"vid";
constexpr std::u16string_view CoverMark = u"cover";
constexpr std::u16string_view VidKey = u"vid=";
constexpr std::u16string_view HtmlMark = u".html";
constexpr std::u16string_view QueryOrFragment = u"?#";

constexpr std::size_t FilmFieldIndex = 5;
constexpr std::size_t FilmFieldLength = 20;
constexpr std::size_t VidWindowLength = 15;
constexpr std::size_t TailLength = 16;

using text::npos;

// Length of the "/"-separated field at `index`, counted from the very start of
// the address; none when the address has fewer fields.
std::optional<std::size_t> FieldLength(std::u16string_view address, std::size_t index)
{
    std::size_t start = 0;
    for (std::size_t field = 0; field < index; ++field) {
        const std::size_t slash = text::Find(address, u'/', start);
        if (slash == npos)
            return std::nullopt;
        start = slash + 1;
    }
    const std::size_t end = text::Find(address, u'/', start);
    return (end == npos ? address.size() : end) - start;
}

ParseResult Taken(std::u16string code)
{
    return {ParseOutcome::CodeTaken, std::move(code)};
}

ParseResult Rejected(ParseOutcome outcome)
{
    return {outcome, {}};
}

} // namespace

ParseResult ParsePageAddress(std::u16string_view address, bool rejectEmpty)
{
    using text::Contains;

    if (rejectEmpty && address.empty())
        return Rejected(ParseOutcome::AddressMissing);
    if (!Contains(address, site::PageHostPrefix))
        return Rejected(ParseOutcome::PageWrong);
    if (Contains(address, AlbumMark))
        return Rejected(ParseOutcome::AlbumNotSupported);
    // A film is told by the length of its sixth field alone; an address with
    // fewer fields is no film and goes on to the extraction rules.
    if (FieldLength(address, FilmFieldIndex) == FilmFieldLength)
        return Rejected(ParseOutcome::FilmNotSupported);

    // The vid rule: its condition looks for "vid", its window starts at "vid=".
    const bool hasVid = Contains(address, VidMark);
    const bool hasCover = Contains(address, CoverMark);
    if (hasVid && hasCover) {
        const std::size_t key = text::Find(address, VidKey);
        if (key == npos)
            return Rejected(ParseOutcome::PageNotSupported);
        return Taken(text::RemoveEvery(address.substr(key, VidWindowLength), VidKey));
    }

    // The html rule. A query string or fragment after ".html" is cut off first,
    // so that the tail is the file name and not the query.
    const std::size_t html = text::Find(address, HtmlMark);
    if (html != npos) {
        const std::size_t cut = address.find_first_of(QueryOrFragment, html + HtmlMark.size());
        const std::u16string_view page = address.substr(0, cut);
        return Taken(text::RemoveEvery(text::LastUnits(page, TailLength), HtmlMark));
    }

    return Rejected(ParseOutcome::PageNotSupported);
}

std::u16string_view NoticeText(ParseOutcome outcome)
{
    switch (outcome) {
    case ParseOutcome::CodeTaken:
        return u"视频地址已获取成功!现转入主界面,请点击获取按钮获取真实视频地址!";
    case ParseOutcome::AddressMissing:
        return u"您未输入视频网页地址";
    case ParseOutcome::PageWrong:
        return u"您当前获取的视频地址页面有误!请您检查!";
    case ParseOutcome::AlbumNotSupported:
        return u"抱歉!本程序不支持专辑视频地址获取";
    case ParseOutcome::FilmNotSupported:
        return u"抱歉!不支持电影地址的获取!";
    case ParseOutcome::PageNotSupported:
        return u"抱歉!不支持此页面地址的获取!";
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
