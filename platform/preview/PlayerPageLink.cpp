#include "PlayerPageLink.h"

#include "PermissionRefusal.h"
#include "RuleClock.h"

#include <QJsonDocument>
#include <QPointer>
#include <QStringList>
#include <QWebEnginePage>
#include <QWebEngineSettings>

#include <array>
#include <utility>

namespace vidlatch::platform {
namespace {

constexpr QLatin1StringView ReportPrefix("vidlatch:");

struct ReportName {
    QLatin1StringView name;
    PlayerPageLink::Report report;
};
constexpr std::array ReportNames{
    ReportName{QLatin1StringView("ready"), PlayerPageLink::Report::Ready},
    ReportName{QLatin1StringView("shown"), PlayerPageLink::Report::Shown},
    ReportName{QLatin1StringView("failed"), PlayerPageLink::Report::Failed},
    ReportName{QLatin1StringView("panic"), PlayerPageLink::Report::Panic},
    ReportName{QLatin1StringView("panic-staged"), PlayerPageLink::Report::StagedPanic},
};

// The player page: it never leaves the player, whatever a movie or the
// player asks (the page we build is the only navigation it takes; windows
// are refused as no createWindow is given), asks for no device and for no
// file (a movie may ask to browse the user's files: no chooser opens), and
// writes no console output: the program logs nothing.
class PlayerWebPage : public QWebEnginePage {
public:
    PlayerWebPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent)
    {
        RefuseEveryPermission(*this);
        // A movie's sound plays as it would in the Flash player, without a click first.
        settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        return isMainFrame && url.scheme() == QLatin1String("data");  // what setHtml loads
    }
    QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override { return {}; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}
};

} // namespace

PlayerPageLink::PlayerPageLink(QWebEngineProfile* profile, QObject* parent)
    : QObject(parent), profile_(profile), answerWatch_(new RuleClock("answer", AnswerMs, true, this)),
      heartbeat_(new RuleClock("heartbeat", AnswerMs / 2, false, this))
{
    connect(answerWatch_, &RuleClock::ranOut, this, [this] {
        if (owed_ > 0)
            answerWatch_->start();
        emit answerOverdue();
    });
    connect(heartbeat_, &RuleClock::ranOut, this, [this] {
        if (owed_ == 0)
            Send(QStringLiteral("0"), {});
    });
}

// Nothing the page says while it is destroyed reaches a link going too.
PlayerPageLink::~PlayerPageLink()
{
    if (page_)
        page_->disconnect(this);
    delete page_;
}

void PlayerPageLink::Renew()
{
    QWebEnginePage* old = std::exchange(page_, new PlayerWebPage(profile_, this));
    ++build_;
    ForgetCalls();
    connect(page_, &QWebEnginePage::renderProcessPidChanged, this, [this](qint64 pid) { renderer_.Track(pid); });
    connect(page_, &QWebEnginePage::renderProcessTerminated, this, [this] {
        ForgetCalls();
        emit rendererGone();
    });
    connect(page_, &QWebEnginePage::titleChanged, this, &PlayerPageLink::OnTitle);
    connect(page_, &QWebEnginePage::visibleChanged, this, &PlayerPageLink::seen);
    connect(page_, &QWebEnginePage::loadProgress, this, [this](int percent) {
        if (percent < 100)  // a load's end, which may come after the hand-over, is no work to wait for
            ++loadSteps_;
    });
    emit replaced(page_);
    delete old;
}

void PlayerPageLink::Build(const std::function<QString(int build)>& html, const QUrl& origin)
{
    ++build_;
    ForgetCalls();
    page_->setHtml(html(build_), origin);
}

void PlayerPageLink::Call(const char* function, const QJsonObject& argument,
                          std::function<void(const QVariant&)> answered)
{
    // JSON data, never script text; what the function returns comes back
    // in a list, so that an undefined result or a throw is still an answer.
    Send(QStringLiteral("(() => { try { return [window.%1(%2)]; } catch (e) { return [null]; } })()")
             .arg(QLatin1String(function), QString::fromUtf8(QJsonDocument(argument).toJson(QJsonDocument::Compact))),
         std::move(answered));
}

void PlayerPageLink::Send(const QString& script, std::function<void(const QVariant&)> answered)
{
    if (owed_++ == 0)
        answerWatch_->start();
    page_->runJavaScript(script, [self = QPointer<PlayerPageLink>(this), build = build_,
                                  answered = std::move(answered)](const QVariant& result) {
        // Qt answers what is still pending with nothing while it destroys a
        // page: that page is going, and nothing of it may be used.
        if (!self || build != self->build_ || !result.isValid())
            return;
        // Alive; the calls still owed get their full time from now.
        if (--self->owed_ == 0)
            self->answerWatch_->stop();
        else
            self->answerWatch_->start();
        emit self->answered();
        if (answered)
            answered(result.toList().value(0));
    });
}

void PlayerPageLink::SetWatched(bool watched)
{
    if (!watched)
        heartbeat_->stop();
    else if (!heartbeat_->isActive())
        heartbeat_->start();
}

bool PlayerPageLink::EndRenderer()
{
    renderer_.Track(page_->renderProcessPid());
    return renderer_.End();  // its end is reported as any renderer's
}

void PlayerPageLink::MarkWork()
{
    renderer_.Track(page_->renderProcessPid());
    workMark_ = {page_->renderProcessPid(), renderer_.Demand(), loadSteps_, {}};
    workMark_.since.start();
}

bool PlayerPageLink::WorkedSinceMark() const
{
    // A document that comes on is at work, if only waiting for what it loads.
    if (loadSteps_ != workMark_.loadSteps)
        return true;
    const std::optional<quint64> demand = renderer_.Demand();
    if (!demand || page_->renderProcessPid() != renderer_.Pid())
        return false;
    // A renderer started since the mark (a page renewed) did all its work since.
    const quint64 atMark = renderer_.Pid() == workMark_.pid && workMark_.demand ? *workMark_.demand : 0;
    const qint64 elapsed = workMark_.since.nsecsElapsed();
    return elapsed > 0 && *demand >= atMark && (*demand - atMark) * 2 >= static_cast<quint64>(elapsed);
}

void PlayerPageLink::ForgetCalls()
{
    owed_ = 0;
    answerWatch_->stop();
}

void PlayerPageLink::OnTitle(const QString& title)
{
    if (!title.startsWith(ReportPrefix))
        return;
    const QStringList parts = title.sliced(ReportPrefix.size()).split(u':');
    if (parts.size() != 3 || parts[0] != QString::number(build_))
        return;
    for (const ReportName& known : ReportNames) {
        if (parts[1] == known.name)
            emit reported(known.report, parts[2].toInt());
    }
}

} // namespace vidlatch::platform
