#include "PageArrivals.h"

namespace vidlatch::platform {

void PageArrivals::Expect(const QUrl& url)
{
    if (!pending_.isEmpty() && pending_.last() == url)
        return;  // the accepted navigation's load starting
    if (pending_.size() == MaxPending)
        pending_.removeFirst();
    pending_.append(url);
}

bool PageArrivals::Settle(const QUrl& url)
{
    const qsizetype at = pending_.lastIndexOf(url);
    if (at < 0)
        return false;
    // A navigation that arrived or ended replaced every one before it.
    pending_.remove(0, at + 1);
    return true;
}

std::optional<QUrl> PageArrivals::AddressChanged(const QUrl& url)
{
    if (Settle(url))
        return url;
    return std::nullopt;
}

std::optional<QUrl> PageArrivals::Ended(const QUrl& url, End end)
{
    // Not pending: it arrived already, or a later navigation replaced it.
    if (!Settle(url))
        return std::nullopt;
    if (end == End::Succeeded || end == End::FailedWithErrorPage)
        return url;
    return std::nullopt;  // stopped, no content, a download: the page shown stays
}

} // namespace vidlatch::platform
