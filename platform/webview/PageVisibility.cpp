#include "PageVisibility.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWindow>

#include <xcb/xcb.h>

namespace vidlatch::platform {
namespace {

// Asks the X server to tell `window` when it is covered or uncovered; the
// events Qt already asks for are kept.
void WatchCovering(QWindow* window)
{
    // Wayland and others say nothing of covering; offscreen offers the X11
    // interface with no connection behind it.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !x11 || !x11->connection())
        return;
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, id), nullptr);
    if (!attributes)
        return;
    const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_VISIBILITY_CHANGE;
    free(attributes);
    xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
}

} // namespace

PageVisibility::PageVisibility(QWebEngineView* view) : QObject(view), view_(view)
{
    view_->installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

PageVisibility::~PageVisibility()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

void PageVisibility::Follow(QWindow* window)
{
    if (window == window_)
        return;
    if (window_)
        window_->removeEventFilter(this);
    window_ = window;
    obscured_ = false;
    unmapped_ = false;
    if (window_) {
        window_->installEventFilter(this);
        WatchCovering(window_);
    }
}

bool PageVisibility::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ParentChange:
        if (watched == view_) {
            if (QWidget* top = view_->window(); top->windowHandle())
                Follow(top->windowHandle());
            // After the view's own show and hide, which set the page's visibility too.
            QMetaObject::invokeMethod(this, &PageVisibility::Update, Qt::QueuedConnection);
        }
        break;
    case QEvent::WindowStateChange:
        if (watched == window_)
            Update();
        break;
    default:
        break;
    }
    return false;
}

bool PageVisibility::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (!window_ || eventType != "xcb_generic_event_t")
        return false;
    const auto id = static_cast<xcb_window_t>(window_->winId());
    switch (static_cast<const xcb_generic_event_t*>(message)->response_type & 0x7f) {
    case XCB_VISIBILITY_NOTIFY:
        if (const auto* event = static_cast<const xcb_visibility_notify_event_t*>(message); event->window == id) {
            obscured_ = event->state == XCB_VISIBILITY_FULLY_OBSCURED;
            Update();
        }
        break;
    // A window manager unmaps what it minimises or puts on another workspace.
    case XCB_UNMAP_NOTIFY:
        if (const auto* event = static_cast<const xcb_unmap_notify_event_t*>(message); event->window == id) {
            unmapped_ = true;
            Update();
        }
        break;
    case XCB_MAP_NOTIFY:
        if (const auto* event = static_cast<const xcb_map_notify_event_t*>(message); event->window == id) {
            unmapped_ = false;
            Update();
        }
        break;
    default:
        break;
    }
    return false;
}

void PageVisibility::Update()
{
    // Only what this hid is shown again here: the view's own show and hide
    // look after the rest.
    const bool hide = window_ && ((window_->windowStates() & Qt::WindowMinimized) || unmapped_ || obscured_);
    QWebEnginePage* page = view_->page();
    if (!page || hide == hidden_)
        return;
    hidden_ = hide;
    if (view_->isVisible())
        page->setVisible(!hide);
}

} // namespace vidlatch::platform
