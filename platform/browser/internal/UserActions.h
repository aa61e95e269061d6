#pragma once

#include <QtGlobal>

namespace vidlatch::platform {

// One action of the user's in a page (a click, a key, a drop), one address
// for the user's own browser: a page hands the desktop an address only as
// the result of such an action, however often it tries without one.
//
// An action is the page's to use while it is recent: until its span is over
// (SpanMs, and then the page has answered, so that a busy renderer's late
// click still counts), until a new document arrives, until the next action
// (actions are never saved up), or until the page starts a navigation of its
// own: that is what the action brought about, and only a redirect of it may
// still lead to another site (a page's old timer gets nothing from a click
// on a slow link).
class UserActions {
public:
    static constexpr qint64 SpanMs = 5000;  // as the engine's own for a window a click may open

    enum class State { None, Due, Navigating };
    enum class Event {
        Acted,           // the user acted in the page
        PageNavigates,   // the main frame starts a navigation to a page it may show
        NewDocument,     // a new document arrived
        SpanOver,        // the action's span is over
        AsksElsewhere,   // the page asks for an address off the site
        RedirectsElsewhere,  // the main frame's navigation is redirected off the site
    };

    // Carries out `event`; for an ask, whether it is granted (spending the
    // action) or stopped (and counted).
    bool On(Event event);
    State state() const { return state_; }
    // Addresses stopped for want of an action, since the browser began.
    int stopped() const { return stopped_; }

private:
    State state_ = State::None;
    int stopped_ = 0;
};

} // namespace vidlatch::platform
