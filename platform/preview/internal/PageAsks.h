#pragma once

#include "AskBudget.h"
#include "MovieAskRule.h"
#include "MovieFetch.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QWebEngineUrlRequestJob;

namespace vidlatch::platform {

class AnswerStream;
class RuleClock;

// What one preview page's movie asks of the network, fetched by the program
// for it: under the key of the movie that plays, within the page's budget,
// with cookies of that movie's own. A new movie ends the asks of the one
// before, and so does the end of this object (the page rebuilt, its renderer
// gone): every fetch is abandoned then, look-ups included, so that nothing
// of a page that is gone goes out.
class PageAsks : public QObject {
    Q_OBJECT

public:
    // `key`: what the page's first movie's asks carry.
    explicit PageAsks(QString key, QObject* parent = nullptr);
    ~PageAsks() override;

    // A key no page can guess.
    [[nodiscard]] static QString NewKey();

    // The key that the asks of the movie playing now carry.
    const QString& key() const { return key_; }
    // A new movie, or its sentence: the asks of the movie before end, and
    // the new movie's start with no cookies, under the key returned. Its own
    // origin leads where it did when the movie came (`cameFromHere`: to this
    // machine or its network), or its asks there are refused.
    [[nodiscard]] QString NewMovie(bool cameFromHere);
    // Fetches `ask`, read from `job` under key(), now or in its turn.
    void Serve(QWebEngineUrlRequestJob* job, MovieAsk ask);

    // How the fetches look names up (the system resolver's, unless a test says).
    void setResolver(MovieFetch::Resolver resolver) { resolver_ = std::move(resolver); }

private:
    // An ask waiting its turn: it gives up at its deadline, its turn come or not.
    struct WaitingAsk {
        QPointer<QWebEngineUrlRequestJob> job;
        MovieAsk ask;
        RuleClock* deadline = nullptr;  // "waiting": the fetch's deadline, from its arrival
    };
    struct StartedAsk {
        QPointer<QWebEngineUrlRequestJob> job;
        QPointer<MovieFetch> fetch;
        QPointer<AnswerStream> answer;  // on its way to the page, once it has begun
    };
    void EndAll();
    void Start(quint64 id, QWebEngineUrlRequestJob* job, const MovieAsk& ask);
    void End(quint64 id);
    void Expire(quint64 id);

    QString key_;
    bool movieCameFromHere_ = false;
    QNetworkAccessManager* network_ = nullptr;  // made at the first ask
    MovieFetch::Resolver resolver_;
    AskBudget budget_;
    QHash<quint64, StartedAsk> started_;
    QHash<quint64, WaitingAsk> waiting_;
    quint64 lastAsk_ = 0;
};

} // namespace vidlatch::platform
