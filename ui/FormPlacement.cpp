#include "FormPlacement.h"

#include "FormLabel.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <limits>
#include <vector>

namespace vidlatch::ui {

QGroupBox* MakeFrame(QWidget* container, const QString& caption, const QRect& place)
{
    auto* frame = new QGroupBox(caption, container);
    frame->setGeometry(place);
    frame->setFocusPolicy(Qt::NoFocus);
    return frame;
}

QPushButton* MakeButton(QWidget* container, const QString& caption, const QRect& place)
{
    auto* button = new QPushButton(caption, container);
    button->setGeometry(place);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QLineEdit* MakeTextBox(QWidget* container, const QRect& place)
{
    auto* box = new QLineEdit(container);
    box->setGeometry(place);
    box->setMaxLength(std::numeric_limits<int>::max());  // no length limit of our own
    return box;
}

platform::FormLabel* MakeLabel(QWidget* container, const QRect& place, bool autoSize, Qt::Alignment alignment)
{
    auto* label = new platform::FormLabel(autoSize, alignment, container);
    label->setGeometry(place);
    return label;
}

void StackTopFirst(std::initializer_list<QWidget*> topFirst)
{
    const std::vector<QWidget*> controls(topFirst);
    for (auto it = controls.rbegin(); it != controls.rend(); ++it)
        (*it)->raise();
}

void CentreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    window->move(available.center() - QPoint(window->width() / 2, window->height() / 2));
}

} // namespace vidlatch::ui
