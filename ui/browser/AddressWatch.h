#pragma once

#include "Notice.h"

#include <QPoint>
#include <QString>

#include <functional>

class QWidget;

namespace vidlatch::ui {

// What the watch says when browser `browser` (1 or 2) begins a download: the
// status caption, and whether the fetch button is shaken. `field` is the
// address field as it stands before the watch refreshes it; `location` is the
// browser's address (looked at for browser 2 only).
struct WatchVerdict {
    QString caption;
    bool shake;
};
[[nodiscard]] WatchVerdict Watch(int browser, const QString& field, const QString& location);

// The validity check's notice for the address field: text and style.
struct ValidityNotice {
    QString text;
    NoticeStyle style;
};
[[nodiscard]] ValidityNotice CheckValidity(const QString& field);

// A control's Left and Top in twips as single-precision numbers, as the shake
// reads and writes them; each write moves the control on screen at once.
class ControlPosition {
public:
    explicit ControlPosition(QWidget* control);

    float Left() const { return left_; }
    float Top() const { return top_; }
    void setLeft(float twips);
    void setTop(float twips);
    // Where Left and Top put the control, in pixels of its container.
    QPoint Pixels() const;
    QWidget* control() const { return control_; }

    // Sees every write, for tests and measurements: 'L' or 'T' and the value.
    std::function<void(char, float)> onWrite;

private:
    void Move();

    QWidget* control_;
    float left_;
    float top_;
};

// The attention shake: 300 cycles of down, back, up, back, right, back, left,
// back by 100 twips, back to back, without yielding to the event loop. It
// takes about a millisecond; AttentionJiggle shows it to the eye.
void Shake(ControlPosition& button);

} // namespace vidlatch::ui
