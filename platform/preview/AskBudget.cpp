#include "AskBudget.h"

namespace vidlatch::platform {

bool AskBudget::Arrive(quint64 ask)
{
    if (running_.size() < AtOnce) {
        running_.insert(ask, 0);
        return true;
    }
    waiting_.append(ask);
    return false;
}

bool AskBudget::Hold(quint64 ask, qint64 bytes)
{
    const auto it = running_.find(ask);
    if (it == running_.end())
        return false;
    if (total_ - *it + bytes > HeldBytes)
        return false;
    total_ += bytes - *it;
    *it = bytes;
    return true;
}

QList<quint64> AskBudget::End(quint64 ask)
{
    if (waiting_.removeOne(ask))
        return {};
    const auto it = running_.find(ask);
    if (it == running_.end())
        return {};
    total_ -= *it;
    running_.erase(it);
    QList<quint64> started;
    while (running_.size() < AtOnce && !waiting_.isEmpty()) {
        const quint64 next = waiting_.takeFirst();
        running_.insert(next, 0);
        started.append(next);
    }
    return started;
}

} // namespace vidlatch::platform
