#pragma once

#include "MovieCheck.h"

#include <QString>
#include <QUrl>
#include <QWebEngineView>

namespace vidlatch::platform {

class MovieFetch;

// The Flash player control of the preview, playing movies with Ruffle. The
// program fetches and checks each movie itself, then hands it to one player
// page; the page stays while movies come from its origin. A movie of another
// origin, a lost renderer or a page that stops answering gets the page built
// anew; a large movie before, or a few dozen movies, a new page and renderer.
class ShockwaveFlash : public QWebEngineView {
    Q_OBJECT

public:
    explicit ShockwaveFlash(QWidget* parent = nullptr);
    ~ShockwaveFlash() override;

    // Loads and plays the movie at `address`; the same address again plays
    // it again. A movie that cannot be played shows why, in a sentence.
    void setMovie(const QString& address);
    QString Movie() const { return movie_; }

    // Settings, as the control names them, with its defaults.
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

    // The player page with the settings above, and no movie yet (exposed for tests).
    QString PlayerPage() const;

signals:
    // The movie last set shows its first frame.
    void movieShown();
    // The movie last set cannot be played; the preview says why.
    void movieFailed(MovieProblem problem);

private:
    // A new page, in a renderer of its own once the old page is gone.
    void ReplacePage();
    void BuildPage(const QUrl& origin);
    void OnFetched(const QByteArray& movie, const QUrl& finalAddress, bool still);
    void OnFailed(MovieProblem problem, int httpStatus);
    void OnTitle(const QString& title);
    // Hands the movie (or why it failed) to the page once both are ready.
    void Deliver();

    QWebEnginePage* page_ = nullptr;
    MovieFetch* fetch_;
    QString movie_;
    int serial_ = 0;  // which setMovie the page's answers are about

    QUrl pageOrigin_;
    bool pageReady_ = false;
    bool freshPageDue_ = false;  // the last movie was large: its memory goes with its page
    int moviesInPage_ = 0;

    // The movie of the last setMovie, once fetched: a call to the page
    // (vidlatchPlay or vidlatchFail) with its JSON argument.
    QString delivery_;
    bool delivered_ = false;
    MovieProblem problem_ = MovieProblem::None;
};

} // namespace vidlatch::platform
