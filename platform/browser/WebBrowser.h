#pragma once

#include "DroppedAddress.h"
#include "OffSiteRule.h"

#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineView>

#include <functional>

namespace vidlatch::platform {

class BrowserPage;
class LeaveWatch;

// The embedded web browser of our windows, with the members the windows use:
// Navigate, GoBack, Refresh, Silent, LocationURL, Application and the events
// DownloadBegin and NewWindow2.
class WebBrowser : public QWebEngineView {
    Q_OBJECT

public:
    explicit WebBrowser(QWidget* parent = nullptr);
    ~WebBrowser() override;

    // What becomes of a page off the site that the browser is sent to (a
    // link, a script, a redirect, a new window, a drop): the browser keeps
    // the page it shows either way.
    enum class OffSitePages {
        Refused,        // nowhere: nobody looks at this browser
        UsersBrowser,   // to the user's own browser, which the desktop runs
    };
    void setOffSitePages(OffSitePages where) { offSite_ = where; }

    void Navigate(const QString& address);
    // Both throw ComponentError when there is nothing to go back to or to reload.
    void GoBack();
    void Refresh();

    void setSilent(bool silent);
    bool Silent() const;

    // The address of the page shown: it changes when a new page arrives (its
    // document commits) or the page moves within itself, never on a mere
    // request; empty before the first page.
    QString LocationURL() const { return location_; }

    // The object that stands for this instance in NewWindow2.
    QObject* Application() { return this; }

signals:
    // Raised from the event loop at the start of every navigation of the page
    // or of a frame inside it, and when a new page arrives in the main frame.
    void DownloadBegin();
    // A page asks for a new window. Put another instance's Application in
    // `ppDisp` and leave `cancel` false to open it there; otherwise it is refused.
    void NewWindow2(QObject*& ppDisp, bool& cancel);
    // A page asked for `address` off the site (or the user dropped it), and
    // this is what became of it; `stopped` counts the addresses this browser
    // has stopped for want of the user's action. An address handed to the
    // user's browser (Opening) is told again once the desktop has answered.
    void OffSitePage(OffSiteOutcome outcome, const QString& address, int stopped);

protected:
    bool event(QEvent* event) override;
    // Counts the user's actions in the page (the engine's child widget gets them).
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A dropped web link opens here as a click on it would; files and other
    // schemes are refused before the page sees them; a text goes on to the page.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Accepts a web link, refuses anything else that is not the page's.
    void AnswerOwnDrag(QDragMoveEvent* event) const;
    void onNavigationStarting(const QUrl& url, bool mainFrame, bool redirect);
    void onCommitted(const QUrl& url);
    void onNewWindowRequested(QWebEngineNewWindowRequest& request);
    void OpenRequestedWindow(const QUrl& url);
    void onRendererGone(bool carriedOn);
    void syncLocation(const QUrl& url);
    void RaiseDownloadBegin();
    // Starts leaving the page shown (`go` navigates) under the leave watch.
    void Leave(std::function<void()> go);
    void SendOffSite(const QUrl& url, OffSiteAsk ask);
    // A click, a key or a drop of the user's in the page.
    void UserActed();

    BrowserPage* page_;
    QString location_;
    QUrl requestedWindow_;  // a new window's page, to be loaded here
    QTimer requestedWindowTimer_;
    static constexpr int RequestSettleMs = 30;
    bool recovering_ = false;  // showing the empty page after a renderer died, until the next navigation
    bool recoveryPageDue_ = false;  // that empty page has been asked for and not yet started
    LeaveWatch* leaving_;
    DroppedAddress::Kind drag_ = DroppedAddress::Kind::Refused;  // what the drag under way carries
    OffSitePages offSite_ = OffSitePages::Refused;
    QTimer actionSpan_;  // the span of the user's last action in the page
    int actionQuestion_ = 0;  // which action the page's answer closes
};

} // namespace vidlatch::platform
