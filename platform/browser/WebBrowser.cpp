#include "WebBrowser.h"

#include "AddressRule.h"
#include "BrowserPage.h"
#include "DroppedAddress.h"
#include "FormRuntime.h"
#include "LeaveWatch.h"
#include "PageVisibility.h"
#include "UsersBrowser.h"
#include "WindowProbe.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMetaObject>
#include <QPointer>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>

#include <utility>

namespace vidlatch::platform {

WebBrowser::WebBrowser(QWidget* parent)
    : QWebEngineView(parent), page_(new BrowserPage(this)), leaving_(new LeaveWatch(page_, this))
{
    setPage(page_);
    setContextMenuPolicy(Qt::NoContextMenu);
    new PageVisibility(this);

    connect(page_, &BrowserPage::navigationStarting, this, &WebBrowser::onNavigationStarting);
    connect(page_, &BrowserPage::committed, this, &WebBrowser::onCommitted);
    connect(page_, &BrowserPage::elsewhereAsked, this, &WebBrowser::SendOffSite);
    // The user's input reaches the page through the view's child widget,
    // which the engine makes (and makes anew) as it likes.
    for (QObject* child : children())
        child->installEventFilter(this);
    connect(page_, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) { onNewWindowRequested(request); });
    connect(page_, &QWebEnginePage::urlChanged, this, &WebBrowser::syncLocation);
    connect(page_, &QWebEnginePage::loadFinished, this, [this] { syncLocation(page_->url()); });
    requestedWindowTimer_.setSingleShot(true);
    requestedWindowTimer_.setInterval(RequestSettleMs);
    connect(&requestedWindowTimer_, &QTimer::timeout, this, [this] {
        Leave([this, url = std::exchange(requestedWindow_, QUrl())] { load(url); });
    });
    connect(leaving_, &LeaveWatch::rendererGone, this, &WebBrowser::onRendererGone);
    actionSpan_.setSingleShot(true);
    actionSpan_.setInterval(static_cast<int>(UserActions::SpanMs));
    connect(&actionSpan_, &QTimer::timeout, this, [this] {
        // Over once the page has answered too: a busy renderer may only now
        // have handled the action.
        page_->runJavaScript(QStringLiteral("0"), [self = QPointer<WebBrowser>(this), asked = actionQuestion_](const QVariant&) {
            if (self && asked == self->actionQuestion_)
                self->page_->ActionSpanOver();
        });
    });
}

void WebBrowser::UserActed()
{
    page_->UserActed();
    ++actionQuestion_;  // an answer about the action before is no answer about this one
    actionSpan_.start();
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
    // Another site's page goes to the user's browser; what is no page of the
    // site nor blank is refused before the engine sees it (it would show
    // view-source: as the page it names). The page shown stays.
    if (!MayShowInMainFrame(url) && !IsRefusedAddress(url)) {
        SendOffSite(url, OffSiteAsk::User);
        return;
    }
    Leave([this, url] { load(url); });
}

void WebBrowser::GoBack()
{
    if (!page_->history()->canGoBack())
        throw ComponentError(QT_TRANSLATE_NOOP("Vidlatch", "未指定的错误"));
    // The entry before the one shown now: a command given again (its page
    // ended for not letting go) goes there, not one further back.
    const QWebEngineHistoryItem target = page_->history()->backItem();
    Leave([this, target] { page_->history()->goToItem(target); });
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
    leaving_->Leave(std::move(go));
}

bool WebBrowser::event(QEvent* event)
{
    if (event->type() == QEvent::ChildAdded)
        static_cast<QChildEvent*>(event)->child()->installEventFilter(this);
    return QWebEngineView::event(event);
}

bool WebBrowser::eventFilter(QObject* watched, QEvent* event)
{
    // What the user does in the page: each action may bring one page off the
    // site to the user's browser (a key held down acts once).
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::TouchBegin:
        UserActed();
        break;
    case QEvent::KeyPress:
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
            UserActed();
        break;
    default:
        break;
    }
    return QWebEngineView::eventFilter(watched, event);
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
        UserActed();
        QWebEngineView::dropEvent(event);
        return;
    }
    const DroppedAddress dropped = ReadDrop(event->mimeData());
    if (dropped.kind != DroppedAddress::Kind::WebLink) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    const QUrl url(dropped.text);
    if (KindOfAddress(url) == AddressKind::Elsewhere)
        SendOffSite(url, OffSiteAsk::User);  // the page shown stays: nothing to leave
    else
        Leave([this, url] { load(url); });
}

