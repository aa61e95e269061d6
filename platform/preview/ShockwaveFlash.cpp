#include "ShockwaveFlash.h"

#include "MovieFetch.h"
#include "PageVisibility.h"
#include "PlayerPage.h"
#include "PlayerScheme.h"
#include "PreviewCover.h"
#include "PreviewProfile.h"
#include "RuleClock.h"
#include "SingleTabStop.h"

#include <QEvent>
#include <QFile>
#include <QJsonObject>
#include <QWebEnginePage>

namespace vidlatch::platform {
namespace {

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

} // namespace

ShockwaveFlash::ShockwaveFlash(QWidget* parent)
    : QWebEngineView(parent), link_(new PlayerPageLink(PreviewProfile(), this)), fetch_(new MovieFetch(this)),
      aheadFetch_(new MovieFetch(this)), cover_(new PreviewCover(this)),
      startClock_(new RuleClock("start", StartMs, true, this))
{
    using Event = PreviewMachine::Event;
    setContextMenuPolicy(Qt::NoContextMenu);  // Ruffle draws the movie's own menu
    // Nothing dropped goes to the player page; a drop is its window's.
    setAcceptDrops(false);
    setAccessibleName(tr("Flash 预览"));
    new PageVisibility(this);
    new SingleTabStop(this);
    connect(startClock_, &RuleClock::ranOut, this, [this] {
        On(PreviewMachine::Input::StartOverdue(link_->WorkedSinceMark()));
    });
    connect(link_, &PlayerPageLink::replaced, this, [this](QWebEnginePage* page) {
        // Opaque, in the window's colour: the web engine stacks a page with a
        // see-through background over every widget, the cover included.
        page->setBackgroundColor(palette().window().color());
        setPage(page);
        On({page->isVisible() ? Event::PageSeen : Event::PageHidden});
    });
    connect(link_, &PlayerPageLink::reported, this, &ShockwaveFlash::OnReport);
    connect(link_, &PlayerPageLink::answered, this, [this] { On({Event::Answered}); });
    connect(link_, &PlayerPageLink::answerOverdue, this, [this] { On({Event::AnswerOverdue}); });
    connect(link_, &PlayerPageLink::seen, this, [this](bool seen) { On({seen ? Event::PageSeen : Event::PageHidden}); });
    connect(link_, &PlayerPageLink::rendererGone, this, [this] {
        // Nothing a dead page asked goes out any more, whatever the page it gets next.
        PreviewPlayerScheme().Forget(this);
        On({Event::RendererGone});
    });
    Follow(fetch_);
    Follow(aheadFetch_);
    link_->Renew();
}

// The two fetches trade places when the one ahead is set: what each reports
// is the set movie's or the one ahead's by which it is at that moment.
void ShockwaveFlash::Follow(MovieFetch* fetch)
{
    using Event = PreviewMachine::Event;
    connect(fetch, &MovieFetch::fetched, this, [this, fetch](const QByteArray& movie, const QUrl& finalAddress, bool still) {
        const bool ahead = fetch == aheadFetch_;
        Fetched& got = ahead ? ahead_ : fetched_;
        got = {};
        got.movie = movie;
        got.finalAddress = finalAddress;
        got.still = still;
        got.cameFromHere = fetch->landedHere();
        On({ahead ? Event::AheadFetched : Event::Fetched, finalAddress, movie.size()});
    });
    connect(fetch, &MovieFetch::failed, this, [this, fetch](MovieProblem problem, int httpStatus) {
        const bool ahead = fetch == aheadFetch_;
        (ahead ? ahead_ : fetched_) = {{}, {}, false, false, httpStatus};
        On({ahead ? Event::AheadFailed : Event::FetchFailed, {}, 0, problem});
    });
    connect(fetch, &MovieFetch::progress, this, [this, fetch](qint64 received, qint64 total) {
        if (fetch == fetch_)
            cover_->setProgress(received, total);
    });
}

void ShockwaveFlash::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange && link_->page())
        link_->page()->setBackgroundColor(palette().window().color());
    QWebEngineView::changeEvent(event);
}

ShockwaveFlash::~ShockwaveFlash()
{
    PreviewPlayerScheme().Forget(this);
    link_->disconnect(this);
    setPage(nullptr);
    delete link_;
}

