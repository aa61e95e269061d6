#include "LeaveGuard.h"

namespace vidlatch::platform {

void LeaveGuard::Leaving(qint64 now, const QUrl& shown)
{
    active_ = true;
    asked_ = false;
    loadStarted_ = false;
    answersWithoutLoad_ = 0;
    since_ = now;
    shown_ = shown;
}

void LeaveGuard::LoadEnded(const QUrl& url)
{
    if (loadStarted_ || url != shown_)
        active_ = false;
}

void LeaveGuard::Answered(qint64 now)
{
    Restart(now);
    // A command that has started no load by now goes nowhere that a page
    // could hold: it moved within the document (back to a fragment), or it
    // was refused. One that has started one is watched until that load ends.
    if (!loadStarted_ && ++answersWithoutLoad_ >= AnswersWithoutLoad)
        active_ = false;
}

void LeaveGuard::Paused(bool paused, qint64 now)
{
    paused_ = paused;
    if (!paused)
        Restart(now);  // the page runs again: its time starts over
}

void LeaveGuard::Restart(qint64 now)
{
    asked_ = false;
    since_ = now;
}

LeaveGuard::Action LeaveGuard::Tick(qint64 now)
{
    if (!active_ || paused_)
        return Action::Wait;
    if (!asked_ && now - since_ >= AskAfterMs) {
        asked_ = true;
        return Action::AskPage;
    }
    if (asked_ && now - since_ >= EndAfterMs) {
        active_ = false;
        return Action::EndRenderer;
    }
    return Action::Wait;
}

} // namespace vidlatch::platform
