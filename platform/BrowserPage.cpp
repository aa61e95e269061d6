#include "BrowserPage.h"

#include "BrowserProfile.h"

#include <QAuthenticator>
#include <QWebEngineCertificateError>

namespace vidlatch::platform {

BrowserPage::BrowserPage(QObject* parent) : QWebEnginePage(BrowserProfile(), parent)
{
    // A silent browser answers the page's requests for credentials and for
    // certificate exceptions with a quiet no.
    connect(this, &QWebEnginePage::authenticationRequired, this, [this](const QUrl&, QAuthenticator* auth) {
        if (silent_)
            *auth = QAuthenticator();
    });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [this](const QUrl&, QAuthenticator* auth, const QString&) {
                if (silent_)
                    *auth = QAuthenticator();
            });
    connect(this, &QWebEnginePage::certificateError, this, [](QWebEngineCertificateError error) {
        error.rejectCertificate();
    });
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    emit navigationStarting(url, isMainFrame, type == NavigationTypeRedirect);
    return true;
}

void BrowserPage::javaScriptAlert(const QUrl& origin, const QString& message)
{
    if (!silent_)
        QWebEnginePage::javaScriptAlert(origin, message);
}

bool BrowserPage::javaScriptConfirm(const QUrl& origin, const QString& message)
{
    return silent_ ? false : QWebEnginePage::javaScriptConfirm(origin, message);
}

bool BrowserPage::javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                                   QString* result)
{
    return silent_ ? false : QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
}

QStringList BrowserPage::chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                                     const QStringList& acceptedMimeTypes)
{
    return silent_ ? QStringList() : QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
}

} // namespace vidlatch::platform
