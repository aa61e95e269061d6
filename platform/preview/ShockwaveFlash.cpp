#include "ShockwaveFlash.h"

#include "MovieFetch.h"
#include "PageVisibility.h"
#include "PlayerPage.h"
#include "PlayerScheme.h"
#include "PreviewCover.h"
#include "PreviewProfile.h"
#include "SingleTabStop.h"

#include <QEvent>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QStringList>
#include <QWebEngineSettings>

namespace vidlatch::platform {
namespace {

// What the page reports, in its title: "vidlatch:<what>:<serial or staged>".
constexpr QLatin1StringView ReportPrefix("vidlatch:");

// The player page: it never leaves the player, whatever a movie or the
// player asks (the page we build is the only navigation it takes; windows
// are refused as no createWindow is given), asks for no device and for no
// file (a movie may ask to browse the user's files: no chooser opens), and
// writes no console output: the program logs nothing.
class PlayerWebPage : public QWebEnginePage {
public:
    PlayerWebPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent)
    {
        connect(this, &QWebEnginePage::featurePermissionRequested, this, [this](const QUrl& origin, Feature feature) {
            setFeaturePermission(origin, feature, PermissionDeniedByUser);
        });
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        return isMainFrame && url.scheme() == QLatin1String("data");  // what setHtml loads
    }
    QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override { return {}; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}
};

QString ReadPageScript(const char* name)
{
    QFile file(QStringLiteral(":/vidlatch/preview/%1").arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The page's own scripts, read once: every page built gets the same.
const QString& PageScripts()
{
    static const QString scripts = QStringLiteral("<script>%1</script><script>%2</script>")
                                       .arg(ReadPageScript("fetch-shim.js"), ReadPageScript("player-page.js"));
    return scripts;
}

// A page function called with JSON data, never with script text.
QString PageCall(const char* function, const QJsonObject& argument)
{
    return QStringLiteral("window.%1(%2)")
        .arg(QLatin1String(function), QString::fromUtf8(QJsonDocument(argument).toJson(QJsonDocument::Compact)));
}

} // namespace

ShockwaveFlash::ShockwaveFlash(QWidget* parent)
    : QWebEngineView(parent), fetch_(new MovieFetch(this)), aheadFetch_(new MovieFetch(this)),
      cover_(new PreviewCover(this))
{
    setContextMenuPolicy(Qt::NoContextMenu);  // Ruffle draws the movie's own menu
    // Nothing dropped goes to the player page; a drop is its window's.
    setAcceptDrops(false);
    setAccessibleName(tr("Flash 预览"));
    new PageVisibility(this);
    new SingleTabStop(this);
    answerWatch_.setSingleShot(true);
    answerWatch_.setInterval(PageAnswerMs);
    connect(&answerWatch_, &QTimer::timeout, this, [this] { On({PreviewMachine::Event::AnswerOverdue}); });
    heartbeat_.setInterval(PageAnswerMs / 2);
    connect(&heartbeat_, &QTimer::timeout, this, [this] {
        if (callsOwed_ == 0)
            CallPage(QStringLiteral("0"));
    });
    startClock_.setSingleShot(true);
    startClock_.setInterval(StartMs);
    connect(&startClock_, &QTimer::timeout, this, [this] {
        PreviewMachine::Input overdue{PreviewMachine::Event::StartOverdue};
        overdue.pageOwesAnswer = callsOwed_ > 0;
        On(overdue);
    });
    Follow(fetch_);
    Follow(aheadFetch_);
    ReplacePage();
}

// The two fetches trade places when the one ahead is set: what each reports
// is the set movie's or the one ahead's by which it is at that moment.
void ShockwaveFlash::Follow(MovieFetch* fetch)
{
    using Event = PreviewMachine::Event;
    connect(fetch, &MovieFetch::fetched, this, [this, fetch](const QByteArray& movie, const QUrl& finalAddress, bool still) {
        const bool ahead = fetch == aheadFetch_;
        (ahead ? ahead_ : fetched_) = {movie, finalAddress, still};
        PreviewMachine::Input input{ahead ? Event::AheadFetched : Event::Fetched, finalAddress, movie.size()};
        input.pageSeen = page_->isVisible();
        On(input);
    });
    connect(fetch, &MovieFetch::failed, this, [this, fetch](MovieProblem problem, int httpStatus) {
        const bool ahead = fetch == aheadFetch_;
        (ahead ? ahead_ : fetched_) = {{}, {}, false, httpStatus};
        On({ahead ? Event::AheadFailed : Event::FetchFailed, {}, 0, problem});
    });
    connect(fetch, &MovieFetch::progress, this, [this, fetch](qint64 received, qint64 total) {
        if (fetch == fetch_)
            cover_->setProgress(received, total);
    });
}

void ShockwaveFlash::ReplacePage()
{
    QWebEnginePage* old = page_;
    page_ = new PlayerWebPage(PreviewProfile(), this);
    // Opaque, in the window's colour: the web engine stacks a page with a
    // see-through background over every widget, the cover included.
    page_->setBackgroundColor(palette().window().color());
    // A movie's sound plays as it would in the Flash player, without a click first.
    page_->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    connect(page_, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        // A load that a newer one cut short says nothing: the newer one will.
        if (ok)
            On({PreviewMachine::Event::PageLoaded});
    });
    connect(page_, &QWebEnginePage::renderProcessPidChanged, this, [this](qint64 pid) { renderer_.Track(pid); });
    connect(page_, &QWebEnginePage::renderProcessTerminated, this, [this] {
        ForgetCalls();
        On({PreviewMachine::Event::RendererGone});
    });
    connect(page_, &QWebEnginePage::titleChanged, this, &ShockwaveFlash::OnTitle);
    connect(page_, &QWebEnginePage::visibleChanged, this, &ShockwaveFlash::UpdateClocks);
    setPage(page_);
    delete old;
    ForgetCalls();
}

void ShockwaveFlash::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange && page_)
        page_->setBackgroundColor(palette().window().color());
    QWebEngineView::changeEvent(event);
}

