#pragma once

#include <QFrame>
#include <QList>

class QLabel;

namespace vidlatch::platform {

// A status bar aligned to its window's bottom edge, as wide as the window,
// with panels that share its width.
class StatusBar : public QFrame {
    Q_OBJECT

public:
    // `height` in pixels; the bar follows its parent's size.
    StatusBar(int height, int panelCount, QWidget* parent);

    QLabel* Panel(int index) const { return panels_.at(index - 1); }  // counted from 1
    int PanelCount() const { return static_cast<int>(panels_.size()); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Align();

    QList<QLabel*> panels_;
};

} // namespace vidlatch::platform
