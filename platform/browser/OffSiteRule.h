#pragma once

class QUrl;

namespace vidlatch::platform {

class UserActions;

// How an address off the site came to a browser.
enum class OffSiteAsk {
    Page,      // a link, a script or a new window of the page's
    Redirect,  // the main frame's navigation, redirected by its server
    Form,      // a form of the page's, sent to another site
    User,  // the user's own: a link dropped on the browser, an address it was given
};

// What becomes of it, as the status line says.
enum class OffSiteOutcome {
    Opening,        // handed to the desktop, for the user's own browser
    Opened,         // ... which took it
    NotOpened,      // ... which could not open it
    NotWebPage,     // not http or https: the desktop would run whatever program the scheme names
    WithoutAction,  // the page asked with no action of the user's to answer: nothing went out
    FormNotSent,    // sent nowhere: the user's browser would get it without its method and fields
};

// Whether the address `ask` brings may go to the user's browser (Opening),
// or why not; spends the user's action it goes on.
[[nodiscard]] OffSiteOutcome JudgeOffSite(const QUrl& url, OffSiteAsk ask, UserActions& actions);

} // namespace vidlatch::platform
