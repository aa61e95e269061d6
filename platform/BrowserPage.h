#pragma once

#include <QElapsedTimer>
#include <QWebEnginePage>

namespace vidlatch::platform {

// A page of our embedded browser: reports the navigations it starts, keeps
// every dialog of the page's own off the screen when silent, and never lets a
// page trap the user with its dialogs.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT

public:
    explicit BrowserPage(QObject* parent = nullptr);

    void setSilent(bool silent) { silent_ = silent; }
    bool silent() const { return silent_; }

    // Dialogs a page may show in a row, each within FloodGapMs of the one
    // before, before the rest are refused quietly until the page is left.
    static constexpr int FloodDialogs = 3;
    static constexpr qint64 FloodGapMs = 5000;
    // Windows a page may ask for in a row, each within WindowGapMs of the one
    // before; after that only a click of the user's opens one, until the page
    // is left. The web engine then refuses the rest before it builds anything
    // for them, so a storm of requests costs nothing.
    static constexpr int FloodWindows = 20;
    static constexpr qint64 WindowGapMs = 1000;

    // Whether the page's request for a new window may go on; counts it.
    bool MayOpenWindow();
    // The page has flooded the user with dialogs or windows.
    bool flooding() const { return dialogs_.refused || windows_.refused; }

signals:
    // The page's script asked for a dialog (the leave question aside).
    void dialogAsked();
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
    // Counts what a page asks for in a row, each within `gapMs` of the one
    // before; past `limit`, the rest is refused until the page is left.
    struct Flood {
        Flood(int limit, qint64 gapMs) : limit(limit), gapMs(gapMs) {}
        int limit;
        qint64 gapMs;
        int inRow = 0;
        bool refused = false;
        QElapsedTimer sinceLast;

        // Counts one more; false once the limit is passed.
        bool Allow()
        {
            if (refused)
                return false;
            if (sinceLast.isValid() && sinceLast.elapsed() > gapMs)
                inRow = 0;  // a pause: no flood
            refused = ++inRow > limit;
            return !refused;
        }
        void Reset() { inRow = 0; refused = false; }
    };

    // Whether the page's next dialog may be shown; counts it if so.
    bool MayShowDialog(bool leaveQuestion = false);
    void DialogClosed() { dialogs_.sinceLast.start(); }

    bool silent_ = false;
    Flood dialogs_{FloodDialogs, FloodGapMs};  // the gap runs from the last one closed
    Flood windows_{FloodWindows, WindowGapMs};
};

} // namespace vidlatch::platform
