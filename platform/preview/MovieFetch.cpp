#include "MovieFetch.h"

#include "MovieRedirectRule.h"

#include <QHostInfo>
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
    stallWatch_.setInterval(StallMs);
    connect(&stallWatch_, &QTimer::timeout, this, &MovieFetch::CheckProgress);
    deadline_.setSingleShot(true);
    deadline_.setInterval(DeadlineMs);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        if (reply_)
            CutShort(reply_, MovieProblem::TooSlow);
    });
}

void MovieFetch::Start(const QUrl& address)
{
    Abandon();
    QNetworkRequest request(address);
    // Each redirect is ours to allow: a site must not send the fetch where no web page could go.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Accept", "application/x-shockwave-flash, */*");
    cutShort_ = MovieProblem::None;
    redirectStatus_ = 0;
    received_ = receivedAtLastLook_ = 0;
    reply_ = network_->get(request);
    QNetworkReply* reply = reply_;
    connect(reply, &QNetworkReply::redirected, this, [this, reply](const QUrl& to) {
        if (reply != reply_)
            return;
        redirectStatus_ = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        JudgeRedirect(reply, to);
    });
    // Stop at the limit, whether the server says the size or not.
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64 total) {
        if (reply != reply_)
            return;
        received_ = received;
        if (received > MaxMovieBytes || total > MaxMovieBytes) {
            CutShort(reply, MovieProblem::TooLarge);
            return;
        }
        emit progress(received, total);
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (reply == reply_)
            Finish();
    });
    stallWatch_.start();
    deadline_.start();
}

// A name is judged by where it leads, as the system resolver answers it now;
// through a proxy, the proxy resolves it and only the name is judged.
void MovieFetch::JudgeRedirect(QNetworkReply* reply, const QUrl& to)
{
    const QUrl from = reply->url();
    if (!MayFollowMovieRedirect(from, to)) {
        CutShort(reply, MovieProblem::Refused);
        return;
    }
    if (network_->proxyFactory()->queryProxy(QNetworkProxyQuery(to)).value(0).type() != QNetworkProxy::NoProxy) {
        emit reply->redirectAllowed();
        return;
    }
    // The reply waits for the answer; a reply abandoned meanwhile ignores it.
    QHostInfo::lookupHost(to.host(), reply, [this, reply, from, to](const QHostInfo& answer) {
        if (reply != reply_ || reply->isFinished())
            return;
        if (answer.error() != QHostInfo::NoError)
            CutShort(reply, MovieProblem::Unreachable);
        else if (MayFollowMovieRedirect(from, to, answer.addresses()))
            emit reply->redirectAllowed();
        else
            CutShort(reply, MovieProblem::Refused);
    });
}

void MovieFetch::CutShort(QNetworkReply* reply, MovieProblem problem)
{
    cutShort_ = problem;
    reply->abort();
}

void MovieFetch::Abandon()
{
    stallWatch_.stop();
    deadline_.stop();
    if (QNetworkReply* reply = reply_) {
        reply_ = nullptr;
        reply->abort();
    }
}

void MovieFetch::CheckProgress()
{
    if (!reply_)
        return;
    if (received_ - receivedAtLastLook_ < StallBytes) {
        CutShort(reply_, MovieProblem::TimedOut);
        return;
    }
    receivedAtLastLook_ = received_;
}

void MovieFetch::Finish()
{
    stallWatch_.stop();
    deadline_.stop();
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    // Where the network layer gave up on redirects (too many, or one back to
    // the same address) the reply tells no final status: the site's last
    // word was its redirect.
    const int reported = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool noFinalStatus = (reported > 0 && reported < 200) || reply->error() == QNetworkReply::TooManyRedirectsError;
    const int status = noFinalStatus && redirectStatus_ != 0 ? redirectStatus_ : reported;
    if (cutShort_ != MovieProblem::None) {
        emit failed(cutShort_, status);
        return;
    }
    // A redirect the network layer would not follow itself (to a scheme it
    // does not fetch) is refused as one of ours is.
    const QUrl redirect = reply->header(QNetworkRequest::LocationHeader).toUrl();
    if (status / 100 == 3 && !redirect.isEmpty() && !MayFollowMovieRedirect(reply->url(), reply->url().resolved(redirect))) {
        emit failed(MovieProblem::Refused, status);
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
