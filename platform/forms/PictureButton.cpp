#include "PictureButton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace vidlatch::platform {

PictureButton::PictureButton(const QIcon& picture, const QString& toolTip, const QCursor& cursor,
                             QWidget* parent)
    : QAbstractButton(parent), picture_(picture)
{
    const QList<QSize> sizes = picture.availableSizes();
    if (!sizes.isEmpty())
        size_ = *std::min_element(sizes.begin(), sizes.end(),
                                  [](QSize a, QSize b) { return a.width() < b.width(); });
    setToolTip(toolTip);
    setAccessibleName(toolTip);
    setCursor(cursor);
    setFocusPolicy(Qt::TabFocus);
    resize(sizeHint());
    connect(this, &QAbstractButton::clicked, this, &PictureButton::Click);
}

QSize PictureButton::sizeHint() const
{
    return size_;
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    picture_.paint(&painter, QRect(QPoint(0, 0), size_));
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
