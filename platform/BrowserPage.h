#pragma once

#include <QWebEnginePage>

namespace vidlatch::platform {

// A page of our embedded browser: reports the navigations it starts and,
// when silent, keeps every dialog of the page's own off the screen.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT

public:
    explicit BrowserPage(QObject* parent = nullptr);

    void setSilent(bool silent) { silent_ = silent; }
    bool silent() const { return silent_; }

signals:
    // A navigation was accepted: of the main frame or of a frame inside it.
    // `redirect` is set when it only ends an earlier navigation.
    void navigationStarting(const QUrl& url, bool mainFrame, bool redirect);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptAlert(const QUrl& origin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                          QString* result) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
    // The program logs nothing, the pages' consoles included.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}

private:
    bool silent_ = false;
};

} // namespace vidlatch::platform