void WebBrowser::SendOffSite(const QUrl& url, OffSiteAsk ask)
{
    if (offSite_ == OffSitePages::Refused)
        return;
    // As it goes to the desktop: no character of the address can make it
    // read as another (a right-to-left mark turning ".gpj" into "jpg.").
    const QString address = url.toString(QUrl::FullyEncoded);
    const OffSiteOutcome outcome = JudgeOffSite(url, ask, page_->userActions());
    emit OffSitePage(outcome, address, page_->userActions().stopped());
    if (outcome != OffSiteOutcome::Opening)
        return;
    OpenInUsersBrowser(url, this, [this, address](bool opened) {
        emit OffSitePage(opened ? OffSiteOutcome::Opened : OffSiteOutcome::NotOpened, address, page_->userActions().stopped());
    });
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
    // (stopped, no content, a download) leaves the address as it was. Only
    // the empty page shown after a renderer died is not the user's: a page
    // that arrives otherwise ends the recovery, even where its navigation
    // started before the renderer's end was told (a command carried on).
    if (recovering_ && url.scheme() == QLatin1String("data"))
        return;
    recovering_ = false;
    location_ = url.toString();
    RaiseDownloadBegin();
}

void WebBrowser::onNewWindowRequested(QWebEngineNewWindowRequest& request)
{
    const QUrl requested = request.requestedUrl();
    if (!page_->MayOpenWindow())
        return;  // refused before anyone is asked: no event, nothing opened
    const AddressKind kind = KindOfAddress(requested);
    if (kind == AddressKind::Elsewhere) {
        // Another site's page: the user's browser's, if anyone's, once the
        // window's own navigation has told a form from a link.
        if (offSite_ == OffSitePages::UsersBrowser) {
            auto* probe = new WindowProbe(this);
            connect(probe, &WindowProbe::asked, this, &WebBrowser::SendOffSite);
            request.openIn(probe);
        }
        return;
    }
    if (kind != AddressKind::Site) {
        // An address that is no web page: said so, never opened. A blank
        // window has nothing to show.
        if (kind != AddressKind::Blank && kind != AddressKind::TooLong && kind != AddressKind::PrivateFile)
            SendOffSite(requested, OffSiteAsk::Page);
        return;
    }
    QObject* target = nullptr;
    bool cancel = false;
    RunHandler([&] { emit NewWindow2(target, cancel); });
    auto* other = qobject_cast<WebBrowser*>(target);
    if (cancel || !other || other == this)
        return;  // refused: no window of our own either
    other->OpenRequestedWindow(requested);
}

void WebBrowser::OpenRequestedWindow(const QUrl& url)
{
    // The requesting page may still be running the script that asks (a loop
    // of window.open, say), and it shares its renderer with this page: load
    // once the requests have settled, and only the last one.
    requestedWindow_ = url;
    requestedWindowTimer_.start();
}

void WebBrowser::onRendererGone(bool carriedOn)
{
    // The page is lost, the browser is not: show an empty page and stay usable.
    // LocationURL keeps the lost page's address until the next navigation.
    recovering_ = true;
    // A page being left: the command goes on, and nothing is shown in its place.
    if (carriedOn)
        return;
    recoveryPageDue_ = true;
    QMetaObject::invokeMethod(this, [self = QPointer<WebBrowser>(this)] {
        if (self)
            self->page_->ShowEmptyPage();
    }, Qt::QueuedConnection);
}

void WebBrowser::syncLocation(const QUrl& url)
{
    // Only the page shown moves the address: before its first commit a load
    // has nothing to say, and the address of a load on its way is no page's.
    if (recovering_ || url.isEmpty() || location_.isEmpty() || !page_->Shows(url))
        return;
    location_ = url.toString();
}

} // namespace vidlatch::platform
