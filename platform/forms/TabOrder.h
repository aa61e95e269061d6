#pragma once

#include <QList>

class QWidget;

namespace vidlatch::platform {

// A form's focus order for the Tab key, kept by the form itself: embedded
// web views create their focus widgets late and would otherwise land
// anywhere in Qt's focus chain.
class TabOrder {
public:
    TabOrder() = default;
    explicit TabOrder(QList<QWidget*> order) : order_(std::move(order)) {}

    // Moves the focus to the next (or previous) control that can take it now;
    // false when none can.
    bool Move(bool forward) const;
    // The control of the order that holds `focused` (itself or a widget inside it).
    QWidget* Owner(QWidget* focused) const;

private:
    QList<QWidget*> order_;
};

} // namespace vidlatch::platform
