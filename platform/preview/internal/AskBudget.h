#pragma once

#include <QHash>
#include <QList>
#include <QtGlobal>

namespace vidlatch::platform {

// What one page's movie may have the program fetch at once: a few asks at a
// time, as the web engine allows a host, the rest waiting their turn, and
// all of them together holding no more than HeldBytes in the program (what
// has come of each, then its answer until the page has read it). Asks are
// named by numbers of the caller's.
class AskBudget {
public:
    static constexpr int AtOnce = 6;
    static constexpr qint64 HeldBytes = qint64{64} << 20;

    // A new ask: whether it starts now; else it waits until End names it.
    [[nodiscard]] bool Arrive(quint64 ask);
    // `ask`, started, holds `bytes` now: false where the page's asks would
    // together hold more than HeldBytes (then the ask is to end, and End it).
    [[nodiscard]] bool Hold(quint64 ask, qint64 bytes);
    // `ask` ended (its answer read, failed, cut short or abandoned, started
    // or waiting): the asks that start now, oldest first.
    [[nodiscard]] QList<quint64> End(quint64 ask);

    qint64 held() const { return total_; }

private:
    QHash<quint64, qint64> running_;  // started, and what each holds
    QList<quint64> waiting_;          // oldest first
    qint64 total_ = 0;
};

} // namespace vidlatch::platform
