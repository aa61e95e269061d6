#include "StatusBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

namespace vidlatch::platform {

StatusBar::StatusBar(int height, int panelCount, QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("statusBar"));
    setFixedHeight(height);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    for (int i = 0; i < panelCount; ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("statusPanel"));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        layout->addWidget(panel, 1);
        panels_.append(panel);
    }
    parent->installEventFilter(this);
    Align();
}

bool StatusBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        Align();
    return QFrame::eventFilter(watched, event);
}

void StatusBar::Align()
{
    const QWidget* window = parentWidget();
    setGeometry(0, window->height() - height(), window->width(), height());
}

} // namespace vidlatch::platform
