#pragma once

#include <QHash>
#include <QList>
#include <QtGlobal>

namespace vidlatch::platform {

// What one page's movie may have the program fetch at once: a few asks at a
// time, as the web engine allows a host, at most MostWaiting waiting their
// turn, and all of them together, under way or waiting, holding no more than
// HeldBytes: what each ask is (AskBytes, its address, headers and body) and
// what has come of each, passed on to the page as it comes, until the page
// has read all of it. Asks are named by numbers of the caller's.
class AskBudget {
public:
    static constexpr int AtOnce = 6;
    static constexpr int MostWaiting = 256;
    static constexpr qint64 HeldBytes = qint64{64} << 20;
    // What an ask costs besides the bytes it carries: the request and the
    // fetch that serve it.
    static constexpr qint64 AskBytes = 16 << 10;

    enum class Turn {
        Now,    // it starts
        Later,  // it waits until End names it
        Never,  // it does not fit what the page's asks hold already, or the queue is full
    };
    // A new ask whose address, headers and body come to `bytes`.
    [[nodiscard]] Turn Arrive(quint64 ask, qint64 bytes);
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
        qint64 ask = 0;
        qint64 answer = 0;  // what has come, while started
        bool waiting = false;
    };
    QHash<quint64, Held> asks_;  // started or waiting
    int running_ = 0;
    QList<quint64> waiting_;     // oldest first
    qint64 total_ = 0;
};

} // namespace vidlatch::platform
