#pragma once

#include <QList>
#include <QUrl>

#include <optional>

namespace vidlatch::platform {

// Tells when a navigation of the main frame arrives, that is when its new
// document commits, from what the web engine reports, in whatever order the
// reports of overlapping navigations come. The engine says "started" once
// for a run of navigations that replace each other, changes the address when
// each one commits (and when a document moves within itself), and ends the
// run once, for the last; a late report of a navigation already replaced
// must not decide anything for the one after it.
class PageArrivals {
public:
    enum class End { Succeeded, Failed, FailedWithErrorPage, Stopped };

    // A navigation of the main frame was accepted or a load started at `url`
    // (a redirect is a new one, which the earlier never arrives as).
    void Expect(const QUrl& url);
    // The address changed: the arrival of an expected navigation, or the
    // document moving within itself (none).
    [[nodiscard]] std::optional<QUrl> AddressChanged(const QUrl& url);
    // A load ended: a reload arrives only here (its address does not change),
    // and so does an error page.
    [[nodiscard]] std::optional<QUrl> Ended(const QUrl& url, End end);

    // Pending navigations kept at the most: a page that starts one after
    // another without end replaces the oldest.
    static constexpr qsizetype MaxPending = 16;

private:
    // Takes `url` and every navigation before it off the pending list;
    // whether it was there.
    bool Settle(const QUrl& url);

    QList<QUrl> pending_;  // oldest first
};

} // namespace vidlatch::platform
