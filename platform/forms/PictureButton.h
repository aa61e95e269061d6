#pragma once

#include <QAbstractButton>
#include <QIcon>
#include <QPixmap>

namespace vidlatch::platform {

// A borderless picture that acts as a button: it shows its picture at the
// picture's smallest size, drawn from the largest the screen's scale asks
// for, a tool tip and a hand cursor, and reports a click. It is a push
// button to the keyboard (Space and Enter, with a focus frame) and to screen
// readers (named by its tool tip, pressed through the press action).
class PictureButton : public QAbstractButton {
    Q_OBJECT

public:
    PictureButton(const QIcon& picture, const QString& toolTip, const QCursor& cursor, QWidget* parent);

    QPixmap pixmap() const { return picture_.pixmap(size_); }
    QSize sizeHint() const override;

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QIcon picture_;
    QSize size_;
};

// The 32 x 32 pointing hand, hot spot at the fingertip (5, 0).
QCursor HandCursor();

} // namespace vidlatch::platform
