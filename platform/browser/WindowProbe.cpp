#include "WindowProbe.h"

#include "BrowserProfile.h"

#include <utility>

namespace vidlatch::platform {

WindowProbe::WindowProbe(QObject* parent) : QWebEnginePage(BrowserProfile(), parent) {}

bool WindowProbe::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (isMainFrame && !std::exchange(told_, true)) {
        emit asked(url, type == NavigationTypeFormSubmitted ? OffSiteAsk::Form : OffSiteAsk::Page);
        deleteLater();
    }
    return false;
}

} // namespace vidlatch::platform
