#pragma once

#include "FloodCounter.h"
#include "OffSiteRule.h"
#include "PageArrivals.h"
#include "UserActions.h"

#include <QElapsedTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>

namespace vidlatch::platform {

// A page of our embedded browser: reports the navigations it starts and the
// new documents it commits, keeps every dialog of the page's own off the
// screen when silent, never lets a page trap the user with its dialogs, and
// refuses what no page gets from this program: files, credentials it has not
// been given, and the machine's devices and notifications.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT

public:
    explicit BrowserPage(QObject* parent = nullptr);

    void setSilent(bool silent) { silent_ = silent; }
    bool silent() const { return silent_; }

    // Dialogs a page may show in a row, each within FloodGapMs of the one
    // before, before the rest are refused quietly until the page is left.
    static constexpr int FloodDialogs = 3;
    static constexpr qint64 FloodGapMs = 5000;
    // Windows a page may ask for in a row, each within WindowGapMs of the one
    // before; after that only a click of the user's opens one, until the page
    // is left. The web engine then refuses the rest before it builds anything
    // for them, so a storm of requests costs nothing.
    static constexpr int FloodWindows = 20;
    static constexpr qint64 WindowGapMs = 1000;

    // Whether the page's request for a new window may go on; counts it.
    [[nodiscard]] bool MayOpenWindow();
    // The user acted in the page: a click, a key or a drop.
    void UserActed() { actions_.On(UserActions::Event::Acted); }
    // The span of the user's last action is over (and the page has answered since).
    void ActionSpanOver() { actions_.On(UserActions::Event::SpanOver); }
    UserActions& userActions() { return actions_; }
    // Shows the program's own empty page (after a renderer died): the only
    // page not of the site that the main frame shows.
    void ShowEmptyPage();
    // Whether `url` is the address of the document shown (committed), not
    // one the engine shows while a load it was given is still on its way.
    [[nodiscard]] bool Shows(const QUrl& url) const;
signals:
    // The page's script asked for a dialog (the leave question aside).
    void dialogAsked();
    // One of the page's dialogs is on screen, or has gone.
    void dialogShowing(bool showing);
    // The main frame committed a new document: from now on it shows `url`.
    // (Not for a navigation within the document, nor for one that was
    // stopped, cancelled, answered with no content or turned into a download.)
    void committed(const QUrl& url);
    // A navigation was accepted: of the main frame or of a frame inside it.
    // `redirect` is set when it only ends an earlier navigation.
    void navigationStarting(const QUrl& url, bool mainFrame, bool redirect);
    // The main frame was to go to a page off the site (a link, a script, a
    // redirect, a form) or to an address that is no web page: it stays on
    // the page it shows, and `url` is the user's browser's to show, if anyone's.
    void elsewhereAsked(const QUrl& url, OffSiteAsk ask);


protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptAlert(const QUrl& origin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                          QString* result) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
    // The program logs nothing, the pages' consoles included.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}

private:
    // Where the page's history stands: a committed document moves it, an
    // address the engine shows before its document commits does not.
    struct HistoryPlace {
        int count = 0;
        int index = -1;
        QUrl url;
        bool operator==(const HistoryPlace&) const = default;
    };
    // Whether the page's next dialog may be shown; counts it if so.
    bool MayShowDialog(bool leaveQuestion = false);
    // Shows one of the page's dialogs through `show`.
    template <typename Show>
    auto ShowDialog(Show show);
    void OnLoadingChanged(const QWebEngineLoadingInfo& loading);
    void CheckArrival();
    // A new document: it gets the dialogs and windows that the one before forfeited.
    void Commit(const QUrl& url);

    bool silent_ = false;
    PageArrivals arrivals_;
    HistoryPlace place_;
    QElapsedTimer clock_;
    FloodCounter dialogs_{FloodDialogs, FloodGapMs};  // the gap runs from the last one closed
    FloodCounter windows_{FloodWindows, WindowGapMs};
    UserActions actions_;
    bool ownPageDue_ = false;  // the program's empty page is asked for, and not yet accepted
};

} // namespace vidlatch::platform
