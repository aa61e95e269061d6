#pragma once

#include <QRect>
#include <QString>

#include <initializer_list>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace vidlatch::platform {
class FormLabel;
}

namespace vidlatch::ui {

// The standard controls of our forms, placed in device-independent pixels.
QGroupBox* MakeFrame(QWidget* container, const QString& caption, const QRect& place);
QPushButton* MakeButton(QWidget* container, const QString& caption, const QRect& place);
QLineEdit* MakeTextBox(QWidget* container, const QRect& place);
platform::FormLabel* MakeLabel(QWidget* container, const QRect& place, bool autoSize,
                               Qt::Alignment alignment = Qt::AlignLeft);

// Controls of one container, the first on top of the rest.
void StackTopFirst(std::initializer_list<QWidget*> topFirst);

void CentreOnScreen(QWidget* window);

} // namespace vidlatch::ui
