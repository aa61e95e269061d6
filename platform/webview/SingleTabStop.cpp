#include "SingleTabStop.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWebEngineView>

namespace vidlatch::platform {

SingleTabStop::SingleTabStop(QWebEngineView* view) : QObject(view), view_(view)
{
    view_->installEventFilter(this);
    for (QObject* child : view_->children())
        child->installEventFilter(this);
}

bool SingleTabStop::eventFilter(QObject* watched, QEvent* event)
{
    // The widget that takes the keys is made, and made again, by the web engine.
    if (watched == view_) {
        if (event->type() == QEvent::ChildAdded)
            static_cast<QChildEvent*>(event)->child()->installEventFilter(this);
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) ||
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    // Given to the view itself, the key moves the focus along the window's order.
    QKeyEvent moveOn(QEvent::KeyPress, key->key(), key->modifiers());
    QCoreApplication::sendEvent(view_, &moveOn);
    return true;
}

} // namespace vidlatch::platform
