#pragma once

#include "OffSiteRule.h"

#include <QWebEnginePage>

namespace vidlatch::platform {

// The window a page asked for with another site's page: made only to learn
// how its page is asked for (a form, or a link or script), never shown, and
// gone after its first navigation, which it refuses. A request for a new
// window says nothing of a form: one sent to another site in a new window
// (target="_blank") would otherwise leave as a link, without its fields.
class WindowProbe : public QWebEnginePage {
    Q_OBJECT

public:
    explicit WindowProbe(QObject* parent);

signals:
    void asked(const QUrl& url, OffSiteAsk ask);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    // Tells how the window's page was asked for, once; then the window goes.
    void Tell(const QUrl& url, OffSiteAsk ask);

    bool told_ = false;
};

} // namespace vidlatch::platform
