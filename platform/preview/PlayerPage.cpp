#include "PlayerPage.h"

#include "PlayerScheme.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace vidlatch::platform {
namespace {

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

QString PlayerPage(const PlayerSettings& settings, const PlayerPageParts& parts)
{
    const PlayerSettings& s = settings;
    const QJsonObject config{
        {QStringLiteral("publicPath"), QStringLiteral("%1://app/").arg(QLatin1String(PlayerScheme))},
        {QStringLiteral("autoplay"), s.Playing ? QStringLiteral("on") : QStringLiteral("off")},
        {QStringLiteral("unmuteOverlay"), QStringLiteral("hidden")},
        {QStringLiteral("splashScreen"), false},
        {QStringLiteral("backgroundColor"), s.BGColor.isEmpty() ? QJsonValue() : QJsonValue(s.BGColor)},
        {QStringLiteral("quality"), RuffleQuality(s.Quality)},
        {QStringLiteral("scale"), RuffleScale(s.ScaleMode)},
        {QStringLiteral("salign"), s.SAlign},
        {QStringLiteral("menu"), s.Menu},
        {QStringLiteral("contextMenu"), s.Menu ? QStringLiteral("on") : QStringLiteral("off")},
        {QStringLiteral("wmode"), s.WMode.toLower()},
        {QStringLiteral("allowFullscreen"), s.AllowFullScreen.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0},
        {QStringLiteral("allowNetworking"), s.AllowNetworking.toLower()},
        {QStringLiteral("allowScriptAccess"), s.AllowScriptAccess.compare(QLatin1String("always"), Qt::CaseInsensitive) == 0},
        {QStringLiteral("upgradeToHttps"), false},
        {QStringLiteral("warnOnUnsupportedContent"), false},
        {QStringLiteral("showSwfDownload"), false},
        {QStringLiteral("logLevel"), QStringLiteral("error")},
        // A script is stopped after this many seconds, as the Flash player
        // stopped it: a movie's script that never ends ends there, while a
        // first frame that is merely slow on a slow machine is waited for.
        {QStringLiteral("maxExecutionDuration"), ScriptLimitSeconds},
        // The 2D canvas: with no GPU, WebGL is refused anyway, and each refused
        // try costs a rendering context and lines on standard error.
        {QStringLiteral("preferredRenderer"), QStringLiteral("canvas")},
        // A hidden page pauses the player instead of ticking on in a worker.
        {QStringLiteral("backgroundExecutionMode"), QStringLiteral("none")},
    };
    // The settings travel as JSON data; "<" is escaped so nothing in them can
    // close the script element that carries them.
    const QJsonObject data{{QStringLiteral("config"), config}, {QStringLiteral("movieName"), parts.movieName},
                           {QStringLiteral("build"), parts.build}, {QStringLiteral("askKey"), parts.askKey}};
    QString json = QString::fromUtf8(QJsonDocument(data).toJson(QJsonDocument::Compact));
    json.replace(u'<', QStringLiteral("\\u003c"));

    // A family name in CSS quotes: letters, digits, spaces and hyphens only.
    QString family = parts.fontFamily;
    family.removeIf([](QChar c) { return !c.isLetterOrNumber() && c != u' ' && c != u'-'; });

    // The page's name for screen readers is the preview's: its title is the program's.
    return QStringLiteral(
               "<!DOCTYPE html><html aria-label=\"%4\"><head><meta charset=\"utf-8\"><title></title>"
               "<style>html,body{margin:0;height:100%;overflow:hidden;background:%6}"
               "#player{display:block;width:100%;height:100%}"
               "#notice{margin:0;padding:2em;font:14px sans-serif,\"%5\";color:#444;text-align:center}</style>"
               "<script type=\"application/json\" id=\"vidlatch-settings\">%1</script>"
               "%2<script src=\"%3://app/ruffle.js\"></script>"
               "</head><body></body></html>")
        .arg(json, parts.scripts, QLatin1String(PlayerScheme), parts.pageName.toHtmlEscaped(), family,
             parts.background.name());
}

} // namespace vidlatch::platform
