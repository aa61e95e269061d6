#include "MovieFetch.h"

#include "MovieRedirectRule.h"
#include "RuleClock.h"

#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
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
    : QObject(parent), network_(network ? network : NewNetwork(this)),
      stallWatch_(new RuleClock("stall", StallMs, false, this)), deadline_(new RuleClock("deadline", DeadlineMs, true, this))
{
    resolver_ = [this](const QString& host, std::function<void(const QHostInfo&)> answer) {
        QHostInfo::lookupHost(host, this, std::move(answer));
    };
    connect(stallWatch_, &RuleClock::ranOut, this, &MovieFetch::CheckProgress);
    connect(deadline_, &RuleClock::ranOut, this, [this] {
        if (reply_)
            CutShort(reply_, MovieProblem::TooSlow);
        else
            Fail(MovieProblem::TooSlow, redirectStatus_);  // still looking a name up
    });
}

void MovieFetch::Begin(bool asked)
{
    Abandon();
    asked_ = asked;
    answering_ = false;
    cutShort_ = MovieProblem::None;
    redirectStatus_ = 0;
    received_ = receivedAtLastLook_ = 0;
    visited_.clear();
    jar_ = network_ ? network_->cookieJar() : nullptr;
    stallWatch_->start();
    deadline_->start();
}

void MovieFetch::Start(const QUrl& address)
{
    Begin(false);
    visited_ = {address};
    // The movie's own address is the site's: where it leads is noted, not judged.
    Go({address, "GET", {}, {}}, {});
}

void MovieFetch::Ask(const MovieRequest& asked)
{
    Begin(true);
    visited_ = {asked.address};
    const Allowed allowed = [asked](const std::optional<QList<QHostAddress>>& resolved) {
        return MayMovieRequest(asked.page, asked.address, resolved, asked.movieCameFromHere);
    };
    // Refused by how it is written before any look-up; its own origin is
    // judged by where it leads.
    if (!IsSameOrigin(asked.page, asked.address) && !allowed(std::nullopt)) {
        // Said once the caller has its answer in hand, as any failure is.
        QMetaObject::invokeMethod(this, [this, attempt = attempt_] {
            if (attempt == attempt_)
                Fail(MovieProblem::Refused, 0);
        }, Qt::QueuedConnection);
        return;
    }
    Go({asked.address, asked.method, asked.body, asked.contentType}, allowed);
}

void MovieFetch::Go(Hop hop, Allowed allowed)
{
    hop_ = std::move(hop);
    if (!network_) {
        QMetaObject::invokeMethod(this, [this, attempt = attempt_] {
            if (attempt == attempt_)
                Fail(MovieProblem::Unreachable, 0);
        }, Qt::QueuedConnection);
        return;
    }
    QNetworkProxyFactory* proxies = network_->proxyFactory();
    const bool proxied = (proxies ? proxies->queryProxy(QNetworkProxyQuery(hop_.to)).value(0) : network_->proxy()).type() !=
                         QNetworkProxy::NoProxy;
    if (proxied && !allowed) {
        // Nothing to judge, and the proxy connects: no look-up to wait for.
        landedHere_ = LandsHere(hop_.to, std::nullopt);
        untried_.clear();
        Connect(std::nullopt);
        return;
    }
    // An answer may come when the fetch is long gone: it then does nothing.
    resolver_(hop_.to.host(), [this, self = QPointer<MovieFetch>(this), attempt = attempt_, proxied,
                               allowed = std::move(allowed)](const QHostInfo& answer) {
        if (!self || attempt != attempt_)
            return;  // abandoned meanwhile
        std::optional<QList<QHostAddress>> resolved;
        if (answer.error() == QHostInfo::NoError && !answer.addresses().isEmpty())
            resolved = answer.addresses();
        else if (!proxied)
            return Fail(MovieProblem::Unreachable, redirectStatus_);
        if (allowed && !allowed(resolved))
            return Fail(MovieProblem::Refused, redirectStatus_);
        if (!network_)
            return Fail(MovieProblem::Unreachable, redirectStatus_);  // its page went while it looked up
        landedHere_ = LandsHere(hop_.to, resolved);
        // Through a proxy the proxy connects, by name: the user's choice.
        // Otherwise to each address judged in turn, where one does not connect.
        untried_ = proxied ? QList<QHostAddress>() : *resolved;
        Connect(proxied ? std::nullopt : std::optional<QHostAddress>(untried_.takeFirst()));
    });
}

namespace {

// What the Host header says of `url`: its name (or address), and its port where it has one.
QByteArray HostHeader(const QUrl& url)
{
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (url.port() != -1)
        host += ':' + QByteArray::number(url.port());
    return host;
}

} // namespace

