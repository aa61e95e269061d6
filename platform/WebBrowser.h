#pragma once

#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

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

signals:
    // Raised from the event loop at the start of every navigation of the page
    // or of a frame inside it.
    void DownloadBegin();
    // A page asks for a new window. Put another instance's Application in
    // `ppDisp` and leave `cancel` false to open it there; otherwise it is refused.
    void NewWindow2(QObject*& ppDisp, bool& cancel);

private:
    void onNavigationStarting(const QUrl& url, bool mainFrame, bool redirect);
    void onNewWindowRequested(const QUrl& url);
    void OpenRequestedWindow(const QUrl& url);
    void onRendererGone(QWebEnginePage::RenderProcessTerminationStatus status);
    void syncLocation(const QUrl& url);

    BrowserPage* page_;
    QString location_;
    QUrl requestedWindow_;  // a new window's page, to be loaded here
    QTimer requestedWindowTimer_;
    static constexpr int RequestSettleMs = 30;
    bool recovering_ = false;  // showing the empty page after a renderer died, until the next navigation
};

} // namespace vidlatch::platform
