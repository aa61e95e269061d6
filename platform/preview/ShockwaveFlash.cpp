#include "ShockwaveFlash.h"

#include "MovieFetch.h"
#include "PageVisibility.h"
#include "SingleTabStop.h"
#include "PlayerScheme.h"
#include "PreviewProfile.h"

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

QString RuffleQuality(const QString& quality)
{
    const QString q = quality.toLower();
    if (q == QLatin1String("low") || q == QLatin1String("medium") || q == QLatin1String("high") ||
        q == QLatin1String("best"))
        return q;
    if (q == QLatin1String("autolow")) return QStringLiteral("low");
    return QStringLiteral("high");
}

QString RuffleScale(const QString& scale)
{
    const QString s = scale.toLower();
    if (s == QLatin1String("noborder")) return QStringLiteral("noBorder");
    if (s == QLatin1String("exactfit")) return QStringLiteral("exactFit");
    if (s == QLatin1String("noscale")) return QStringLiteral("noScale");
    return QStringLiteral("showAll");
}

QUrl OriginOf(const QString& address)
{
    QUrl origin = QUrl::fromUserInput(address);
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

ShockwaveFlash::ShockwaveFlash(QWidget* parent) : QWebEngineView(parent), fetch_(new MovieFetch(this))
{
    setContextMenuPolicy(Qt::NoContextMenu);  // Ruffle draws the movie's own menu
    // Nothing dropped goes to the player page; a drop is its window's.
    setAcceptDrops(false);
    setAccessibleName(tr("Flash 预览"));
    new PageVisibility(this);
    new SingleTabStop(this);
    ReplacePage();
    connect(fetch_, &MovieFetch::fetched, this, &ShockwaveFlash::OnFetched);
    connect(fetch_, &MovieFetch::failed, this, &ShockwaveFlash::OnFailed);
}

void ShockwaveFlash::ReplacePage()
{
    QWebEnginePage* old = page_;
    page_ = new PlayerWebPage(PreviewProfile(), this);
    page_->setBackgroundColor(Qt::transparent);
    // A movie's sound plays as it would in the Flash player, without a click first.
    page_->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    connect(page_, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        pageReady_ = ok;
        Deliver();
    });
    connect(page_, &QWebEnginePage::renderProcessTerminated, this, [this] {
        pageReady_ = false;
        pageOrigin_.clear();
        if (!delivery_.isEmpty() && !delivered_)
            BuildPage(OriginOf(movie_));
    });
    connect(page_, &QWebEnginePage::titleChanged, this, &ShockwaveFlash::OnTitle);
    setPage(page_);
    delete old;
    pageReady_ = false;
    pageOrigin_.clear();
    freshPageDue_ = false;
    moviesInPage_ = 0;
}

ShockwaveFlash::~ShockwaveFlash()
{
    PreviewPlayerScheme().Withdraw(this);
    setPage(nullptr);
    delete page_;
}

