#include "MovieFetch.h"

#include "MovieRedirectRule.h"
#include "RuleClock.h"

#include <QNetworkAccessManager>
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
    : QObject(parent), network_(network ? network : NewNetwork(this)), connection_(new JudgedConnection(network_, this)),
      stallWatch_(new RuleClock("stall", StallMs, false, this)), deadline_(new RuleClock("deadline", DeadlineMs, true, this))
{
    connect(connection_, &JudgedConnection::sent, this, &MovieFetch::Follow);
    connect(connection_, &JudgedConnection::refused, this, [this] { Fail(MovieProblem::Refused, redirectStatus_); });
    connect(connection_, &JudgedConnection::unreachable, this, [this] { Fail(MovieProblem::Unreachable, redirectStatus_); });
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
    // Its cookies are those of the network's jar now: the movie's it begins for.
    connection_->setCookieJar(network_ ? network_->cookieJar() : nullptr);
    stallWatch_->start();
    deadline_->start();
}

void MovieFetch::Start(const QUrl& address)
{
    Begin(false);
    visited_ = {address};
    // The movie's own address is the site's: where it leads is noted, not judged.
    Go({address, "GET", {}, {}, {}}, JudgedConnection::NotedOnly());
}

void MovieFetch::Ask(const MovieRequest& asked)
{
    Begin(true);
    visited_ = {asked.address};
    const JudgedConnection::Judge allowed = [asked](const std::optional<QList<QHostAddress>>& resolved) {
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
    Go({asked.address, asked.method, asked.body, asked.contentType, {}}, {allowed});
}

void MovieFetch::Go(Hop hop, JudgedConnection::Rule rule)
{
    hop_ = std::move(hop);
    if (!asked_)
        hop_.accept = "application/x-shockwave-flash, */*";
    connection_->Open(hop_, std::move(rule));
}

void MovieFetch::Follow(QNetworkReply* sent)
{
    reply_ = sent;
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
        next = {to, "GET", {}, {}, {}};
    Go(std::move(next), {[from, to](const std::optional<QList<QHostAddress>>& resolved) {
        return MayFollowMovieRedirect(from, to, resolved);
    }});
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
    connection_->Close();
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

void MovieFetch::Finish()
{
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    connection_->KeepCookies(reply);
    if (cutShort_ != MovieProblem::None)
        return Fail(cutShort_, status != 0 ? status : redirectStatus_);
    if (status / 100 == 3 && reply->hasRawHeader("Location"))
        return FollowRedirect(reply, status);
    if (status >= 400 || (status != 0 && status < 200) || status / 100 == 3)
        return Fail(MovieProblem::HttpError, status);
    if (reply->error() != QNetworkReply::NoError) {
        if (connection_->TryNext(reply))
            return;
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
