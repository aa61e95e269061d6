#include "FormTimer.h"

#include "FormRuntime.h"

namespace vidlatch::platform {

FormTimer::FormTimer(QObject* parent) : QObject(parent)
{
    connect(&timer_, &QTimer::timeout, this, [this] {
        // A tick whose handler is still running (behind a notice it shows)
        // is not raised again on top of it.
        if (inTick_)
            return;
        inTick_ = true;
        RunHandler([this] { emit Timer(); });
        inTick_ = false;
    });
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
