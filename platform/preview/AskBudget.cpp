#include "AskBudget.h"

namespace vidlatch::platform {

AskBudget::Turn AskBudget::Arrive(quint64 ask, qint64 bytes)
{
    const qint64 cost = AskBytes + bytes;
    const bool now = running_ < AtOnce;
    if (total_ + cost > HeldBytes || (!now && waiting_.size() >= MostWaiting))
        return Turn::Never;
    total_ += cost;
    asks_.insert(ask, {cost, 0, !now});
    if (now) {
        ++running_;
        return Turn::Now;
    }
    waiting_.append(ask);
    return Turn::Later;
}

bool AskBudget::Hold(quint64 ask, qint64 bytes)
{
    const auto it = asks_.find(ask);
    if (it == asks_.end() || it->waiting)
        return false;
    if (total_ - it->answer + bytes > HeldBytes)
        return false;
    total_ += bytes - it->answer;
    it->answer = bytes;
    return true;
}

QList<quint64> AskBudget::End(quint64 ask)
{
    const auto it = asks_.find(ask);
    if (it == asks_.end())
        return {};
    total_ -= it->ask + it->answer;
    const bool waited = it->waiting;
    asks_.erase(it);
    if (waited) {
        waiting_.removeOne(ask);
        return {};
    }
    --running_;
    QList<quint64> started;
    while (running_ < AtOnce && !waiting_.isEmpty()) {
        started.append(waiting_.takeFirst());
        asks_[started.last()].waiting = false;
        ++running_;
    }
    return started;
}

} // namespace vidlatch::platform
