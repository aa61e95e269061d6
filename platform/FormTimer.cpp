#include "FormTimer.h"

#include "FormRuntime.h"

namespace vidlatch::platform {

FormTimer::FormTimer(QObject* parent) : QObject(parent)
{
    connect(&timer_, &QTimer::timeout, this, Guarded([this] { emit Timer(); }));
}

void FormTimer::setInterval(int milliseconds)
{
    interval_ = milliseconds;
    Restart();
}

void FormTimer::setEnabled(bool enabled)
{
    enabled_ = enabled;
    Restart();
}

void FormTimer::Restart()
{
    // An interval of 0 stops the timer, as does disabling it; either change
    // starts the count afresh.
    timer_.stop();
    if (enabled_ && interval_ > 0)
        timer_.start(interval_);
}

} // namespace vidlatch::platform
