#include "PictureButton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace vidlatch::platform {

PictureButton::PictureButton(const QPixmap& picture, const QString& toolTip, const QCursor& cursor,
                             QWidget* parent)
    : QAbstractButton(parent), picture_(picture)
{
    setToolTip(toolTip);
    setAccessibleName(toolTip);
    setCursor(cursor);
    setFocusPolicy(Qt::TabFocus);
    resize(sizeHint());
    connect(this, &QAbstractButton::clicked, this, &PictureButton::Click);
}

QSize PictureButton::sizeHint() const
{
    return picture_.size() / picture_.devicePixelRatio();
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
    if (hasFocus()) {
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        frame.rect = rect().adjusted(1, 1, -1, -1);
        // Only the keyboard brings the focus here (a click does not take it),
        // so the frame shows whenever the focus is here.
        frame.state |= QStyle::State_KeyboardFocusChange;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
    }
}

void PictureButton::keyPressEvent(QKeyEvent* event)
{
    // Space is the button's own key already; Enter presses it as well, as it
    // does the window's push buttons.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

QCursor HandCursor()
{
    return QCursor(QPixmap(QStringLiteral(":/vidlatch/hand-cursor.png")), 5, 0);
}

} // namespace vidlatch::platform
