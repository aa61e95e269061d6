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

QNetworkAccessManager* MovieFetch::NewNetwork(QObject* parent)
{
    auto* network = new QNetworkAccessManager(parent);
    network->setProxyFactory(new EnvironmentProxy);
    return network;
}

MovieFetch::MovieFetch(QObject* parent, QNetworkAccessManager* network)
    : QObject(parent), network_(network ? network : NewNetwork(this))
{
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
    asked_ = false;
    QNetworkRequest request(address);
    request.setRawHeader("Accept", "application/x-shockwave-flash, */*");
    Send(request, "GET", {});
}

void MovieFetch::Ask(const MovieRequest& asked)
{
    Abandon();
    asked_ = true;
    QNetworkRequest request(asked.address);
    if (!asked.contentType.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, asked.contentType);
    const auto refused = [this](MovieProblem problem) {
        // Said once the caller has its answer in hand, as any failure is.
        QMetaObject::invokeMethod(this, [this, problem] { emit failed(problem, 0); }, Qt::QueuedConnection);
    };
    if (!MayMovieRequest(asked.page, asked.address)) {
        refused(MovieProblem::Refused);
        return;
    }
    if (IsSameOrigin(asked.page, asked.address)) {
        Send(request, asked.method, asked.body);
        return;
    }
    LookUp(asked.address, [this, asked, request, refused](MovieProblem problem, const auto& resolved) {
        if (problem != MovieProblem::None)
            refused(problem);
        else if (!MayMovieRequest(asked.page, asked.address, resolved))
            refused(MovieProblem::Refused);
        else
            Send(request, asked.method, asked.body);
    });
}

void MovieFetch::LookUp(const QUrl& to,
                        std::function<void(MovieProblem, const std::optional<QList<QHostAddress>>&)> judged)
{
    const bool proxied =
        network_->proxyFactory()->queryProxy(QNetworkProxyQuery(to)).value(0).type() != QNetworkProxy::NoProxy;
    QHostInfo::lookupHost(to.host(), this, [this, attempt = attempt_, proxied, judged = std::move(judged)](const QHostInfo& answer) {
        if (attempt != attempt_)
            return;  // abandoned meanwhile
        if (answer.error() == QHostInfo::NoError)
            judged(MovieProblem::None, answer.addresses());
        else
            judged(proxied ? MovieProblem::None : MovieProblem::Unreachable, std::nullopt);
    });
}

void MovieFetch::Send(QNetworkRequest request, const QByteArray& method, const QByteArray& body)
{
    // Each redirect is ours to allow: a site must not send the fetch where no web page could go.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    cutShort_ = MovieProblem::None;
    redirectStatus_ = 0;
    received_ = receivedAtLastLook_ = 0;
    // Followed as a web page's are, as far and no further, whatever the Qt
    // version's own default.
    request.setMaximumRedirectsAllowed(MaxRedirects);
    visited_ = {request.url()};
    if (!network_) {
        QMetaObject::invokeMethod(this, [this] { emit failed(MovieProblem::Unreachable, 0); }, Qt::QueuedConnection);
        return;
    }
    reply_ = network_->sendCustomRequest(request, method, body);
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

// A name is judged by where it leads, as the system resolver answers it now,
// proxy or not: a proxy on this machine would lead it here as well.
void MovieFetch::JudgeRedirect(QNetworkReply* reply, const QUrl& to)
{
    // The reply already names the address it is sent to: where it was sent
    // from is the last address this fetch followed.
    const QUrl from = visited_.last();
    if (!MayFollowMovieRedirect(from, to)) {
        CutShort(reply, MovieProblem::Refused);
        return;
    }
    // A site that sends the fetch round in a circle has no movie to give:
    // said at once, not after a look-up on every turn.
    if (visited_.contains(to)) {
        CutShort(reply, MovieProblem::HttpError);
        return;
    }
    // The reply waits for the answer; a reply abandoned meanwhile ignores it.
    LookUp(to, [this, reply = QPointer<QNetworkReply>(reply), from, to](MovieProblem problem, const auto& resolved) {
        if (!reply || reply != reply_ || reply->isFinished())
            return;
        if (problem != MovieProblem::None) {
            CutShort(reply, problem);
        } else if (!MayFollowMovieRedirect(from, to, resolved)) {
            CutShort(reply, MovieProblem::Refused);
        } else {
            visited_.append(to);
            emit reply->redirectAllowed();
        }
    });
}

void MovieFetch::CutShort(QNetworkReply* reply, MovieProblem problem)
{
    cutShort_ = problem;
    reply->abort();
}

// A shared network outlives the fetch: its reply goes with it.
MovieFetch::~MovieFetch()
{
    Abandon();
}

void MovieFetch::Abandon()
{
    ++attempt_;
    stallWatch_.stop();
    deadline_.stop();
    if (QNetworkReply* reply = reply_) {
        reply_ = nullptr;
        reply->abort();
        reply->deleteLater();
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
    if (asked_) {
        emit answered(reply->readAll(), reply->header(QNetworkRequest::ContentTypeHeader).toByteArray());
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
