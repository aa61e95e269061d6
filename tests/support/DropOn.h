#pragma once

#include <QMimeData>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformdrag.h>
#include <qpa/qwindowsysteminterface.h>

namespace vidlatch::test {

// Drags `data` over `target` and drops it there, through the window as the
// platform would; whether the window took it.
inline bool DropOn(QWidget* target, const QMimeData& data)
{
    QWindow* window = target->window()->windowHandle();
    const QPoint at = target->mapTo(target->window(), target->rect().center());
    const QPlatformDragQtResponse drag = QWindowSystemInterface::handleDrag(
        window, &data, at, Qt::CopyAction | Qt::LinkAction, Qt::LeftButton, {});
    const QPlatformDropQtResponse drop = QWindowSystemInterface::handleDrop(
        window, &data, at, Qt::CopyAction | Qt::LinkAction, Qt::LeftButton, {});
    return drag.isAccepted() && drop.isAccepted();
}

} // namespace vidlatch::test
