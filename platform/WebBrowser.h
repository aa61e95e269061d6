#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

#include <functional>

namespace vidlatch::platform {

class BrowserPage;

// The embedded web browser of our windows, with the members the windows use:
// Navigate, GoBack, Refresh, Silent, LocationURL, Application and the events
// DownloadBegin and NewWindow2.
class WebBrowser : public QWebEngineView {
    Q_OBJECT

public:
    explicit WebBrowser(QWidget* parent = nullptr);
    ~WebBrowser() override;

    void Navigate(const QString& address);
    // Both throw ComponentError when there is nothing to go back to or to reload.
    void GoBack();
    void Refresh();

    void setSilent(bool silent);
    bool Silent() const;

    // The address the main frame shows or has started to load; empty before
    // the first navigation.
    QString LocationURL() const { return location_; }

    // The object that stands for this instance in NewWindow2.
    QObject* Application() { return this; }

    // Whether a page may have `url` opened as a new window: web pages and the
    // blank page only. Anything else is refused before NewWindow2 is raised.
    static bool IsOpenableAddress(const QUrl& url);

signals:
    // Raised from the event loop at the start of every navigation of the page
    // or of a frame inside it.
    void DownloadBegin();
    // A page asks for a new window. Put another instance's Application in
    // `ppDisp` and leave `cancel` false to open it there; otherwise it is refused.
    void NewWindow2(QObject*& ppDisp, bool& cancel);

private:
    void onNavigationStarting(const QUrl& url, bool mainFrame, bool redirect);
    void onNewWindowRequested(const QUrl& requested);
    void OpenRequestedWindow(const QUrl& url);
    void onRendererGone(QWebEnginePage::RenderProcessTerminationStatus status);
    void syncLocation(const QUrl& url);
    // Starts leaving the page shown (`go` navigates), and watches that the page lets go.
    void Leave(std::function<void()> go);
    void NoteBusyWhileLeaving();
    // Ends the renderer of a page stuck in a loop; the leaving is then retried.
    void EndStuckPage();

    BrowserPage* page_;
    QString location_;
    QUrl requestedWindow_;  // a new window's page, to be loaded here
    QTimer requestedWindowTimer_;
    static constexpr int RequestSettleMs = 30;
    bool recovering_ = false;  // showing the empty page after a renderer died, until the next navigation
    bool recoveryPageDue_ = false;  // that empty page has been asked for and not yet started

    // Leaving a page: since when, how often the page has asked for a dialog or
    // a window since, and the navigation to repeat once a stuck page is ended.
    QElapsedTimer leaving_;
    int askedWhileLeaving_ = 0;
    std::function<void()> leave_;
    bool retryLeave_ = false;
    QTimer leaveWatch_;  // a flooding page that has not let go by then is stuck
    bool leavingFloodingPage_ = false;
    static constexpr int LeaveWatchMs = 500;
    static constexpr int BusyAsksBeforeEnd = 20;
    static constexpr qint64 BusyMsBeforeEnd = 300;
};

} // namespace vidlatch::platform
