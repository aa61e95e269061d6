#pragma once

#include <QtGlobal>

namespace vidlatch::platform {

// Counts what a page asks for in a row (dialogs, windows), each within
// `gapMs` of the one before; past `limit`, the rest is refused until Reset,
// when a new page comes. Times are milliseconds on any steady clock.
class FloodCounter {
public:
    constexpr FloodCounter(int limit, qint64 gapMs) : limit_(limit), gapMs_(gapMs) {}

    // Counts one more at `now`; false once the limit is passed.
    [[nodiscard]] bool Allow(qint64 now)
    {
        if (refused_)
            return false;
        if (last_ >= 0 && now - last_ > gapMs_)
            inRow_ = 0;  // a pause: no flood
        last_ = now;
        refused_ = ++inRow_ > limit_;
        return !refused_;
    }
    // The gap runs from here instead (a dialog closed by the user, say).
    void Mark(qint64 now) { last_ = now; }
    void Reset()
    {
        inRow_ = 0;
        refused_ = false;
        last_ = -1;
    }
    bool refused() const { return refused_; }

private:
    int limit_;
    qint64 gapMs_;
    int inRow_ = 0;
    bool refused_ = false;
    qint64 last_ = -1;
};

} // namespace vidlatch::platform
