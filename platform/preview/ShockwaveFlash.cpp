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
#include <QWebEngineSettings>

namespace vidlatch::platform {
namespace {

// What a player page's renderer holds only grows (the player's WebAssembly
// memory, the engine's pools): after a movie this large, or this many movies,
// the next gets a new page in a new renderer, and the old one goes whole.
constexpr qsizetype LargeMovieBytes = qsizetype{8} << 20;
constexpr int MoviesPerPage = 25;
// Movies up to this size travel inside the call that plays them; a larger
// one is served once through the preview's scheme.
constexpr qsizetype InlineMovieBytes = qsizetype{1} << 20;

constexpr QLatin1StringView ShownTitle("vidlatch:shown:");
constexpr QLatin1StringView FailedTitle("vidlatch:failed:");

// The player page: it never leaves the player, whatever a movie or the
// player asks (the page we build is the only navigation it takes; windows
// are refused as no createWindow is given), asks for no device, and writes
// no console output: the program logs nothing.
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

QUrl OriginOf(QUrl origin)
{
    origin.setPath(QStringLiteral("/"));
    origin.setQuery(QString());
    origin.setFragment(QString());
    origin.setUserInfo(QString());
    return origin.isValid() && !origin.isLocalFile() ? origin : QUrl(QStringLiteral("about:blank"));
}

// A page function called with JSON data, never with script text.
QString PageCall(const char* function, const QJsonObject& argument)
{
    return QStringLiteral("window.%1(%2)")
        .arg(QLatin1String(function), QString::fromUtf8(QJsonDocument(argument).toJson(QJsonDocument::Compact)));
}

} // namespace

ShockwaveFlash::ShockwaveFlash(QWidget* parent)
    : QWebEngineView(parent), fetch_(new MovieFetch(this)), cover_(new PreviewCover(this))
{
    setContextMenuPolicy(Qt::NoContextMenu);  // Ruffle draws the movie's own menu
    // Nothing dropped goes to the player page; a drop is its window's.
    setAcceptDrops(false);
    setAccessibleName(tr("Flash 预览"));
    new PageVisibility(this);
    new SingleTabStop(this);
    answerWatch_.setSingleShot(true);
    answerWatch_.setInterval(PageAnswerMs);
    connect(&answerWatch_, &QTimer::timeout, this, &ShockwaveFlash::EndStuckPage);
    ReplacePage();
    // A result that comes before its setMovie waits for it.
    connect(fetch_, &MovieFetch::fetched, this, [this](const QByteArray& movie, const QUrl& finalAddress, bool still) {
        if (prefetching_) {
            held_ = [this, movie, finalAddress, still, staged = Stage(movie, finalAddress, still)] {
                OnFetched(movie, finalAddress, still, staged);
            };
        } else {
            OnFetched(movie, finalAddress, still);
        }
    });
    connect(fetch_, &MovieFetch::failed, this, [this](MovieProblem problem, int httpStatus) {
        if (prefetching_)
            held_ = [this, problem, httpStatus] { OnFailed(problem, httpStatus); };
        else
            OnFailed(problem, httpStatus);
    });
    connect(this, &ShockwaveFlash::movieShown, cover_, [this] { cover_->setLoading(false); });
    connect(this, &ShockwaveFlash::movieFailed, cover_, [this] { cover_->setLoading(false); });
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
        pageReady_ = ok;
        answerWatch_.stop();  // a page that has just loaded is alive
        Deliver();
    });
    connect(page_, &QWebEnginePage::renderProcessPidChanged, this, [this](qint64 pid) { renderer_.Track(pid); });
    connect(page_, &QWebEnginePage::renderProcessTerminated, this, &ShockwaveFlash::OnRendererGone);
    connect(page_, &QWebEnginePage::titleChanged, this, &ShockwaveFlash::OnTitle);
    setPage(page_);
    delete old;
    answerWatch_.stop();
    pageReady_ = false;
    pageOrigin_.clear();
    freshPageDue_ = false;
    moviesInPage_ = 0;
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
    delivery_.clear();
    delivered_ = false;
    PreviewPlayerScheme().Withdraw(this);
    // From now on the movie before never shows under this address.
    cover_->setLoading(true);
    const QUrl url = QUrl::fromUserInput(address);
    movieOrigin_ = OriginOf(url);
    const bool prefetched = prefetching_ && fetching_ == address;
    prefetching_ = false;
    if (!prefetched) {
        held_ = nullptr;
        StartFetch(address);
    }
    // The page (and Ruffle in it) gets ready while the movie is on its way;
    // the movie before stops now, unless the new one is here to take its place.
    if (freshPageDue_ || moviesInPage_ >= MoviesPerPage)
        ReplacePage();
    else if (pageReady_ && !held_)
        CallPage(PageCall("vidlatchLoading", {{QStringLiteral("serial"), serial_}}));
    if (movieOrigin_ != pageOrigin_)
        BuildPage(movieOrigin_);
    ++moviesInPage_;
    if (held_)
        std::exchange(held_, nullptr)();
}

void ShockwaveFlash::Prefetch(const QString& address)
{
    if (prefetching_ && fetching_ == address)
        return;
    prefetching_ = true;
    held_ = nullptr;
    StartFetch(address);
}

void ShockwaveFlash::StartFetch(const QString& address)
{
    fetching_ = address;
    fetch_->Start(QUrl::fromUserInput(address));
}