void MovieFetch::Connect(const std::optional<QHostAddress>& at)
{
    QNetworkRequest request(hop_.to);
    if (at) {
        // To the address judged, for the name asked: the Host header, the
        // certificate and the cookies are the name's.
        QUrl address = hop_.to;
        address.setHost(at->toString());
        request.setUrl(address);
        request.setRawHeader("Host", HostHeader(hop_.to));
        request.setPeerVerifyName(hop_.to.host(QUrl::FullyDecoded));
        request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);  // its :authority would be the address
    }
    // The cookies are those of the movie the fetch began for, whatever
    // movie plays by the time it is answered.
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    if (jar_) {
        const QList<QNetworkCookie> cookies = jar_->cookiesForUrl(hop_.to);
        if (!cookies.isEmpty())
            request.setHeader(QNetworkRequest::CookieHeader, QVariant::fromValue(cookies));
    }
    if (!asked_)
        request.setRawHeader("Accept", "application/x-shockwave-flash, */*");
    if (!hop_.contentType.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, hop_.contentType);
    // Each redirect is ours to judge, and to connect where it was judged.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // What a compressed answer inflates to is held to MaxMovieBytes below,
    // and then said to be too large, as it is: Qt's own check would end it
    // sooner as an error of the connection.
    request.setDecompressedSafetyCheckThreshold(-1);
    reply_ = network_->sendCustomRequest(request, hop_.method, hop_.body);
    QNetworkReply* reply = reply_;
    received_ = receivedAtLastLook_ = 0;
    stallWatch_->start();  // the look-up's time is the deadline's, not the stall's
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
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        if (reply == reply_)
            PassOn(reply);
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (reply == reply_)
            Finish();
    });
}

// A site's redirect: judged by where it leads, as the system resolver
// answers it now, proxy or not (a proxy on this machine would lead it here
// as well), then fetched from there, as a web page's is.
void MovieFetch::FollowRedirect(QNetworkReply* reply, int status)
{
    redirectStatus_ = status;
    const QUrl from = hop_.to;
    const QUrl to = from.resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
    if (!MayFollowMovieRedirect(from, to))
        return Fail(MovieProblem::Refused, status);
    // A site that sends the fetch round in a circle, or on without end, has
    // no movie to give.
    if (visited_.contains(to) || visited_.size() > MaxRedirects)
        return Fail(MovieProblem::HttpError, status);
    visited_.append(to);
    Hop next = hop_;
    next.to = to;
    if (status == 303 || ((status == 301 || status == 302) && hop_.method == "POST"))
        next = {to, "GET", {}, {}};
    Go(std::move(next), [from, to](const std::optional<QList<QHostAddress>>& resolved) {
        return MayFollowMovieRedirect(from, to, resolved);
    });
}

// Only a success's body is the answer: a redirect's or an error's stays
// with its reply.
void MovieFetch::PassOn(QNetworkReply* reply)
{
    if (!asked_ || reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() / 100 != 2)
        return;
    if (!answering_) {
        answering_ = true;
        emit answerBegins(reply->header(QNetworkRequest::ContentTypeHeader).toByteArray());
    }
    emit answerPart(reply->readAll());
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
    stallWatch_->stop();
    deadline_->stop();
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

void MovieFetch::Fail(MovieProblem problem, int httpStatus)
{
    Abandon();
    emit failed(problem, httpStatus);
}

namespace {

// The request never reached a server at that address: another may answer.
bool NeverConnected(QNetworkReply::NetworkError error)
{
    return error == QNetworkReply::ConnectionRefusedError || error == QNetworkReply::HostNotFoundError ||
           error == QNetworkReply::UnknownNetworkError || error == QNetworkReply::TemporaryNetworkFailureError ||
           error == QNetworkReply::NetworkSessionFailedError;
}

} // namespace

void MovieFetch::Finish()
{
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (jar_)
        jar_->setCookiesFromUrl(reply->header(QNetworkRequest::SetCookieHeader).value<QList<QNetworkCookie>>(),
                                                 hop_.to);
    if (cutShort_ != MovieProblem::None)
        return Fail(cutShort_, status != 0 ? status : redirectStatus_);
    if (status / 100 == 3 && reply->hasRawHeader("Location"))
        return FollowRedirect(reply, status);
    if (status >= 400 || (status != 0 && status < 200) || status / 100 == 3)
        return Fail(MovieProblem::HttpError, status);
    if (reply->error() != QNetworkReply::NoError) {
        if (status == 0 && !untried_.isEmpty() && NeverConnected(reply->error()))
            return Connect(untried_.takeFirst());
        return Fail(MovieProblem::Unreachable, status != 0 ? status : redirectStatus_);
    }
    stallWatch_->stop();
    deadline_->stop();
    if (asked_) {
        PassOn(reply);
        emit answered();
        return;
    }
    const QByteArray movie = reply->readAll();
    const MovieVerdict verdict = CheckMovie(movie);
    if (verdict.problem != MovieProblem::None) {
        emit failed(verdict.problem, status);
        return;
    }
    emit fetched(movie, hop_.to, verdict.still);
}

} // namespace vidlatch::platform
