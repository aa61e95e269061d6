#pragma once

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
// scripts (script elements), and the names a screen reader reads for the
// page and for the movie.
struct PlayerPageParts {
    QString scripts;
    QString pageName;
    QString movieName;
};

// The player page with `settings` and no movie yet: the settings travel as
// JSON data in Ruffle's configuration, never as script text.
[[nodiscard]] QString PlayerPage(const PlayerSettings& settings, const PlayerPageParts& parts);

} // namespace vidlatch::platform
