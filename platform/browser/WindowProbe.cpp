#include "WindowProbe.h"

#include "BrowserProfile.h"

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEngineNavigationRequest>
#endif

#include <utility>

namespace vidlatch::platform {

WindowProbe::WindowProbe(QObject* parent) : QWebEnginePage(BrowserProfile(), parent)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Qt 6.8 no longer calls a new window's form a form by its type, but
    // tells the data it carries.
    connect(this, &QWebEnginePage::navigationRequested, this, [this](QWebEngineNavigationRequest& request) {
        request.reject();
        const bool form = request.hasFormData() ||
                          request.navigationType() == QWebEngineNavigationRequest::FormSubmittedNavigation;
        Tell(request.url(), form ? OffSiteAsk::Form : OffSiteAsk::Page);
    });
#endif
}

bool WindowProbe::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (!isMainFrame)
        return false;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    Q_UNUSED(url);
    Q_UNUSED(type);
    return true;  // on to navigationRequested, which refuses it
#else
    Tell(url, type == NavigationTypeFormSubmitted ? OffSiteAsk::Form : OffSiteAsk::Page);
    return false;
#endif
}

void WindowProbe::Tell(const QUrl& url, OffSiteAsk ask)
{
    if (std::exchange(told_, true))
        return;
    emit asked(url, ask);
    deleteLater();
}

} // namespace vidlatch::platform
