#pragma once

#include "LeaveGuard.h"
#include "RendererProcess.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

namespace vidlatch::platform {

class BrowserPage;

// Leaving a browser's page under the leave guard: the guard, its clock and
// ticks, the page's renderer to end when the page does not answer, and the
// command to repeat once it is ended. No command is dropped: one whose page
// could not be ended is given again, and watched again.
class LeaveWatch : public QObject {
    Q_OBJECT

public:
    LeaveWatch(BrowserPage* page, QObject* parent, const RendererProcess::System& system = RendererProcess::Kernel);

    // Starts leaving the page shown; `go` carries out the command.
    void Leave(std::function<void()> go);

signals:
    // The page's renderer died (not a normal end). `carriedOn` when the page
    // was being left: the command is then carried out again, from the event
    // loop, and nothing need be shown in the page's place.
    void rendererGone(bool carriedOn);

private:
    bool CarryOn();
    void Tick();
    void EndStuckPage();

    BrowserPage* page_;
    LeaveGuard guard_;
    QElapsedTimer clock_;
    QTimer ticks_;
    std::function<void()> leave_;
    bool retry_ = false;  // the renderer was ended for the command, and its end is still to be told
    int question_ = 0;    // which question the page answers
    RendererProcess renderer_;
};

} // namespace vidlatch::platform
