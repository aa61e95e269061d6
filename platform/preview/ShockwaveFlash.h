#pragma once

#include "MovieCheck.h"
#include "PlayerPage.h"
#include "PlayerPageLink.h"
#include "PreviewMachine.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QUrl>
#include <QWebEngineView>

namespace vidlatch::platform {

class MovieFetch;
class PreviewCover;
class RuleClock;

// The Flash player control of the preview, playing movies with Ruffle. The
// program fetches and checks each movie itself, then hands it to one player
// page. What happens to each movie is the preview machine's to decide (see
// PreviewMachine.h); this control carries it out: it fetches, builds and
// renews the page through its link, runs the clocks the machine starts, and
// covers the movie before from setMovie until the new movie's first frame
// is drawn or a sentence says why it does not play.
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

    // A movie handed to the page shows a frame this long after, while the
    // page can be seen, or the preview says that it did not start, unless
    // its page is at work on it all the while (PreviewMachine::AtWork).
    static constexpr int StartMs = 10000;

signals:
    // The movie last set shows its first frame.
    void movieShown();
    // The movie last set cannot be played; the preview says why.
    void movieFailed(MovieProblem problem);

protected:
    void changeEvent(QEvent* event) override;

private:
    // What a fetch brought: the movie, or the HTTP status of its failure.
    struct Fetched {
        QByteArray movie;
        QUrl finalAddress;
        bool still = false;
        bool cameFromHere = false;  // its address led to this machine or its network
        int httpStatus = 0;
        int stagedToken = 0;
    };

    void Follow(MovieFetch* fetch);
    void On(const PreviewMachine::Input& input);
    void CarryOut(PreviewMachine::Actions actions);
    void OnReport(PlayerPageLink::Report what, int id);
    void BuildPage();
    QJsonObject PlayArguments(const Fetched& fetched) const;
    void HandOver();
    void Stage();

    PreviewMachine machine_;
    PlayerPageLink* link_;
    MovieFetch* fetch_;       // the set movie's
    MovieFetch* aheadFetch_;  // the one ahead of its setMovie
    PreviewCover* cover_;
    QString movie_;
    QString aheadAddress_;
    Fetched fetched_, ahead_;
    RuleClock* startClock_;
};

} // namespace vidlatch::platform
