#pragma once

#include <QObject>
#include <QTimer>

namespace vidlatch::platform {

// A timer as the forms know it: an interval in milliseconds, an enabled
// state, and one tick event every interval while enabled.
class FormTimer : public QObject {
    Q_OBJECT

public:
    explicit FormTimer(QObject* parent = nullptr);

    void setInterval(int milliseconds);
    int Interval() const { return interval_; }
    void setEnabled(bool enabled);
    bool Enabled() const { return enabled_; }

signals:
    void Timer();

private:
    void Restart();

    QTimer timer_;
    int interval_ = 0;
    bool enabled_ = true;
    bool inTick_ = false;
};

} // namespace vidlatch::platform
