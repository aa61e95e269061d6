#include "BrowserPage.h"

#include "BrowserProfile.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QWebEngineCertificateError>
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
    if (IsPrivateFile(url))
        return false;  // not even a frame of it: nothing starts, nothing is watched
    if (isMainFrame && type != NavigationTypeRedirect) {
        // A new page gets the dialogs and windows that the one before forfeited.
        if (windows_.refused)
            settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
        dialogs_.Reset();
        windows_.Reset();
    }
    emit navigationStarting(url, isMainFrame, type == NavigationTypeRedirect);
    return true;
}

bool BrowserPage::MayShowDialog(bool leaveQuestion)
{
    if (!leaveQuestion)
        emit dialogAsked();
    return !silent_ && dialogs_.Allow();
}

bool BrowserPage::MayOpenWindow()
{
    if (windows_.refused)
        return true;  // only a click of the user's gets this far now
    const bool allowed = windows_.Allow();
    windows_.sinceLast.start();
    if (!allowed)
        settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    return allowed;
}

void BrowserPage::javaScriptAlert(const QUrl& origin, const QString& message)
{
    if (!MayShowDialog())
        return;
    QWebEnginePage::javaScriptAlert(origin, message);
    DialogClosed();
}

bool BrowserPage::javaScriptConfirm(const QUrl& origin, const QString& message)
{
    // A page the browser will not ask about is left, never a trap: refusing
    // the leave question would keep the user on it.
    const bool leaveQuestion = IsLeaveQuestion(message);
    if (!MayShowDialog(leaveQuestion))
        return leaveQuestion;
    const bool answer = QWebEnginePage::javaScriptConfirm(origin, message);
    DialogClosed();
    return answer;
}

bool BrowserPage::javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                                   QString* result)
{
    if (!MayShowDialog())
        return false;
    const bool answer = QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
    DialogClosed();
    return answer;
}

QStringList BrowserPage::chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                                     const QStringList& acceptedMimeTypes)
{
    return silent_ ? QStringList() : QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
}

} // namespace vidlatch::platform
