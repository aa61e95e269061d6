#pragma once

#include "MovieCheck.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace vidlatch::platform {

// Fetches one movie for the preview as the browser plug-in did: through the
// proxy the environment names, following the site's redirects (no CORS
// stands in the way) but never to this machine or its private network (by
// where a name leads, where the fetch connects without a proxy), at
// most MaxMovieBytes, and checked before the player sees it. A fetch that
// stalls or takes too long ends, and a new Start abandons the fetch before it.
class MovieFetch : public QObject {
    Q_OBJECT

public:
    // A fetch that brings fewer than StallBytes in any StallMs has stalled: a
    // server that never answers, stops halfway or drips a byte at a time.
    static constexpr int StallMs = 10000;
    static constexpr qint64 StallBytes = 4096;

    // A fetch not done this long after it started ends, however it trickles.
    static constexpr int DeadlineMs = 60000;

    explicit MovieFetch(QObject* parent = nullptr);

    // The StallMs and DeadlineMs of this fetch (tests watch the same rules on
    // a shorter clock).
    void setStallMs(int milliseconds) { stallWatch_.setInterval(milliseconds); }
    int stallMs() const { return stallWatch_.interval(); }
    void setDeadlineMs(int milliseconds) { deadline_.setInterval(milliseconds); }

    void Start(const QUrl& address);
    void Abandon();

signals:
    // `movie` is the whole checked body and `finalAddress` where it came from
    // after redirects.
    void fetched(const QByteArray& movie, const QUrl& finalAddress, bool still);
    void failed(MovieProblem problem, int httpStatus);
    // How much has come; `total` is -1 while the site does not say.
    void progress(qint64 received, qint64 total);

private:
    void JudgeRedirect(QNetworkReply* reply, const QUrl& to);
    void CutShort(QNetworkReply* reply, MovieProblem problem);
    void Finish();
    void CheckProgress();

    QNetworkAccessManager* network_;
    QPointer<QNetworkReply> reply_;
    // Why the fetch was cut short, when it was.
    MovieProblem cutShort_ = MovieProblem::None;
    int redirectStatus_ = 0;  // the status of the last redirect the site sent
    QTimer stallWatch_;
    QTimer deadline_;
    qint64 received_ = 0;
    qint64 receivedAtLastLook_ = 0;
};

} // namespace vidlatch::platform
