#pragma once

#include "JudgedConnection.h"
#include "MovieCheck.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace vidlatch::platform {

class RuleClock;

// Fetches one movie for the preview as the browser plug-in did: through the
// proxy the environment names, following the site's redirects (no CORS
// stands in the way) but never to this machine or its private network (by
// where a name leads, as the resolver answers it, and by how it is written
// where the resolver knows no such name and a proxy will resolve it), at
// most MaxMovieBytes, and checked before the player sees it. It fetches
// what a movie asks of the network the same way, judged as a redirect is.
// Each connection goes to an address that was judged (the next where one
// does not connect), never to a name looked up again; through a proxy the
// proxy connects, by name. A fetch that stalls or takes too long ends, and a new
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

    void Start(const QUrl& address);

    // What a movie playing in a page of `page`'s origin asks.
    struct MovieRequest {
        QUrl address;
        QUrl page;
        QByteArray method = "GET";
        QByteArray body;
        QByteArray contentType;
        bool movieCameFromHere = false;  // where the movie's own address led (landedHere)
    };
    // Fetches what a movie asks: its answer passed on as it comes
    // (answerBegins, answerPart, then answered), or failed (Refused where
    // its address leads to this machine or its network), before or after
    // it began.
    void Ask(const MovieRequest& request);

    void Abandon();

    // Whether the last address fetched led to this machine or its network.
    bool landedHere() const { return connection_->landedHere(); }

    // How names are looked up (the system resolver's, unless a test says),
    // from the next Start or Ask on.
    using Resolver = JudgedConnection::Resolver;
    void setResolver(Resolver resolver) { connection_->setResolver(std::move(resolver)); }

signals:
    // `movie` is the whole checked body and `finalAddress` where it came from
    // after redirects.
    void fetched(const QByteArray& movie, const QUrl& finalAddress, bool still);
    void failed(MovieProblem problem, int httpStatus);
    // How much has come; `total` is -1 while the site does not say.
    void progress(qint64 received, qint64 total);
    // What a movie asked comes, as the site sends it: its type once, its
    // bytes as they come, then its end.
    void answerBegins(const QByteArray& contentType);
    void answerPart(const QByteArray& bytes);
    void answered();

private:
    // One request of the fetch, by the name it is for.
    using Hop = JudgedConnection::Request;
    void Begin(bool asked);
    // Sends the hop where `rule` lets it go.
    void Go(Hop hop, JudgedConnection::Rule rule);
    // Reads what comes of the request sent.
    void Follow(QNetworkReply* sent);
    void FollowRedirect(QNetworkReply* reply, int status);
    void CutShort(QNetworkReply* reply, MovieProblem problem);
    // What has come of a movie's request, passed on once it is the answer.
    void PassOn(QNetworkReply* reply);
    void Fail(MovieProblem problem, int httpStatus);
    void Finish();
    void CheckProgress();

    // Shared with other fetches where given, and then it may go first (a
    // page's asks end with their page): the connection sends nothing then.
    QPointer<QNetworkAccessManager> network_;
    JudgedConnection* connection_;
    QPointer<QNetworkReply> reply_;
    bool asked_ = false;   // a movie's request: answered as it comes, not checked as a movie
    bool answering_ = false;  // ... and its answer has begun
    quint64 attempt_ = 0;  // a refusal said later of an attempt abandoned since is not said
    // Why the fetch was cut short, when it was.
    MovieProblem cutShort_ = MovieProblem::None;
    int redirectStatus_ = 0;  // the status of the last redirect the site sent
    Hop hop_;                 // the request under way
    QList<QUrl> visited_;     // the address asked for, then each redirect followed
    RuleClock* stallWatch_;
    RuleClock* deadline_;
    qint64 received_ = 0;
    qint64 receivedAtLastLook_ = 0;
};

} // namespace vidlatch::platform
