#pragma once

#include <QString>
#include <QUrl>
#include <QWebEngineView>

namespace vidlatch::platform {

// The Flash player control of the preview, playing movies with Ruffle. Its
// settings carry the control's defaults; those Ruffle knows are passed on.
class ShockwaveFlash : public QWebEngineView {
    Q_OBJECT

public:
    explicit ShockwaveFlash(QWidget* parent = nullptr);
    ~ShockwaveFlash() override;

    // Loads and plays the movie at `address`; the same address again reloads
    // it. A movie of the same origin as the one playing goes into the running
    // player; any other builds the player page anew.
    void setMovie(const QString& address);
    QString Movie() const { return movie_; }

    // Settings, as the control names them.
    QString WMode = QStringLiteral("Window");
    QString Quality = QStringLiteral("High");
    QString ScaleMode = QStringLiteral("ShowAll");
    bool Playing = true;  // "-1"
    bool Loop = true;     // "-1"; Ruffle plays a movie's timeline as the movie says
    bool Menu = true;     // "-1"
    bool DeviceFont = false;
    bool EmbedMovie = false;
    bool SeamlessTabbing = true;
    bool Profile = false;
    int ProfilePort = 0;
    QString AllowNetworking = QStringLiteral("all");
    QString AllowFullScreen = QStringLiteral("false");
    QString Base;
    QString SAlign;
    QString BGColor;
    QString AllowScriptAccess;
    QString FlashVars;

    // The page that plays `movie` with the settings above (exposed for tests).
    QString PlayerPage(const QString& movie) const;

signals:
    // Ruffle has decoded the movie and shows its first frame.
    void movieShown();

private:
    QWebEnginePage* page_;
    QString movie_;
    QUrl playerOrigin_;        // the origin of the player page shown
    bool playerReady_ = false;  // that page has loaded: Ruffle takes new movies
};

} // namespace vidlatch::platform
