#pragma once

#include "MovieCheck.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace vidlatch::platform {

// Fetches one movie for the preview as the browser plug-in did: through the
// proxy the environment names, following redirects to any host (no CORS
// stands in the way), at most MaxMovieBytes, and checked before the player
// sees it. A new Start abandons the fetch before it.
class MovieFetch : public QObject {
    Q_OBJECT

public:
    explicit MovieFetch(QObject* parent = nullptr);

    void Start(const QUrl& address);
    void Abandon();

signals:
    // `movie` is the whole checked body and `finalAddress` where it came from
    // after redirects.
    void fetched(const QByteArray& movie, const QUrl& finalAddress, bool still);
    void failed(MovieProblem problem, int httpStatus);

private:
    void Finish();

    QNetworkAccessManager* network_;
    QPointer<QNetworkReply> reply_;
    bool tooLarge_ = false;
};

} // namespace vidlatch::platform