ShockwaveFlash::~ShockwaveFlash()
{
    PreviewPlayerScheme().Withdraw(this);
    setPage(nullptr);
    delete std::exchange(page_, nullptr);
}

void ShockwaveFlash::setMovie(const QString& address)
{
    movie_ = address;
    // What a screen reader says of the preview: the movie it plays.
    setAccessibleDescription(address);
    ++serial_;
    PreviewPlayerScheme().Withdraw(this);
    On({PreviewMachine::Event::SetMovie, QUrl::fromUserInput(address)});
}

void ShockwaveFlash::Prefetch(const QString& address)
{
    aheadAddress_ = address;
    On({PreviewMachine::Event::Prefetch, QUrl::fromUserInput(address)});
}

void ShockwaveFlash::On(const PreviewMachine::Input& input)
{
    CarryOut(machine_.On(input).actions);
}

void ShockwaveFlash::CarryOut(PreviewMachine::Actions actions)
{
    using M = PreviewMachine;
    if (actions & M::DropAhead) {
        aheadFetch_->Abandon();
        if (std::exchange(ahead_, {}).stagedToken != 0)
            CallPage(PageCall("vidlatchDrop", {}));
    }
    if (actions & M::AdoptAhead) {
        std::swap(fetch_, aheadFetch_);
        aheadFetch_->Abandon();
        fetched_ = std::exchange(ahead_, {});
    }
    if (actions & M::StartFetch) {
        fetched_ = {};
        fetch_->Start(QUrl::fromUserInput(movie_));
    }
    if (actions & M::FetchAhead) {
        ahead_ = {};
        aheadFetch_->Start(QUrl::fromUserInput(aheadAddress_));
    }
    if (actions & M::RenewPage)
        ReplacePage();
    if (actions & M::BuildPage)
        BuildPage();
    if (actions & M::StopMovieBefore)
        CallPage(PageCall("vidlatchLoading", {{QStringLiteral("serial"), serial_}}));
    if (actions & M::Stage)
        Stage();
    if (actions & M::HandOver)
        HandOver();
    if (actions & M::EndRenderer)
        EndRenderer();
    if (actions & M::EmitShown)
        cover_->LiftOnceDrawn();
    else
        cover_->setLoading(machine_.Covered());
    if (actions & (M::StartFetch | M::AdoptAhead))
        cover_->setProgress(0, -1);  // nothing of the new movie yet, whatever the one before had
    UpdateClocks();
    if (actions & M::EmitShown)
        emit movieShown();
    if (actions & M::EmitFailed)
        emit movieFailed(machine_.Problem());
}

void ShockwaveFlash::BuildPage()
{
    // The page's origin is the movie's, so what the movie loads of its own
    // site stays same-origin.
    ForgetCalls();
    // What a screen reader calls the movie, and the page: the preview's name.
    page_->setHtml(PlayerPage(*this, {PageScripts(), accessibleName(), tr("Flash 影片"), font().family(),
                                      palette().window().color()}),
                   machine_.PageOrigin());
}

