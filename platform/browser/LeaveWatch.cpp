#include "LeaveWatch.h"

#include "BrowserPage.h"

#include <QPointer>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>

#include <utility>

namespace vidlatch::platform {

LeaveWatch::LeaveWatch(BrowserPage* page, QObject* parent, const RendererProcess::System& system)
    : QObject(parent), page_(page), renderer_(system)
{
    clock_.start();
    ticks_.setInterval(50);
    connect(&ticks_, &QTimer::timeout, this, &LeaveWatch::Tick);
    // Whatever was being left has let go once the load that followed is over,
    // whether a page came or not (stopped, no content, a download).
    connect(page_, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& loading) {
        // The web engine tells a renderer's pid late or not at all: it is
        // surely known once a load has started in it.
        renderer_.Track(page_->renderProcessPid());
        if (loading.status() == QWebEngineLoadingInfo::LoadStartedStatus)
            guard_.LoadStarted();
        else
            guard_.LoadEnded(loading.url());
    });
    connect(page_, &QWebEnginePage::renderProcessPidChanged, this, [this](qint64 pid) {
        renderer_.Track(pid);
        // A new renderer: the end of the one ended before has been told, or
        // the page went on without it. Either way no later crash is ours.
        if (pid > 0)
            retry_ = false;
    });
    connect(page_, &QWebEnginePage::renderProcessTerminated, this, [this](QWebEnginePage::RenderProcessTerminationStatus status) {
        if (status != QWebEnginePage::NormalTerminationStatus)
            emit rendererGone(CarryOn());
    });
    // The user, not the page, holds up a page that shows a dialog.
    connect(page_, &BrowserPage::dialogShowing, this, [this](bool showing) { guard_.Paused(showing, clock_.elapsed()); });
}

void LeaveWatch::Leave(std::function<void()> go)
{
    leave_ = std::move(go);
    // Before its first page a browser has nothing that could hold it, only a
    // renderer that may still be starting (slowly, on a busy machine): it
    // would be taken for a stuck page.
    if (page_->history()->count() > 0) {
        guard_.Leaving(clock_.elapsed(), page_->url());
        ticks_.start();
    }
    leave_();
}

bool LeaveWatch::CarryOn()
{
    // A renderer lost while its page was being left (ended by us, or by the
    // other browser that shares it) leaves the way free: go as asked.
    if (!std::exchange(retry_, false) && !guard_.active())
        return false;
    guard_.LetGo();
    QMetaObject::invokeMethod(this, [self = QPointer<LeaveWatch>(this)] {
        if (self && self->leave_)
            self->Leave(self->leave_);
    }, Qt::QueuedConnection);
    return true;
}

void LeaveWatch::Tick()
{
    switch (guard_.Tick(clock_.elapsed())) {
    case LeaveGuard::Action::AskPage:
        // A page stuck in a loop answers nothing, not even this.
        page_->runJavaScript(QStringLiteral("0"), [self = QPointer<LeaveWatch>(this), asked = ++question_](const QVariant&) {
            if (self && asked == self->question_)
                self->guard_.Answered(self->clock_.elapsed());
        });
        break;
    case LeaveGuard::Action::EndRenderer:
        EndStuckPage();
        break;
    case LeaveGuard::Action::Wait:
        break;
    }
    if (!guard_.active())
        ticks_.stop();
}

void LeaveWatch::EndStuckPage()
{
    // A page that went to work before its load said anything of its renderer
    // is only known to the page itself now.
    renderer_.Track(page_->renderProcessPid());
    // Gone already (the other browser may share the renderer and have ended
    // it first) is as good as ended: the command is carried out either way.
    if (renderer_.End()) {
        retry_ = true;
        return;
    }
    // Not ended (its renderer not yet known): the command is given again and
    // watched again, never dropped.
    Leave(leave_);
}

} // namespace vidlatch::platform
