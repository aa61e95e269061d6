#include "LeaveGuard.h"

namespace vidlatch::platform {

void LeaveGuard::Leaving(qint64 now)
{
    active_ = true;
    asked_ = false;
    since_ = now;
}

void LeaveGuard::Answered(qint64 now)
{
    asked_ = false;
    since_ = now;
}

void LeaveGuard::Paused(bool paused, qint64 now)
{
    paused_ = paused;
    if (!paused)
        Answered(now);  // a dialog closed is an answer
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
