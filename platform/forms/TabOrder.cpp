#include "TabOrder.h"

#include <QApplication>
#include <QWidget>

namespace vidlatch::platform {

QWidget* TabOrder::Owner(QWidget* focused) const
{
    for (QWidget* w = focused; w; w = w->parentWidget()) {
        if (order_.contains(w))
            return w;
    }
    return nullptr;
}

bool TabOrder::Move(bool forward) const
{
    if (order_.isEmpty())
        return false;
    const qsizetype count = order_.size();
    const qsizetype current = order_.indexOf(Owner(QApplication::focusWidget()));
    qsizetype at = current < 0 ? (forward ? count - 1 : 0) : current;
    for (qsizetype step = 0; step < count; ++step) {
        at = (at + (forward ? 1 : count - 1)) % count;
        QWidget* candidate = order_[at];
        if (candidate->isVisible() && candidate->isEnabled()) {
            candidate->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

} // namespace vidlatch::platform
