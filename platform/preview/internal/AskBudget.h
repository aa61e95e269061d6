#pragma once

#include <QHash>
#include <QList>
#include <QtGlobal>

namespace vidlatch::platform {

// What one page's movie may have the program fetch at once: a few asks at a
// time, as the web engine allows a host, the rest waiting their turn, and
// all of them together holding no more than HeldBytes (the body each sends,
// and what has come of each, passed on to the page as it comes, until the
// page has read all of it). Asks are named by numbers of the caller's.
class AskBudget {
public:
    static constexpr int AtOnce = 6;
    static constexpr qint64 HeldBytes = qint64{64} << 20;

    enum class Turn {
        Now,    // it starts
        Later,  // it waits until End names it
        Never,  // its body does not fit what the page's asks hold already
    };
    // A new ask sending `bodyBytes`.
    [[nodiscard]] Turn Arrive(quint64 ask, qint64 bodyBytes);
    // `ask`, started, has `bytes` come now (or its whole answer): false where
    // the page's asks would together hold more than HeldBytes (then the ask
    // is to end, and End it).
    [[nodiscard]] bool Hold(quint64 ask, qint64 bytes);
    // `ask` ended (its answer read, failed, cut short or abandoned, started
    // or waiting): the asks that start now, oldest first.
    [[nodiscard]] QList<quint64> End(quint64 ask);

    qint64 held() const { return total_; }

private:
    struct Held {
        qint64 body = 0;
        qint64 answer = 0;  // what has come, while started
    };
    QHash<quint64, Held> asks_;  // started or waiting
    int running_ = 0;
    QList<quint64> waiting_;     // oldest first
    qint64 total_ = 0;
};

} // namespace vidlatch::platform
