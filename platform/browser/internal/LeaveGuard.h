#pragma once

#include <QUrl>
#include <QtGlobal>

namespace vidlatch::platform {

// Watches a page that the user has told the browser to leave (reset, home,
// back, refresh, a tab's home button). A page that has not let go soon is
// asked whether it still answers; one that does not answer is stuck in a
// loop, and its renderer is ended so that the command can be carried out.
// A healthy but slow page answers, and is asked again while the command's
// load is on its way: it is let go only once it has been left. Times are
// milliseconds on any steady clock; the caller ticks the guard while it is
// active.
class LeaveGuard {
public:
    static constexpr qint64 AskAfterMs = 250;   // a page that has not let go by then is asked
    static constexpr qint64 EndAfterMs = 1500;  // one asked that has not answered by then is ended

    enum class Action { Wait, AskPage, EndRenderer };

    // A page that answers this many times while the command has started no
    // load is left: nothing is on its way for it to hold up.
    static constexpr int AnswersWithoutLoad = 2;

    // The user's command to leave the page shown at `shown`, at `now`.
    void Leaving(qint64 now, const QUrl& shown);
    // A load started: the command's, or the page's.
    void LoadStarted() { loadStarted_ = true; }
    // A load ended, at `url`: the page has gone (the next one has arrived,
    // or the command ended), unless it is the late end of the load of the
    // page being left, which may only now start what holds it.
    void LoadEnded(const QUrl& url);
    // The page has gone: its renderer ended.
    void LetGo() { active_ = false; }
    // The page answered a question; it is alive, for now. The watch starts
    // over: a page may answer, then hold the command's load up.
    void Answered(qint64 now);
    // A dialog of the page's is open: the user, not the page, holds it up.
    void Paused(bool paused, qint64 now);

    [[nodiscard]] Action Tick(qint64 now);
    bool active() const { return active_; }

private:
    void Restart(qint64 now);

    bool active_ = false;
    bool paused_ = false;
    bool asked_ = false;
    bool loadStarted_ = false;  // since the command
    int answersWithoutLoad_ = 0;
    qint64 since_ = 0;
    QUrl shown_;
};

} // namespace vidlatch::platform
