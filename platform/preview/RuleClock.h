#pragma once

#include <QObject>
#include <QTimer>

namespace vidlatch::platform {

// The clock a rule of the preview runs on (a stall, a deadline, an answer
// owed, a movie's start): a timer of the rule's interval, or, for a test,
// one that runs out only when the test says, whatever the machine's speed.
// Each is a child of its owner, named after its rule, so a test finds it.
class RuleClock : public QObject {
    Q_OBJECT

public:
    RuleClock(const char* rule, int milliseconds, bool singleShot, QObject* owner);

    void start();
    void stop();
    bool isActive() const { return active_; }

    // From now on the clock runs out only by RunOut; undriven again, a
    // running clock has its whole interval from then.
    void Drive(bool driven = true);
    // Runs the clock out, as if its interval had passed; false where it
    // does not run.
    bool RunOut();

signals:
    void ranOut();

private:
    QTimer timer_;
    bool singleShot_;
    bool active_ = false;
    bool driven_ = false;
};

} // namespace vidlatch::platform
