#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>

class QWebEnginePage;
class QWebEngineView;
class QWindow;

namespace vidlatch::platform {

// Keeps a web view's page visible only while somebody can see it: the view
// shown, its window neither minimised nor unmapped (another workspace) nor
// fully covered, where the X server says so. A hidden
// page draws nothing and runs no animation frames; shown again it goes on
// where it was.
class PageVisibility : public QObject, public QAbstractNativeEventFilter {
public:
    explicit PageVisibility(QWebEngineView* view);
    ~PageVisibility() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Follow(QWindow* window);
    void Update();

    QWebEngineView* view_;
    QPointer<QWindow> window_;
    // What the X server says of the window: unmapped, fully covered.
    bool unmapped_ = false;
    bool obscured_ = false;
    bool hidden_ = false;  // the page is hidden for what is said above
};

} // namespace vidlatch::platform
