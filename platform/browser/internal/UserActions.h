#pragma once

#include <utility>

namespace vidlatch::platform {

// One action of the user's in a page (a click, a key, a drop), one address
// for the user's own browser: a page hands the desktop an address only as
// the result of such an action, however often it tries without one. An
// action not spent is the page's only while it shows the same document, and
// the next action takes its place: actions are never saved up. No clock:
// a slow machine's click is as good as a fast one's.
class UserActions {
public:
    void Acted() { due_ = true; }
    // A new document: the page before's action is not this one's.
    void NewDocument() { due_ = false; }
    // Whether one address may go now; spends the action, or counts one stopped.
    [[nodiscard]] bool Spend()
    {
        if (std::exchange(due_, false))
            return true;
        ++stopped_;
        return false;
    }
    // Addresses stopped for want of an action, since the browser began.
    int stopped() const { return stopped_; }

private:
    bool due_ = false;
    int stopped_ = 0;
};

} // namespace vidlatch::platform
