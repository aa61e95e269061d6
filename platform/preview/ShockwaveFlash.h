#pragma once

#include "MovieCheck.h"
#include "PlayerPage.h"
#include "RendererProcess.h"

#include <QJsonObject>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

#include <functional>

namespace vidlatch::platform {

class MovieFetch;
class PreviewCover;

// The Flash player control of the preview, playing movies with Ruffle. The
// program fetches and checks each movie itself, then hands it to one player
// page; the page stays while movies come from its origin. A movie of another
// origin, a lost renderer or a page that stops answering gets the page built
// anew; a large movie before, or a few dozen movies, a new page and renderer.
// From setMovie until the new movie's first frame (or why it failed) the
// movie before is covered, and a page that does not answer within
// PageAnswerMs is ended with its renderer.
class ShockwaveFlash : public QWebEngineView, public PlayerSettings {
    Q_OBJECT

public:
    explicit ShockwaveFlash(QWidget* parent = nullptr);
    ~ShockwaveFlash() override;

    // Loads and plays the movie at `address`; the same address again plays
    // it again. A movie that cannot be played shows why, in a sentence.
    void setMovie(const QString& address);
    QString Movie() const { return movie_; }
    // Starts fetching the movie at `address` for a setMovie of the same
    // address soon after; the preview shows nothing new until then.
    void Prefetch(const QString& address);

    static constexpr int PageAnswerMs = 1000;

signals:
    // The movie last set shows its first frame.
    void movieShown();
    // The movie last set cannot be played; the preview says why.
    void movieFailed(MovieProblem problem);

protected:
    void changeEvent(QEvent* event) override;

private:
    // A new page, in a renderer of its own once the old page is gone.
    void ReplacePage();
    void BuildPage(const QUrl& origin);
    void StartFetch(const QString& address);
    // `staged`: the token under which the page holds this movie already, or 0.
    void OnFetched(const QByteArray& movie, const QUrl& finalAddress, bool still, int staged = 0);
    // What the page needs to play a fetched movie, but the serial.
    QJsonObject PlayArguments(const QByteArray& movie, const QUrl& finalAddress, bool still) const;
    // Hands a prefetched movie to the page ahead of its setMovie, where it
    // can; the token it is held under, or 0.
    int Stage(const QByteArray& movie, const QUrl& finalAddress, bool still);
    void OnFailed(MovieProblem problem, int httpStatus);
    void OnTitle(const QString& title);
    // Hands the movie (or why it failed) to the page once both are ready.
    void Deliver();
    // Calls the page; `answered` gets its answer, unless the page is gone by then.
    void CallPage(const QString& script, std::function<void(const QVariant&)> answered = {});
    void OnRendererGone();
    // Ends the renderer of a page that has not answered; a new one takes the movie.
    void EndStuckPage();

    QWebEnginePage* page_ = nullptr;
    MovieFetch* fetch_;
    PreviewCover* cover_;
    QString movie_;
    QUrl movieOrigin_;  // where the movie comes from, after redirects once fetched
    int serial_ = 0;    // which setMovie the page's answers are about

    // The fetch: for which address, whether it is ahead of its setMovie, and
    // what it brought before that came.
    QString fetching_;
    bool prefetching_ = false;
    std::function<void()> held_;
    int lastStaged_ = 0;

    QUrl pageOrigin_;
    bool pageReady_ = false;
    bool freshPageDue_ = false;  // the last movie was large: its memory goes with its page
    int moviesInPage_ = 0;

    // The movie of the last setMovie, once fetched: a call to the page
    // (vidlatchPlay or vidlatchFail) with its JSON argument.
    QString delivery_;
    bool delivered_ = false;
    MovieProblem problem_ = MovieProblem::None;

    // The page owes an answer to the last call until the watch is stopped.
    QTimer answerWatch_;
    int lastCall_ = 0;
    int endedFor_ = 0;  // the serial whose page was ended: once a movie, a slow page gets its time
    RendererProcess renderer_;
};

} // namespace vidlatch::platform
