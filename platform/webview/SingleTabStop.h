#pragma once

#include <QObject>

class QWebEngineView;

namespace vidlatch::platform {

// Makes a web view one stop of its window's Tab order: Tab and Shift+Tab
// pass straight on to the next control. The Flash player keeps every key
// it is given, Tab included, so the focus would never leave the preview.
class SingleTabStop : public QObject {
public:
    explicit SingleTabStop(QWebEngineView* view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWebEngineView* view_;
};

} // namespace vidlatch::platform
