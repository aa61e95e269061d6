#include "BrowserPage.h"

#include "AddressRule.h"
#include "BrowserProfile.h"
#include "PermissionRefusal.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QWebEngineCertificateError>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineSettings>


namespace vidlatch::platform {
namespace {

// The web engine asks "leave this page?" (a page's beforeunload) through
// javaScriptConfirm, with this text of its own.
bool IsLeaveQuestion(const QString& message)
{
    return message == QCoreApplication::translate(
                          "QWebEnginePage",
                          "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

} // namespace

BrowserPage::BrowserPage(QObject* parent) : QWebEnginePage(BrowserProfile(), parent)
{
    clock_.start();
    // A drop is the view's to judge (WebBrowser): the engine never navigates on its own.
    settings()->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    // No credentials are ever sent that the user has not typed, and this
    // program asks for none: the page shows what the server says without them.
    connect(this, &QWebEnginePage::authenticationRequired, this,
            [](const QUrl&, QAuthenticator* auth) { *auth = QAuthenticator(); });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [](const QUrl&, QAuthenticator* auth, const QString&) { *auth = QAuthenticator(); });
    connect(this, &QWebEnginePage::certificateError, this, [](QWebEngineCertificateError error) {
        error.rejectCertificate();
    });
    // Location, notifications, camera, microphone, the screen and the mouse
    // pointer: denied at once, never left pending (with page-guard.js, which
    // answers what the web engine would not).
    RefuseEveryPermission(*this);
    connect(this, &QWebEnginePage::loadingChanged, this, &BrowserPage::OnLoadingChanged);
    connect(this, &QWebEnginePage::urlChanged, this, &BrowserPage::CheckArrival);
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (IsRefusedAddress(url))
        return false;  // not even a frame of it: nothing starts, nothing is watched
    if (!isMainFrame) {
        if (!MayRequest(url))
            return false;  // another site's frame, or no web page: it stays empty
        CheckArrival();  // the page of a frame has committed
    } else if (ownPageDue_ && url.scheme() == QLatin1String("data")) {
        ownPageDue_ = false;
    } else if (!MayShowInMainFrame(url)) {
        // Neither another site's page nor content a page made itself (data:,
        // blob:, view-source:, file:) is shown here, however it was reached.
        const OffSiteAsk ask = type == NavigationTypeFormSubmitted ? OffSiteAsk::Form
                               : type == NavigationTypeRedirect  ? OffSiteAsk::Redirect
                                                                 : OffSiteAsk::Page;
        emit elsewhereAsked(url, ask);
        return false;
    }
    if (isMainFrame) {
        if (type != NavigationTypeRedirect)
            actions_.On(UserActions::Event::PageNavigates);
        arrivals_.Expect(url);
    }
    emit navigationStarting(url, isMainFrame, type == NavigationTypeRedirect);
    return true;
}

void BrowserPage::ShowEmptyPage()
{
    ownPageDue_ = true;
    setHtml(QString());
}

void BrowserPage::OnLoadingChanged(const QWebEngineLoadingInfo& loading)
{
    using End = PageArrivals::End;
    if (loading.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        arrivals_.Expect(loading.url());  // the blank page of a new window is never asked for
        return;
    }
    CheckArrival();
    std::optional<QUrl> arrived;
    switch (loading.status()) {
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        arrived = arrivals_.Ended(loading.url(), End::Succeeded);
        break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        // An error page is a page shown; a navigation that just ended is not.
        arrived = arrivals_.Ended(loading.url(), loading.isErrorPage() ? End::FailedWithErrorPage : End::Failed);
        break;
    default:  // stopped, cancelled, no content, a download: the page shown stays
        arrived = arrivals_.Ended(loading.url(), End::Stopped);
        break;
    }
    if (arrived)
        Commit(*arrived);
}

void BrowserPage::CheckArrival()
{
    // The engine shows the address of a load it was given (by the program: a
    // drop, a requested window, a button) before the document commits, and
    // even one that is redirected or never arrives. An expected navigation has
    // arrived when the history moved to it; any other move is the same
    // document moving (a fragment, history.pushState).
    const QWebEngineHistory* shown = history();
    HistoryPlace place{shown->count(), shown->currentItemIndex(), shown->currentItem().url()};
    if (place == place_)
        return;
    place_ = std::move(place);
    if (const std::optional<QUrl> arrived = arrivals_.AddressChanged(place_.url))
        Commit(*arrived);
}

bool BrowserPage::Shows(const QUrl& url) const
{
    return history()->currentItem().url() == url;
}

void BrowserPage::Commit(const QUrl& url)
{
    if (windows_.refused())
        settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    dialogs_.Reset();
    windows_.Reset();
    actions_.On(UserActions::Event::NewDocument);
    emit committed(url);
}

bool BrowserPage::MayShowDialog(bool leaveQuestion)
{
    // Only a document that has committed runs script: one whose arrival the
    // engine has yet to report gets its own allowance now, before it is
    // counted, not after its first dialogs (which would renew it).
    CheckArrival();
    if (!leaveQuestion)
        emit dialogAsked();
    return !silent_ && dialogs_.Allow(clock_.elapsed());
}

bool BrowserPage::MayOpenWindow()
{
    CheckArrival();  // as for a dialog
    if (windows_.refused())
        return true;  // only a click of the user's gets this far now
    const bool allowed = windows_.Allow(clock_.elapsed());
    if (!allowed)
        settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    return allowed;
}

template <typename Show>
auto BrowserPage::ShowDialog(Show show)
{
    emit dialogShowing(true);
    const auto answer = show();
    dialogs_.Mark(clock_.elapsed());
    emit dialogShowing(false);
    return answer;
}

void BrowserPage::javaScriptAlert(const QUrl& origin, const QString& message)
{
    if (MayShowDialog())
        ShowDialog([&] { QWebEnginePage::javaScriptAlert(origin, message); return true; });
}

bool BrowserPage::javaScriptConfirm(const QUrl& origin, const QString& message)
{
    // A page the browser will not ask about is left, never a trap: refusing
    // the leave question would keep the user on it.
    const bool leaveQuestion = IsLeaveQuestion(message);
    if (!MayShowDialog(leaveQuestion))
        return leaveQuestion;
    return ShowDialog([&] { return QWebEnginePage::javaScriptConfirm(origin, message); });
}

bool BrowserPage::javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                                   QString* result)
{
    if (!MayShowDialog())
        return false;
    return ShowDialog([&] { return QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result); });
}

QStringList BrowserPage::chooseFiles(FileSelectionMode, const QStringList&, const QStringList&)
{
    return {};  // nothing in this program uploads files: no chooser, and nothing of it kept
}

} // namespace vidlatch::platform