void ShockwaveFlash::setMovie(const QString& address)
{
    movie_ = address;
    // What a screen reader says of the preview: the movie it plays.
    setAccessibleDescription(address);
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
    using A = PreviewMachine::Action;
    if (actions & A::DropAhead) {
        aheadFetch_->Abandon();
        ahead_ = {};
    }
    if (actions & A::Unstage)
        link_->Call("vidlatchDrop", {});
    if (actions & A::AdoptAhead) {
        std::swap(fetch_, aheadFetch_);
        aheadFetch_->Abandon();
        fetched_ = std::exchange(ahead_, {});
    }
    if (actions & A::StartFetch) {
        fetched_ = {};
        fetch_->Start(QUrl::fromUserInput(movie_));
    }
    if (actions & A::FetchAhead) {
        ahead_ = {};
        aheadFetch_->Start(QUrl::fromUserInput(aheadAddress_));
    }
    if (actions.testAnyFlags(A::StartFetch | A::AdoptAhead)) {
        cover_->setLoading(true);
        cover_->setProgress(0, -1);  // nothing of the new movie yet, whatever the one before had
    }
    if (actions & A::RenewPage)
        link_->Renew();
    if (actions & A::BuildPage)
        BuildPage();
    if (actions & A::StopMovieBefore)
        link_->Call("vidlatchLoading", {{QStringLiteral("serial"), machine_.Serial()}});
    if (actions & A::Stage)
        Stage();
    if (actions & A::HandOver)
        HandOver();
    if (actions & A::StartClock) {
        startClock_->start();
        link_->MarkWork();
    }
    if (actions & A::StopClock)
        startClock_->stop();
    if (actions.testAnyFlags(A::StartWatch | A::StopWatch))
        link_->SetWatched(actions.testFlag(A::StartWatch));
    if (actions & A::CoverSays)
        cover_->Say(MovieProblemText(machine_.Problem(), fetched_.httpStatus));
    else if (actions.testAnyFlags(A::EmitShown | A::EmitFailed))
        cover_->LiftOnceDrawn();
    // Told once the step that asked is carried out.
    if ((actions & A::EndRenderer) && !link_->EndRenderer())
        QMetaObject::invokeMethod(this, [this] { On({PreviewMachine::Event::RendererNotEnded}); }, Qt::QueuedConnection);
    if (actions & A::EmitShown)
        emit movieShown();
    if (actions & A::EmitFailed)
        emit movieFailed(machine_.Problem());
}

void ShockwaveFlash::BuildPage()
{
    // The page's origin is the movie's, so what the movie loads of its own
    // site stays same-origin.
    // What a screen reader calls the movie, and the page: the preview's name.
    // Its key is its own: what the scheme serves is for this document only.
    const QString askKey = PreviewPlayerScheme().AdmitPage(this);
    link_->Build(
        [&](int build) {
            return PlayerPage(*this, {PageScripts(), accessibleName(), tr("Flash 影片"), font().family(),
                                      palette().window().color(), build, askKey});
        },
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
    if (PreviewMachine::TravelsInCall(fetched.movie.size()))
        play.insert(QStringLiteral("data"), QString::fromLatin1(fetched.movie.toBase64()));
    return play;
}

void ShockwaveFlash::Stage()
{
    QJsonObject stage = PlayArguments(ahead_);
    ahead_.stagedToken = machine_.StagedToken();
    stage.insert(QStringLiteral("token"), ahead_.stagedToken);
    link_->Call("vidlatchStage", stage);
}

void ShockwaveFlash::HandOver()
{
    // The answer to a hand-over says the page took it: until then a page
    // that does not answer cannot play the movie the user waits on.
    const QString askKey = PreviewPlayerScheme().NewMovie(this, fetched_.cameFromHere);
    if (machine_.Problem() != MovieProblem::None) {
        link_->Call("vidlatchFail", {
            {QStringLiteral("serial"), machine_.Serial()},
            {QStringLiteral("message"), MovieProblemText(machine_.Problem(), fetched_.httpStatus)},
        }, [this, serial = machine_.Serial()](const QVariant&) { On({PreviewMachine::Event::HandOverTaken, serial}); });
        return;
    }
    QJsonObject play = PlayArguments(fetched_);
    play.insert(QStringLiteral("serial"), machine_.Serial());
    play.insert(QStringLiteral("askKey"), askKey);
    if (!play.contains(QStringLiteral("data")))
        play.insert(QStringLiteral("movie"), PreviewPlayerScheme().Offer(this, fetched_.movie));
    // A staged movie goes with its data again: the page loads it anew when
    // the staged player was not ready in time.
    if (fetched_.stagedToken != 0)
        play.insert(QStringLiteral("staged"), fetched_.stagedToken);
    // A page that does not answer true has lost its player.
    link_->Call("vidlatchPlay", play, [this, serial = machine_.Serial()](const QVariant& taken) {
        On({taken == QVariant(true) ? PreviewMachine::Event::HandOverTaken : PreviewMachine::Event::PlayRefused, serial});
    });
}

void ShockwaveFlash::OnReport(PlayerPageLink::Report what, int id)
{
    using Event = PreviewMachine::Event;
    using Report = PlayerPageLink::Report;
    // Which movie a report is about is the machine's to judge, by `id`.
    struct Meaning { Report report; Event event; };
    static constexpr Meaning Meanings[] = {
        {Report::Ready, Event::PageLoaded},     {Report::Shown, Event::FirstFrame},
        {Report::Failed, Event::SentenceShown}, {Report::Panic, Event::PlayerPanic},
        {Report::StagedPanic, Event::StagedPanic},
    };
    for (const Meaning& meaning : Meanings) {
        if (meaning.report == what)
            On({meaning.event, id});
    }
}

} // namespace vidlatch::platform
