#include "WebBrowser.h"

#include "PageVisibility.h"

#include "BrowserPage.h"
#include "FormRuntime.h"

#include <QMetaObject>
#include <QPointer>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>

#include <csignal>
#include <utility>

namespace vidlatch::platform {

WebBrowser::WebBrowser(QWidget* parent) : QWebEngineView(parent), page_(new BrowserPage(this))
{
    setPage(page_);
    setContextMenuPolicy(Qt::NoContextMenu);
    new PageVisibility(this);

    connect(page_, &BrowserPage::navigationStarting, this, &WebBrowser::onNavigationStarting);
    connect(page_, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) { onNewWindowRequested(request.requestedUrl()); });
    connect(page_, &QWebEnginePage::urlChanged, this, &WebBrowser::syncLocation);
    connect(page_, &QWebEnginePage::loadFinished, this, [this] {
        syncLocation(page_->url());
        leaving_.invalidate();  // whatever was being left has let go
    });
    requestedWindowTimer_.setSingleShot(true);
    requestedWindowTimer_.setInterval(RequestSettleMs);
    connect(&requestedWindowTimer_, &QTimer::timeout, this, [this] {
        Leave([this, url = std::exchange(requestedWindow_, QUrl())] { load(url); });
    });
    // A page that goes on asking while it is being left is stuck in a loop.
    connect(page_, &BrowserPage::dialogAsked, this, &WebBrowser::NoteBusyWhileLeaving);
    leaveWatch_.setSingleShot(true);
    leaveWatch_.setInterval(LeaveWatchMs);
    connect(&leaveWatch_, &QTimer::timeout, this, [this] {
        if (leaving_.isValid() && (leavingFloodingPage_ || page_->flooding()))
            EndStuckPage();
    });
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
    Leave([this, url] { load(url); });
}

void WebBrowser::GoBack()
{
    if (!page_->history()->canGoBack())
        throw ComponentError("未指定的错误");
    Leave([this] { page_->history()->back(); });
}

void WebBrowser::Refresh()
{
    if (location_.isEmpty())
        throw ComponentError("未指定的错误");
    Leave([this] {
        // After a renderer died, refreshing brings back the page that was lost.
        if (recovering_)
            load(QUrl(location_));
        else
            reload();
    });
}

void WebBrowser::Leave(std::function<void()> go)
{
    leaving_.start();
    askedWhileLeaving_ = 0;
    leave_ = std::move(go);
    // Starting the navigation forgives the flood; the watch remembers it.
    leavingFloodingPage_ = page_->flooding();
    leaveWatch_.start();
    leave_();
}

void WebBrowser::NoteBusyWhileLeaving()
{
    if (!leaving_.isValid())
        return;
    // A page that is being left stops its scripts; one that keeps asking for
    // dialogs or windows is stuck in a loop, and its renderer answers nothing
    // else (not even the navigation away) until the loop ends. End it.
    if (++askedWhileLeaving_ >= BusyAsksBeforeEnd && leaving_.elapsed() >= BusyMsBeforeEnd)
        EndStuckPage();
}

void WebBrowser::EndStuckPage()
{
    leaving_.invalidate();
    if (const qint64 pid = page_->renderProcessPid(); pid > 0) {
        retryLeave_ = true;
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    }
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
    // The empty page shown after a renderer died is ours, not the user's. Only
    // we start it, while no page is alive to navigate anywhere.
    if (recoveryPageDue_ && mainFrame && url.scheme() == QLatin1String("data")) {
        recoveryPageDue_ = false;
        return;
    }
    recovering_ = false;
    recoveryPageDue_ = false;
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

bool WebBrowser::IsOpenableAddress(const QUrl& url)
{
    // Only web pages: a page must not put content of its own (data:), script
    // (javascript:) or the program's and the machine's files (qrc:, file:,
    // the preview's scheme) into the other browser under the other's address.
    const QString scheme = url.scheme();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                             url == QUrl(QStringLiteral("about:blank")));
}

void WebBrowser::onNewWindowRequested(const QUrl& requested)
{
    NoteBusyWhileLeaving();
    const QUrl url = requested.isEmpty() ? QUrl(QStringLiteral("about:blank")) : requested;
    if (!page_->MayOpenWindow() || !IsOpenableAddress(url))
        return;  // refused before anyone is asked: no event, nothing opened
    QObject* target = nullptr;
    bool cancel = false;
    RunHandler([&] { emit NewWindow2(target, cancel); });
    auto* other = qobject_cast<WebBrowser*>(target);
    if (cancel || !other || other == this)
        return;  // refused: no window of our own either
    other->OpenRequestedWindow(url);
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
    if (std::exchange(retryLeave_, false)) {
        // We ended a page stuck in a loop: now it can be left as asked.
        QMetaObject::invokeMethod(this, [self = QPointer<WebBrowser>(this)] {
            if (self && self->leave_)
                self->leave_();
        }, Qt::QueuedConnection);
        return;
    }
    recoveryPageDue_ = true;
    QMetaObject::invokeMethod(this, [self = QPointer<WebBrowser>(this)] {
        if (self)
            self->page_->setHtml(QString());
    }, Qt::QueuedConnection);
}

void WebBrowser::syncLocation(const QUrl& url)
{
    if (recovering_ || url.isEmpty())
        return;
    location_ = url.toString();
}

} // namespace vidlatch::platform
