#include "WebBrowser.h"

#include "BrowserPage.h"
#include "FormRuntime.h"

#include <QMetaObject>
#include <QPointer>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>

#include <utility>

namespace vidlatch::platform {

WebBrowser::WebBrowser(QWidget* parent) : QWebEngineView(parent), page_(new BrowserPage(this))
{
    setPage(page_);
    setContextMenuPolicy(Qt::NoContextMenu);

    connect(page_, &BrowserPage::navigationStarting, this, &WebBrowser::onNavigationStarting);
    connect(page_, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) { onNewWindowRequested(request.requestedUrl()); });
    connect(page_, &QWebEnginePage::urlChanged, this, &WebBrowser::syncLocation);
    connect(page_, &QWebEnginePage::loadFinished, this, [this] { syncLocation(page_->url()); });
    requestedWindowTimer_.setSingleShot(true);
    requestedWindowTimer_.setInterval(RequestSettleMs);
    connect(&requestedWindowTimer_, &QTimer::timeout, this,
            [this] { load(std::exchange(requestedWindow_, QUrl())); });
    connect(page_, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) { onRendererGone(status); });
}

WebBrowser::~WebBrowser()
{
    // The page goes before the view so that the web engine never paints into
    // a half-destroyed widget.
    setPage(nullptr);
    delete page_;
}

void WebBrowser::Navigate(const QString& address)
{
    const QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid())
        throw ComponentError("无效的地址");
    load(url);
}

void WebBrowser::GoBack()
{
    if (!page_->history()->canGoBack())
        throw ComponentError("未指定的错误");
    page_->history()->back();
}

void WebBrowser::Refresh()
{
    if (location_.isEmpty())
        throw ComponentError("未指定的错误");
    // After a renderer died, refreshing brings back the page that was lost.
    if (recovering_)
        load(QUrl(location_));
    else
        reload();
}

void WebBrowser::setSilent(bool silent)
{
    page_->setSilent(silent);
}

bool WebBrowser::Silent() const
{
    return page_->silent();
}

void WebBrowser::onNavigationStarting(const QUrl& url, bool mainFrame, bool redirect)
{
    // The empty page shown after a renderer died is ours, not the user's.
    if (url.scheme() == QLatin1String("data"))
        return;
    recovering_ = false;
    // The location moves when the main frame starts; a redirect only updates it.
    if (mainFrame)
        location_ = url.toString();
    if (redirect)
        return;
    // Raised from the event loop, never from inside the web engine's call.
    QMetaObject::invokeMethod(this, [self = QPointer<WebBrowser>(this)] {
        if (self)
            RunHandler([&] { emit self->DownloadBegin(); });
    }, Qt::QueuedConnection);
}

void WebBrowser::onNewWindowRequested(const QUrl& url)
{
    QObject* target = nullptr;
    bool cancel = false;
    RunHandler([&] { emit NewWindow2(target, cancel); });
    auto* other = qobject_cast<WebBrowser*>(target);
    if (cancel || !other || other == this)
        return;  // refused: no window of our own either
    other->OpenRequestedWindow(url.isEmpty() ? QUrl(QStringLiteral("about:blank")) : url);
}

void WebBrowser::OpenRequestedWindow(const QUrl& url)
{
    // The requesting page may still be running the script that asks (a loop
    // of window.open, say), and it shares its renderer with this page: load
    // once the requests have settled, and only the last one.
    requestedWindow_ = url;
    requestedWindowTimer_.start();
}

void WebBrowser::onRendererGone(QWebEnginePage::RenderProcessTerminationStatus status)
{
    if (status == QWebEnginePage::NormalTerminationStatus)
        return;
    // The page is lost, the browser is not: show an empty page and stay usable.
    // LocationURL keeps the lost page's address until the next navigation.
    recovering_ = true;
    QMetaObject::invokeMethod(this, [self = QPointer<WebBrowser>(this)] {
        if (self)
            self->page_->setHtml(QString());
    }, Qt::QueuedConnection);
}

void WebBrowser::syncLocation(const QUrl& url)
{
    if (recovering_ || url.isEmpty() || url.scheme() == QLatin1String("data"))
        return;
    location_ = url.toString();
}

} // namespace vidlatch::platform
