#include "MovieFetch.h"

#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace vidlatch::platform {
namespace {

// The proxy the environment names (http_proxy, no_proxy), as the web engine
// and the transfer control use, for this fetch alone.
class EnvironmentProxy : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        return systemProxyForQuery(query);
    }
};

} // namespace

MovieFetch::MovieFetch(QObject* parent) : QObject(parent), network_(new QNetworkAccessManager(this))
{
    network_->setProxyFactory(new EnvironmentProxy);
}

void MovieFetch::Start(const QUrl& address)
{
    Abandon();
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Accept", "application/x-shockwave-flash, */*");
    tooLarge_ = false;
    reply_ = network_->get(request);
    QNetworkReply* reply = reply_;
    // Stop at the limit, whether the server says the size or not.
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64 total) {
        if (reply == reply_ && (received > MaxMovieBytes || total > MaxMovieBytes)) {
            tooLarge_ = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (reply == reply_)
            Finish();
    });
}

void MovieFetch::Abandon()
{
    if (QNetworkReply* reply = reply_) {
        reply_ = nullptr;
        reply->abort();
    }
}

void MovieFetch::Finish()
{
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (tooLarge_) {
        emit failed(MovieProblem::TooLarge, status);
        return;
    }
    if (status >= 400 || (status != 0 && status < 200) || status / 100 == 3) {
        emit failed(MovieProblem::HttpError, status);
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        emit failed(MovieProblem::Unreachable, status);
        return;
    }
    const QByteArray movie = reply->readAll();
    const MovieVerdict verdict = CheckMovie(movie);
    if (verdict.problem != MovieProblem::None) {
        emit failed(verdict.problem, status);
        return;
    }
    emit fetched(movie, reply->url(), verdict.still);
}

} // namespace vidlatch::platform
