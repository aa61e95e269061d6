#pragma once

#include <QLabel>

namespace vidlatch::platform {

// A borderless picture that acts as a button: it shows its picture at its
// own size, a tool tip and a hand cursor, and reports a click.
class PictureButton : public QLabel {
    Q_OBJECT

public:
    PictureButton(const QPixmap& picture, const QString& toolTip, const QCursor& cursor, QWidget* parent);

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

// The 32 x 32 pointing hand, hot spot at the fingertip (5, 0).
QCursor HandCursor();

} // namespace vidlatch::platform
