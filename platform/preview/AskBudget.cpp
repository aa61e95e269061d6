#include "AskBudget.h"

namespace vidlatch::platform {

AskBudget::Turn AskBudget::Arrive(quint64 ask, qint64 bodyBytes)
{
    if (total_ + bodyBytes > HeldBytes)
        return Turn::Never;
    total_ += bodyBytes;
    asks_.insert(ask, {bodyBytes, 0});
    if (running_ < AtOnce) {
        ++running_;
        return Turn::Now;
    }
    waiting_.append(ask);
    return Turn::Later;
}

bool AskBudget::Hold(quint64 ask, qint64 bytes)
{
    const auto it = asks_.find(ask);
    if (it == asks_.end() || waiting_.contains(ask))
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
    total_ -= it->body + it->answer;
    asks_.erase(it);
    if (waiting_.removeOne(ask))
        return {};
    --running_;
    QList<quint64> started;
    while (running_ < AtOnce && !waiting_.isEmpty()) {
        started.append(waiting_.takeFirst());
        ++running_;
    }
    return started;
}

} // namespace vidlatch::platform