void ShockwaveFlash::BuildPage(const QUrl& origin)
{
    // The page's origin is the movie's, so what the movie loads of its own
    // site stays same-origin.
    pageReady_ = false;
    pageOrigin_ = origin;
    delivered_ = false;
    // What a screen reader calls the movie, and the page: the preview's name.
    page_->setHtml(PlayerPage(*this, {PageScripts(), accessibleName(), tr("Flash 影片"), font().family()}), origin);
}

QJsonObject ShockwaveFlash::PlayArguments(const QByteArray& movie, const QUrl& finalAddress, bool still) const
{
    QString parameters = finalAddress.query(QUrl::FullyEncoded);
    if (!FlashVars.isEmpty())
        parameters += (parameters.isEmpty() ? QString() : QStringLiteral("&")) + FlashVars;
    QJsonObject play{
        {QStringLiteral("url"), finalAddress.toString(QUrl::FullyEncoded)},
        {QStringLiteral("base"), Base.isEmpty() ? finalAddress.toString(QUrl::FullyEncoded) : Base},
        {QStringLiteral("parameters"), parameters},
        {QStringLiteral("still"), still},
        {QStringLiteral("failedMessage"), MovieProblemText(MovieProblem::Unplayable)},
    };
    if (movie.size() <= InlineMovieBytes)
        play.insert(QStringLiteral("data"), QString::fromLatin1(movie.toBase64()));
    return play;
}

int ShockwaveFlash::Stage(const QByteArray& movie, const QUrl& finalAddress, bool still)
{
    // Only into a page that will play it: ready, seen, of its origin and
    // staying, and only a movie that travels in the call. A page built anew
    // meanwhile holds no token, and the movie is then played as any other.
    if (!pageReady_ || !page_->isVisible() || OriginOf(finalAddress) != pageOrigin_ || freshPageDue_ ||
        moviesInPage_ >= MoviesPerPage || movie.size() > InlineMovieBytes)
        return 0;
    QJsonObject stage = PlayArguments(movie, finalAddress, still);
    stage.insert(QStringLiteral("token"), ++lastStaged_);
    CallPage(PageCall("vidlatchStage", stage));
    return lastStaged_;
}

void ShockwaveFlash::OnFetched(const QByteArray& movie, const QUrl& finalAddress, bool still, int staged)
{
    problem_ = MovieProblem::None;
    QJsonObject play = PlayArguments(movie, finalAddress, still);
    play.insert(QStringLiteral("serial"), serial_);
    if (!play.contains(QStringLiteral("data")))
        play.insert(QStringLiteral("movie"), PreviewPlayerScheme().Offer(this, movie));
    // A staged movie goes with its data again: the page loads it anew when
    // the staged player was not ready in time.
    if (staged != 0)
        play.insert(QStringLiteral("staged"), staged);
    delivery_ = PageCall("vidlatchPlay", play);
    if (movie.size() > LargeMovieBytes)
        freshPageDue_ = true;
    // The page's origin is where the movie finally came from, not where it was asked for.
    movieOrigin_ = OriginOf(finalAddress);
    if (movieOrigin_ != pageOrigin_)
        BuildPage(movieOrigin_);
    Deliver();
}

void ShockwaveFlash::OnFailed(MovieProblem problem, int httpStatus)
{
    problem_ = problem;
    delivery_ = PageCall("vidlatchFail", {
        {QStringLiteral("serial"), serial_},
        {QStringLiteral("message"), MovieProblemText(problem, httpStatus)},
    });
    Deliver();
}

void ShockwaveFlash::Deliver()
{
    if (!pageReady_ || delivered_ || delivery_.isEmpty())
        return;
    delivered_ = true;
    // A page that does not answer true has lost its player: a new page takes the movie.
    CallPage(delivery_, [this, serial = serial_](const QVariant& taken) {
        if (serial == serial_ && taken != QVariant(true))
            BuildPage(pageOrigin_);
    });
}

void ShockwaveFlash::CallPage(const QString& script, std::function<void(const QVariant&)> answered)
{
    const int call = ++lastCall_;
    answerWatch_.start();
    page_->runJavaScript(script, [self = QPointer<ShockwaveFlash>(this), page = page_, call,
                                  answered = std::move(answered)](const QVariant& result) {
        // Qt answers what is still pending with nothing while it destroys a
        // page: that page is going, and nothing of it may be used.
        if (!self || page != self->page_ || !result.isValid())
            return;
        // Alive; an answer to an earlier call gives the later one its full time.
        if (call == self->lastCall_)
            self->answerWatch_.stop();
        else
            self->answerWatch_.start();
        if (answered)
            answered(result);
    });
}

void ShockwaveFlash::EndStuckPage()
{
    if (endedFor_ == serial_)
        return;  // once a movie: a page that is merely slow is given its time
    endedFor_ = serial_;
    delivered_ = false;  // whatever was handed to it never arrived
    renderer_.Track(page_->renderProcessPid());
    if (renderer_.End())
        return;  // its page is built anew when the renderer is gone
    ReplacePage();
    BuildPage(movieOrigin_);
}

void ShockwaveFlash::OnRendererGone()
{
    answerWatch_.stop();
    pageReady_ = false;
    pageOrigin_.clear();
    // A movie not yet on its way to the page gets one in a new renderer.
    if (!delivered_ && !movie_.isEmpty())
        BuildPage(movieOrigin_);
}

void ShockwaveFlash::OnTitle(const QString& title)
{
    if (title == ShownTitle + QString::number(serial_))
        emit movieShown();
    else if (title == FailedTitle + QString::number(serial_))
        emit movieFailed(problem_ == MovieProblem::None ? MovieProblem::Unplayable : problem_);
}

} // namespace vidlatch::platform
