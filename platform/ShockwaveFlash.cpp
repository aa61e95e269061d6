#include "ShockwaveFlash.h"

#include "BrowserProfile.h"
#include "FormRuntime.h"
#include "RuffleScheme.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEngineSettings>
#include <QUrl>

namespace vidlatch::platform {
namespace {

constexpr char ShownTitle[] = "vidlatch:movie-shown";

// The player page, without console output: the program logs nothing.
class QuietPlayerPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}
};

// Qt 6.4 cannot fetch() from a custom scheme; XMLHttpRequest can. Ruffle
// fetches its .wasm, so those requests take the XHR road and come back as a
// Response of the right type.
constexpr char FetchShim[] = R"JS(
(() => {
  const realFetch = window.fetch.bind(window);
  window.fetch = (input, init) => {
    const url = typeof input === 'string' ? input : (input instanceof URL ? input.href : input.url);
    if (!url.startsWith('vidlatch-ruffle:')) return realFetch(input, init);
    return new Promise((resolve, reject) => {
      const xhr = new XMLHttpRequest();
      xhr.open('GET', url);
      xhr.responseType = 'arraybuffer';
      xhr.onload = () => resolve(new Response(xhr.response, { status: 200, headers: {
        'Content-Type': url.endsWith('.wasm') ? 'application/wasm' : 'application/octet-stream' } }));
      xhr.onerror = () => reject(new TypeError('Failed to fetch ' + url));
      xhr.send();
    });
  };
})();
)JS";

constexpr char PlayerScript[] = R"JS(
(() => {
  const settings = JSON.parse(document.getElementById('vidlatch-settings').textContent);
  window.RufflePlayer = window.RufflePlayer || {};
  window.RufflePlayer.config = settings.config;
  window.addEventListener('DOMContentLoaded', () => {
    const player = window.RufflePlayer.newest().createPlayer();
    player.id = 'player';
    document.body.appendChild(player);
    player.addEventListener('loadeddata', () => { document.title = 'vidlatch:movie-shown'; });
    // The next movie of the same origin plays in this same player; it comes
    // as JSON data, never as script text.
    window.vidlatchPlay = (next) => {
      document.title = '';
      player.load({ url: next.movie, base: next.base || null });
    };
    if (settings.movie) player.load({ url: settings.movie, base: settings.base || null });
  });
})();
)JS";

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

} // namespace

ShockwaveFlash::ShockwaveFlash(QWidget* parent)
    : QWebEngineView(parent), page_(new QuietPlayerPage(PreviewProfile(), this))
{
    setPage(page_);
    setContextMenuPolicy(Qt::NoContextMenu);  // Ruffle draws the movie's own menu
    page_->setBackgroundColor(Qt::transparent);
    // A movie's sound plays as it would in the Flash player, without a click first.
    page_->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    // A player page that has loaded takes further movies of its origin; a new
    // page is built after a failed load or a lost renderer.
    connect(page_, &QWebEnginePage::loadFinished, this, [this](bool ok) { playerReady_ = ok; });
    connect(page_, &QWebEnginePage::renderProcessTerminated, this, [this] { playerReady_ = false; });
    connect(page_, &QWebEnginePage::titleChanged, this, [this](const QString& title) {
        if (title == QLatin1String(ShownTitle))
            emit movieShown();
    });
}

ShockwaveFlash::~ShockwaveFlash()
{
    setPage(nullptr);
    delete page_;
}

QString ShockwaveFlash::PlayerPage(const QString& movie) const
{
    QJsonObject config{
        {QStringLiteral("publicPath"), QStringLiteral("%1://app/").arg(QLatin1String(RuffleScheme))},
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
        {QStringLiteral("allowScriptAccess"), false},
        {QStringLiteral("upgradeToHttps"), false},
        {QStringLiteral("warnOnUnsupportedContent"), false},
        {QStringLiteral("showSwfDownload"), false},
        {QStringLiteral("logLevel"), QStringLiteral("error")},
    };
    if (!FlashVars.isEmpty())
        config.insert(QStringLiteral("parameters"), FlashVars);
    const QJsonObject settings{
        {QStringLiteral("movie"), movie},
        {QStringLiteral("base"), Base},
        {QStringLiteral("config"), config},
    };
    // The settings travel as JSON data; "<" is escaped so nothing in them can
    // close the script element that carries them.
    QString json = QString::fromUtf8(QJsonDocument(settings).toJson(QJsonDocument::Compact));
    json.replace(u'<', QStringLiteral("\\u003c"));

    return QStringLiteral(
               "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title></title>"
               "<style>html,body{margin:0;height:100%;overflow:hidden;background:transparent}"
               "#player{display:block;width:100%;height:100%}</style>"
               "<script type=\"application/json\" id=\"vidlatch-settings\">%1</script>"
               "<script>%2</script><script>%3</script>"
               "<script src=\"%4://app/ruffle.js\"></script>"
               "</head><body></body></html>")
        .arg(json, QLatin1String(FetchShim), QLatin1String(PlayerScript), QLatin1String(RuffleScheme));
}

void ShockwaveFlash::setMovie(const QString& address)
{
    movie_ = address;
    // What a screen reader says of the preview: the movie it plays.
    setAccessibleName(QStringLiteral("Flash 预览：%1").arg(address));
    // The page's origin is the movie's, so fetching the movie stays same-origin.
    QUrl origin = QUrl::fromUserInput(address);
    origin.setPath(QStringLiteral("/"));
    origin.setQuery(QString());
    origin.setFragment(QString());
    if (!origin.isValid())
        origin = QUrl(QStringLiteral("about:blank"));
    if (playerReady_ && origin == playerOrigin_) {
        // The running player takes the new movie: no new page, no new Ruffle.
        const QJsonObject next{{QStringLiteral("movie"), address}, {QStringLiteral("base"), Base}};
        page_->runJavaScript(QStringLiteral("window.vidlatchPlay(%1)")
                                 .arg(QString::fromUtf8(QJsonDocument(next).toJson(QJsonDocument::Compact))));
        return;
    }
    playerReady_ = false;
    playerOrigin_ = origin;
    page_->setHtml(PlayerPage(address), origin);
}

} // namespace vidlatch::platform
