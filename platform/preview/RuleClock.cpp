#include "RuleClock.h"

namespace vidlatch::platform {

RuleClock::RuleClock(const char* rule, int milliseconds, bool singleShot, QObject* owner)
    : QObject(owner), singleShot_(singleShot)
{
    setObjectName(QLatin1String(rule));
    timer_.setInterval(milliseconds);
    connect(&timer_, &QTimer::timeout, this, &RuleClock::RunOut);
}

void RuleClock::start()
{
    active_ = true;
    if (!driven_)
        timer_.start();
}

void RuleClock::stop()
{
    active_ = false;
    timer_.stop();
}

void RuleClock::Drive(bool driven)
{
    driven_ = driven;
    if (driven || !active_)
        timer_.stop();
    else
        timer_.start();
}

bool RuleClock::RunOut()
{
    if (!active_)
        return false;
    if (singleShot_)
        stop();
    else if (!driven_)
        timer_.start();  // a whole interval from now, however late this tick came
    emit ranOut();
    return true;
}

} // namespace vidlatch::platform
