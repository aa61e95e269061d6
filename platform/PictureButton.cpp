#include "PictureButton.h"

#include <QMouseEvent>

namespace vidlatch::platform {

PictureButton::PictureButton(const QPixmap& picture, const QString& toolTip, const QCursor& cursor,
                             QWidget* parent)
    : QLabel(parent)
{
    setPixmap(picture);
    setFrameShape(QFrame::NoFrame);
    setToolTip(toolTip);
    setCursor(cursor);
    setFocusPolicy(Qt::TabFocus);
    resize(picture.size() / picture.devicePixelRatio());
}

void PictureButton::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit Click();
}

QCursor HandCursor()
{
    return QCursor(QPixmap(QStringLiteral(":/vidlatch/hand-cursor.png")), 5, 0);
}

} // namespace vidlatch::platform