QJsonObject ShockwaveFlash::PlayArguments(const Fetched& fetched) const
{
    const QUrl& finalAddress = fetched.finalAddress;
    QString parameters = finalAddress.query(QUrl::FullyEncoded);
    if (!FlashVars.isEmpty())
        parameters += (parameters.isEmpty() ? QString() : QStringLiteral("&")) + FlashVars;
    QJsonObject play{
        {QStringLiteral("url"), finalAddress.toString(QUrl::FullyEncoded)},
        {QStringLiteral("base"), Base.isEmpty() ? finalAddress.toString(QUrl::FullyEncoded) : Base},
        {QStringLiteral("parameters"), parameters},
        {QStringLiteral("still"), fetched.still},
        {QStringLiteral("failedMessage"), MovieProblemText(MovieProblem::Unplayable)},
    };
    if (fetched.movie.size() <= PreviewMachine::InlineMovieBytes)
        play.insert(QStringLiteral("data"), QString::fromLatin1(fetched.movie.toBase64()));
    return play;
}

void ShockwaveFlash::Stage()
{
    QJsonObject stage = PlayArguments(ahead_);
    ahead_.stagedToken = ++lastToken_;
    stage.insert(QStringLiteral("token"), ahead_.stagedToken);
    CallPage(PageCall("vidlatchStage", stage));
}

void ShockwaveFlash::HandOver()
{
    startClock_.start();
    if (machine_.Problem() != MovieProblem::None) {
        CallPage(PageCall("vidlatchFail", {
            {QStringLiteral("serial"), serial_},
            {QStringLiteral("message"), MovieProblemText(machine_.Problem(), fetched_.httpStatus)},
        }));
        return;
    }
    QJsonObject play = PlayArguments(fetched_);
    play.insert(QStringLiteral("serial"), serial_);
    if (!play.contains(QStringLiteral("data")))
        play.insert(QStringLiteral("movie"), PreviewPlayerScheme().Offer(this, fetched_.movie));
    // A staged movie goes with its data again: the page loads it anew when
    // the staged player was not ready in time.
    if (fetched_.stagedToken != 0)
        play.insert(QStringLiteral("staged"), fetched_.stagedToken);
    // A page that does not answer true has lost its player.
    CallPage(PageCall("vidlatchPlay", play), [this, serial = serial_](const QVariant& taken) {
        if (serial == serial_ && taken != QVariant(true))
            On({PreviewMachine::Event::PlayRefused});
    });
}

void ShockwaveFlash::CallPage(const QString& script, std::function<void(const QVariant&)> answered)
{
    if (callsOwed_++ == 0)
        answerWatch_.start();
    page_->runJavaScript(script, [self = QPointer<ShockwaveFlash>(this), page = page_, generation = pageGeneration_,
                                  answered = std::move(answered)](const QVariant& result) {
        // Qt answers what is still pending with nothing while it destroys a
        // page: that page is going, and nothing of it may be used.
        if (!self || page != self->page_ || generation != self->pageGeneration_ || !result.isValid())
            return;
        // Alive; the calls still owed get their full time from now.
        if (--self->callsOwed_ == 0)
            self->answerWatch_.stop();
        else
            self->answerWatch_.start();
        if (answered)
            answered(result);
    });
}

void ShockwaveFlash::ForgetCalls()
{
    ++pageGeneration_;
    callsOwed_ = 0;
    answerWatch_.stop();
}

void ShockwaveFlash::EndRenderer()
{
    renderer_.Track(page_->renderProcessPid());
    if (renderer_.End())
        return;  // its end is reported as any renderer's
    ReplacePage();
    On({PreviewMachine::Event::RendererGone});
}

void ShockwaveFlash::UpdateClocks()
{
    const bool seen = page_->isVisible();
    if (machine_.WatchesAnswers() && seen) {
        if (!heartbeat_.isActive())
            heartbeat_.start();
    } else {
        heartbeat_.stop();
    }
    // A hidden page draws nothing: its movie gets its whole time once seen.
    if (!machine_.StartClockRuns() || !seen)
        startClock_.stop();
    else if (!startClock_.isActive())
        startClock_.start();
}

void ShockwaveFlash::OnTitle(const QString& title)
{
    if (!title.startsWith(ReportPrefix))
        return;
    const QStringView report = QStringView(title).sliced(ReportPrefix.size());
    const QString serial = QString::number(serial_);
    using Event = PreviewMachine::Event;
    if (report == QStringLiteral("shown:") + serial)
        On({Event::FirstFrame});
    else if (report == QStringLiteral("failed:") + serial)
        On({Event::PageFailed});
    else if (report == QStringLiteral("panic:") + serial)
        On({Event::PlayerPanic});
    else if (report == QLatin1String("panic:staged"))
        On({Event::StagedPanic});
}

} // namespace vidlatch::platform
