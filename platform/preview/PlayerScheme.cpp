#include "PlayerScheme.h"

#include "MovieFetch.h"

#include <QBuffer>
#include <QFile>
#include <QMimeDatabase>
#include <QUrlQuery>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace vidlatch::platform {

void RegisterPlayerScheme()
{
    QWebEngineUrlScheme scheme(PlayerScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}

PlayerSchemeHandler::PlayerSchemeHandler(QString playerFolder, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), folder_(std::move(playerFolder))
{
}

QString PlayerSchemeHandler::Offer(const void* owner, QByteArray movie)
{
    const QString token = QString::number(++lastToken_);
    offered_.insert(owner, {token, std::move(movie)});
    return QStringLiteral("%1://movie/%2").arg(QLatin1String(PlayerScheme), token);
}

void PlayerSchemeHandler::Withdraw(const void* owner)
{
    offered_.remove(owner);
}

namespace {

// What a movie asks of the network, fetched by the program for its page:
// {url, method, type (of the body), body (in base64)}.
void ServeMovieRequest(QWebEngineUrlRequestJob* job, QNetworkAccessManager* network)
{
    const QUrlQuery query(job->requestUrl());
    const QByteArray method = query.queryItemValue(QStringLiteral("method")).toLatin1();
    if (method != "GET" && method != "POST" && method != "HEAD") {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    auto* fetch = new MovieFetch(job, network);
    QObject::connect(fetch, &MovieFetch::answered, job, [job](const QByteArray& body, const QByteArray& type) {
        auto* buffer = new QBuffer(job);
        buffer->setData(body);
        job->reply(type.isEmpty() ? QByteArrayLiteral("application/octet-stream") : type, buffer);
    });
    QObject::connect(fetch, &MovieFetch::failed, job, [job](MovieProblem problem) {
        job->fail(problem == MovieProblem::Refused ? QWebEngineUrlRequestJob::RequestDenied
                                                   : QWebEngineUrlRequestJob::RequestFailed);
    });
    fetch->Ask({QUrl(query.queryItemValue(QStringLiteral("url"), QUrl::FullyDecoded), QUrl::StrictMode),
                job->initiator(), method,
                QByteArray::fromBase64(query.queryItemValue(QStringLiteral("body")).toLatin1()),
                query.queryItemValue(QStringLiteral("type"), QUrl::FullyDecoded).toLatin1()});
}

} // namespace

void PlayerSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    const QUrl url = job->requestUrl();
    const QString name = url.path().mid(1);
    if (url.host() == QLatin1String("net")) {
        if (!network_)
            network_ = MovieFetch::NewNetwork(this);
        ServeMovieRequest(job, network_);
        return;
    }
    if (url.host() == QLatin1String("movie")) {
        for (auto it = offered_.begin(); it != offered_.end(); ++it) {
            if (it->token == name) {
                // Served once: the page holds it from now on, the program no longer.
                auto* body = new QBuffer(job);
                body->setData(std::exchange(it->movie, {}));
                offered_.erase(it);
                job->reply("application/x-shockwave-flash", body);
                return;
            }
        }
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    // Plain file names only: nothing outside the player's folder is served.
    if (url.host() != QLatin1String("app") || name.isEmpty() || name.contains(u'/') || name.contains(u'\\') ||
        name.startsWith(u'.')) {
        job->fail(QWebEngineUrlRequestJob::UrlInvalid);
        return;
    }
    auto* file = new QFile(folder_ + u'/' + name, job);
    if (!file->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    static const QMimeDatabase mimeTypes;
    job->reply(mimeTypes.mimeTypeForFile(name, QMimeDatabase::MatchExtension).name().toLatin1(), file);
}

} // namespace vidlatch::platform