QString ShockwaveFlash::PlayerPage() const
{
    const QJsonObject config{
        {QStringLiteral("publicPath"), QStringLiteral("%1://app/").arg(QLatin1String(PlayerScheme))},
        {QStringLiteral("autoplay"), Playing ? QStringLiteral("on") : QStringLiteral("off")},
        {QStringLiteral("unmuteOverlay"), QStringLiteral("hidden")},
        {QStringLiteral("splashScreen"), false},
        {QStringLiteral("backgroundColor"), BGColor.isEmpty() ? QJsonValue() : QJsonValue(BGColor)},
        {QStringLiteral("quality"), RuffleQuality(Quality)},
        {QStringLiteral("scale"), RuffleScale(ScaleMode)},
        {QStringLiteral("salign"), SAlign},
        {QStringLiteral("menu"), Menu},
        {QStringLiteral("contextMenu"), Menu ? QStringLiteral("on") : QStringLiteral("off")},
        {QStringLiteral("wmode"), WMode.toLower()},
        {QStringLiteral("allowFullscreen"), AllowFullScreen.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0},
        {QStringLiteral("allowNetworking"), AllowNetworking.toLower()},
        {QStringLiteral("allowScriptAccess"), AllowScriptAccess.compare(QLatin1String("always"), Qt::CaseInsensitive) == 0},
        {QStringLiteral("upgradeToHttps"), false},
        {QStringLiteral("warnOnUnsupportedContent"), false},
        {QStringLiteral("showSwfDownload"), false},
        {QStringLiteral("logLevel"), QStringLiteral("error")},
        // The 2D canvas: with no GPU, WebGL is refused anyway, and each refused
        // try costs a rendering context and lines on standard error.
        {QStringLiteral("preferredRenderer"), QStringLiteral("canvas")},
        // A hidden page pauses the player instead of ticking on in a worker.
        {QStringLiteral("backgroundExecutionMode"), QStringLiteral("none")},
    };
    // The settings travel as JSON data; "<" is escaped so nothing in them can
    // close the script element that carries them.
    const QJsonObject settings{{QStringLiteral("config"), config},
                               {QStringLiteral("movieName"), tr("Flash 影片")}};  // what a screen reader calls the movie
    QString json = QString::fromUtf8(QJsonDocument(settings).toJson(QJsonDocument::Compact));
    json.replace(u'<', QStringLiteral("\\u003c"));

    // The page's name for screen readers is the preview's: its title is the program's.
    return QStringLiteral(
               "<!DOCTYPE html><html aria-label=\"%4\"><head><meta charset=\"utf-8\"><title></title>"
               "<style>html,body{margin:0;height:100%;overflow:hidden;background:transparent}"
               "#player{display:block;width:100%;height:100%}"
               "#notice{margin:0;padding:2em;font:14px sans-serif;color:#444;text-align:center}</style>"
               "<script type=\"application/json\" id=\"vidlatch-settings\">%1</script>"
               "%2<script src=\"%3://app/ruffle.js\"></script>"
               "</head><body></body></html>")
        .arg(json, PageScripts(), QLatin1String(PlayerScheme), accessibleName().toHtmlEscaped());
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
    fetch_->Start(QUrl::fromUserInput(address));
    // The page (and Ruffle in it) gets ready while the movie is on its way.
    if (freshPageDue_ || moviesInPage_ >= MoviesPerPage)
        ReplacePage();
    if (const QUrl origin = OriginOf(address); origin != pageOrigin_)
        BuildPage(origin);
    ++moviesInPage_;
}

void ShockwaveFlash::BuildPage(const QUrl& origin)
{
    // The page's origin is the movie's, so what the movie loads of its own
    // site stays same-origin.
    pageReady_ = false;
    pageOrigin_ = origin;
    delivered_ = false;
    page_->setHtml(PlayerPage(), origin);
}

void ShockwaveFlash::OnFetched(const QByteArray& movie, const QUrl& finalAddress, bool still)
{
    QString parameters = finalAddress.query(QUrl::FullyEncoded);
    if (!FlashVars.isEmpty())
        parameters += (parameters.isEmpty() ? QString() : QStringLiteral("&")) + FlashVars;
    const QString served = PreviewPlayerScheme().Offer(this, movie);
    problem_ = MovieProblem::None;
    delivery_ = PageCall("vidlatchPlay", {
        {QStringLiteral("serial"), serial_},
        {QStringLiteral("movie"), served},
        {QStringLiteral("url"), finalAddress.toString(QUrl::FullyEncoded)},
        {QStringLiteral("base"), Base.isEmpty() ? finalAddress.toString(QUrl::FullyEncoded) : Base},
        {QStringLiteral("parameters"), parameters},
        {QStringLiteral("still"), still},
        {QStringLiteral("failedMessage"), MovieProblemText(MovieProblem::Unplayable)},
    });
    if (movie.size() > LargeMovieBytes)
        freshPageDue_ = true;
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
    page_->runJavaScript(delivery_, [self = QPointer<ShockwaveFlash>(this), serial = serial_](const QVariant& taken) {
        if (self && serial == self->serial_ && taken != QVariant(true))
            self->BuildPage(self->pageOrigin_);
    });
}

void ShockwaveFlash::OnTitle(const QString& title)
{
    if (title == ShownTitle + QString::number(serial_))
        emit movieShown();
    else if (title == FailedTitle + QString::number(serial_))
        emit movieFailed(problem_ == MovieProblem::None ? MovieProblem::Unplayable : problem_);
}

} // namespace vidlatch::platform
