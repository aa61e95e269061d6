#pragma once

#include "MovieCheck.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace vidlatch::platform {

// Fetches one movie for the preview as the browser plug-in did: through the
// proxy the environment names, following the site's redirects (no CORS
// stands in the way) but never to this machine or its private network (by
// where a name leads, as the resolver answers it, and by how it is written
// where the resolver knows no such name and a proxy will resolve it), at
// most MaxMovieBytes, and checked before the player sees it. It fetches
// what a movie asks of the network the same way, the first address judged
// as a redirect is. A fetch that stalls or takes too long ends, and a new
// Start or Ask abandons the fetch before it.
class MovieFetch : public QObject {
    Q_OBJECT

public:
    // A fetch that brings fewer than StallBytes in any StallMs has stalled: a
    // server that never answers, stops halfway or drips a byte at a time.
    static constexpr int StallMs = 10000;
    static constexpr qint64 StallBytes = 4096;

    // Redirects followed at most, as the web engine follows a page's.
    static constexpr int MaxRedirects = 20;

    // A fetch not done this long after it started ends, however it trickles.
    static constexpr int DeadlineMs = 60000;

    // `network` is shared by many fetches where given (the fetch's own otherwise).
    explicit MovieFetch(QObject* parent = nullptr, QNetworkAccessManager* network = nullptr);
    ~MovieFetch() override;
    // A network of the environment's proxy, for fetches to share.
    [[nodiscard]] static QNetworkAccessManager* NewNetwork(QObject* parent);

    // The StallMs and DeadlineMs of this fetch (tests watch the same rules on
    // a shorter clock).
    void setStallMs(int milliseconds) { stallWatch_.setInterval(milliseconds); }
    int stallMs() const { return stallWatch_.interval(); }
    void setDeadlineMs(int milliseconds) { deadline_.setInterval(milliseconds); }

    void Start(const QUrl& address);

    // What a movie playing in a page of `page`'s origin asks.
    struct MovieRequest {
        QUrl address;
        QUrl page;
        QByteArray method = "GET";
        QByteArray body;
        QByteArray contentType;
    };
    // Fetches what a movie asks: answered, or failed (Refused where its
    // address leads to this machine or its network).
    void Ask(const MovieRequest& request);

    void Abandon();

signals:
    // `movie` is the whole checked body and `finalAddress` where it came from
    // after redirects.
    void fetched(const QByteArray& movie, const QUrl& finalAddress, bool still);
    void failed(MovieProblem problem, int httpStatus);
    // How much has come; `total` is -1 while the site does not say.
    void progress(qint64 received, qint64 total);
    // What a movie asked came, as the site sent it.
    void answered(const QByteArray& body, const QByteArray& contentType);

private:
    void Send(QNetworkRequest request, const QByteArray& method, const QByteArray& body);
    // Where the host of `to` leads: `judged` gets the resolver's addresses,
    // or none where it knows no such name and a proxy will resolve it, or
    // Unreachable where neither.
    void LookUp(const QUrl& to, std::function<void(MovieProblem, const std::optional<QList<QHostAddress>>&)> judged);
    void JudgeRedirect(QNetworkReply* reply, const QUrl& to);
    void CutShort(QNetworkReply* reply, MovieProblem problem);
    void Finish();
    void CheckProgress();

    // A shared network may go first (a page's asks end with their page):
    // a fetch still looking its address up then sends nothing.
    QPointer<QNetworkAccessManager> network_;
    QPointer<QNetworkReply> reply_;
    bool asked_ = false;   // a movie's request: answered as it comes, not checked as a movie
    quint64 attempt_ = 0;  // a look-up of an attempt abandoned since is not heeded
    // Why the fetch was cut short, when it was.
    MovieProblem cutShort_ = MovieProblem::None;
    int redirectStatus_ = 0;  // the status of the last redirect the site sent
    QList<QUrl> visited_;     // the address asked for, then each redirect followed
    QTimer stallWatch_;
    QTimer deadline_;
    qint64 received_ = 0;
    qint64 receivedAtLastLook_ = 0;
};

} // namespace vidlatch::platform
