#include "WebBrowser.h"

#include "AddressRule.h"
#include "BrowserPage.h"
#include "DroppedAddress.h"
#include "FormRuntime.h"

#include "PageVisibility.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMetaObject>
#include <QPointer>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>

#include <utility>

namespace vidlatch::platform {

WebBrowser::WebBrowser(QWidget* parent) : QWebEngineView(parent), page_(new BrowserPage(this))
{
    setPage(page_);
    setContextMenuPolicy(Qt::NoContextMenu);
    new PageVisibility(this);
    clock_.start();

    connect(page_, &BrowserPage::navigationStarting, this, &WebBrowser::onNavigationStarting);
    connect(page_, &BrowserPage::committed, this, &WebBrowser::onCommitted);
    connect(page_, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) { onNewWindowRequested(request.requestedUrl()); });
    connect(page_, &QWebEnginePage::urlChanged, this, &WebBrowser::syncLocation);
    // Whatever was being left has let go once the load that followed is over,
    // whether a page came or not (stopped, no content, a download).
    connect(page_, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& loading) {
        // The web engine tells a renderer's pid late or not at all: it is
        // surely known once a load has started in it.
        renderer_.Track(page_->renderProcessPid());
        if (loading.status() != QWebEngineLoadingInfo::LoadStartedStatus)
            leaveGuard_.LetGo();
    });
    connect(page_, &QWebEnginePage::loadFinished, this, [this] { syncLocation(page_->url()); });
    // The user, not the page, holds up a page that shows a dialog.
    connect(page_, &BrowserPage::dialogShowing, this,
            [this](bool showing) { leaveGuard_.Paused(showing, clock_.elapsed()); });
    requestedWindowTimer_.setSingleShot(true);
    requestedWindowTimer_.setInterval(RequestSettleMs);
    connect(&requestedWindowTimer_, &QTimer::timeout, this, [this] {
        Leave([this, url = std::exchange(requestedWindow_, QUrl())] { load(url); });
    });
    leaveTicks_.setInterval(50);
    connect(&leaveTicks_, &QTimer::timeout, this, &WebBrowser::WatchLeaving);
    connect(page_, &QWebEnginePage::renderProcessPidChanged, this, [this](qint64 pid) { renderer_.Track(pid); });
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
        throw ComponentError(QT_TRANSLATE_NOOP("Vidlatch", "无效的地址"));
    Leave([this, url] { load(url); });
}

void WebBrowser::GoBack()
{
    if (!page_->history()->canGoBack())
        throw ComponentError(QT_TRANSLATE_NOOP("Vidlatch", "未指定的错误"));
    Leave([this] { page_->history()->back(); });
}

void WebBrowser::Refresh()
{
    if (location_.isEmpty())
        throw ComponentError(QT_TRANSLATE_NOOP("Vidlatch", "未指定的错误"));
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
    leaveGuard_.Leaving(clock_.elapsed());
    leave_ = std::move(go);
    leaveTicks_.start();
    leave_();
}

void WebBrowser::WatchLeaving()
{
    switch (leaveGuard_.Tick(clock_.elapsed())) {
    case LeaveGuard::Action::AskPage:
        // A page stuck in a loop answers nothing, not even this.
        page_->runJavaScript(QStringLiteral("0"), [self = QPointer<WebBrowser>(this), asked = ++question_](const QVariant&) {
            if (self && asked == self->question_)
                self->leaveGuard_.Answered(self->clock_.elapsed());
        });
        break;
    case LeaveGuard::Action::EndRenderer:
        EndStuckPage();
        break;
    case LeaveGuard::Action::Wait:
        break;
    }
    if (!leaveGuard_.active())
        leaveTicks_.stop();
}

void WebBrowser::EndStuckPage()
{
    // A page that went to work before its load said anything of its renderer
    // is only known to the page itself now.
    renderer_.Track(page_->renderProcessPid());
    // Gone already (the other browser may share the renderer and have ended
    // it first) is as good as ended: the command is carried out either way.
    if (renderer_.End())
        retryLeave_ = true;
}

void WebBrowser::dragEnterEvent(QDragEnterEvent* event)
{
    drag_ = ReadDrop(event->mimeData()).kind;
    if (drag_ == DroppedAddress::Kind::Text)
        QWebEngineView::dragEnterEvent(event);
    else
        AnswerOwnDrag(event);
}

void WebBrowser::dragMoveEvent(QDragMoveEvent* event)
{
    if (drag_ == DroppedAddress::Kind::Text)
        QWebEngineView::dragMoveEvent(event);
    else
        AnswerOwnDrag(event);
}

void WebBrowser::AnswerOwnDrag(QDragMoveEvent* event) const
{
    if (drag_ == DroppedAddress::Kind::WebLink)
        event->acceptProposedAction();
    else
        event->ignore();
}

void WebBrowser::dragLeaveEvent(QDragLeaveEvent* event)
{
    if (std::exchange(drag_, DroppedAddress::Kind::Refused) == DroppedAddress::Kind::Text)
        QWebEngineView::dragLeaveEvent(event);
}

void WebBrowser::dropEvent(QDropEvent* event)
{
    if (std::exchange(drag_, DroppedAddress::Kind::Refused) == DroppedAddress::Kind::Text) {
        QWebEngineView::dropEvent(event);
        return;
    }
    const DroppedAddress dropped = ReadDrop(event->mimeData());
    if (dropped.kind != DroppedAddress::Kind::WebLink) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    Leave([this, url = QUrl(dropped.text)] { load(url); });
}

void WebBrowser::setSilent(bool silent)
{
    page_->setSilent(silent);
}

bool WebBrowser::Silent() const
{
    return page_->silent();
}

void WebBrowser::RaiseDownloadBegin()
{
    // Raised from the event loop, never from inside the web engine's call.
    QMetaObject::invokeMethod(this, [self = QPointer<WebBrowser>(this)] {
        if (self)
            RunHandler([&] { emit self->DownloadBegin(); });
    }, Qt::QueuedConnection);
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
    if (!redirect)
        RaiseDownloadBegin();
}

void WebBrowser::onCommitted(const QUrl& url)
{
    // The page shown changes only now: a navigation that never arrives
    // (stopped, no content, a download) leaves the address as it was.
    if (recovering_)
        return;
    location_ = url.toString();
    RaiseDownloadBegin();
}

void WebBrowser::onNewWindowRequested(const QUrl& requested)
{
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
    // A renderer lost while its page was being left (ended by us, or by the
    // other browser that shares it) leaves the way free: go as asked.
    if (std::exchange(retryLeave_, false) || leaveGuard_.active()) {
        leaveGuard_.LetGo();
        QMetaObject::invokeMethod(this, [self = QPointer<WebBrowser>(this)] {
            if (self && self->leave_)
                self->Leave(self->leave_);
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
    // Only the page shown moves the address: before its first commit a load
    // has nothing to say.
    if (recovering_ || url.isEmpty() || location_.isEmpty())
        return;
    location_ = url.toString();
}

} // namespace vidlatch::platform
