#pragma once

#include <QtGlobal>

namespace vidlatch::platform {

// Watches a page that the user has told the browser to leave (reset, home,
// back, refresh, a tab's home button). A page that has not let go soon is
// asked whether it still answers; one that does not answer is stuck in a
// loop, and its renderer is ended so that the command can be carried out.
// A healthy but slow page answers, and is left alone. Times are
// milliseconds on any steady clock; the caller ticks the guard while it is
// active.
class LeaveGuard {
public:
    static constexpr qint64 AskAfterMs = 250;   // a page that has not let go by then is asked
    static constexpr qint64 EndAfterMs = 1500;  // one asked that has not answered by then is ended

    enum class Action { Wait, AskPage, EndRenderer };

    // The user's command to leave the page, at `now`.
    void Leaving(qint64 now);
    // The page has gone: the next one has arrived, or the command ended.
    void LetGo() { active_ = false; }
    // The page answered a question; it is alive. The watch starts over.
    void Answered(qint64 now);
    // A dialog of the page's is open: the user, not the page, holds it up.
    void Paused(bool paused, qint64 now);

    [[nodiscard]] Action Tick(qint64 now);
    bool active() const { return active_; }

private:
    bool active_ = false;
    bool paused_ = false;
    bool asked_ = false;
    qint64 since_ = 0;
};

} // namespace vidlatch::platform
