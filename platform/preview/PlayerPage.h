#pragma once

#include <QColor>
#include <QString>

namespace vidlatch::platform {

// The settings of the Flash player control, as the control names them, with
// its defaults.
struct PlayerSettings {
    QString WMode = QStringLiteral("Window");
    QString Quality = QStringLiteral("High");
    QString ScaleMode = QStringLiteral("ShowAll");
    bool Playing = true;  // "-1"
    bool Menu = true;     // "-1"
    QString AllowNetworking = QStringLiteral("all");
    QString AllowFullScreen = QStringLiteral("false");
    QString Base;
    QString SAlign;
    QString BGColor;
    QString AllowScriptAccess;  // only "always" lets a movie call into the page
    QString FlashVars;
};

// What the player page is built of besides the settings: the page's own
// scripts (script elements), the names a screen reader reads for the page
// and for the movie, and the program's font family, whose face draws the
// Chinese of the page's sentences as the windows draw theirs (UMing's CN, TW
// or HK; fontconfig would pick one for every region).
struct PlayerPageParts {
    QString scripts;
    QString pageName;
    QString movieName;
    QString fontFamily;
    QColor background;  // the preview's own: a page paints it whatever its renderer
    int build = 0;      // which document this is: its reports say so
    QString askKey;     // what its asks of the network carry: the scheme serves this document only
};

// How long one of a movie's scripts may run before the player stops it, as
// the Flash player's own limit.
constexpr int ScriptLimitSeconds = 15;

// The player page with `settings` and no movie yet: the settings travel as
// JSON data in Ruffle's configuration, never as script text.
[[nodiscard]] QString PlayerPage(const PlayerSettings& settings, const PlayerPageParts& parts);

} // namespace vidlatch::platform
