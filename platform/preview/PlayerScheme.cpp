#include "PlayerScheme.h"

#include "MovieAskRule.h"
#include "MovieFetch.h"

#include <QBuffer>
#include <QFile>
#include <QMimeDatabase>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QRandomGenerator>
#include <QUrlQuery>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

#include <algorithm>

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

namespace {

// Random, so that no page can guess another's key or a movie's address.
QString RandomKey()
{
    QByteArray bytes(16, Qt::Uninitialized);
    QRandomGenerator::system()->generate(bytes.begin(), bytes.end());
    return QString::fromLatin1(bytes.toHex());
}

} // namespace

QString PlayerSchemeHandler::AdmitPage(const void* owner)
{
    Forget(owner);
    Admitted& page = admitted_[owner];
    page.key = RandomKey();
    return page.key;
}

void PlayerSchemeHandler::NewMovie(const void* owner)
{
    const auto page = admitted_.find(owner);
    if (page != admitted_.end() && page->network)
        page->network->setCookieJar(new QNetworkCookieJar);  // the one before goes with it
}

QString PlayerSchemeHandler::Offer(const void* owner, QByteArray movie)
{
    const auto page = admitted_.find(owner);
    if (page == admitted_.end())
        return {};
    page->token = RandomKey();
    page->movie = std::move(movie);
    return QStringLiteral("%1://movie/%2?key=%3").arg(QLatin1String(PlayerScheme), page->token, page->key);
}

void PlayerSchemeHandler::Withdraw(const void* owner)
{
    const auto page = admitted_.find(owner);
    if (page != admitted_.end()) {
        page->token.clear();
        page->movie.clear();
    }
}

void PlayerSchemeHandler::Forget(const void* owner)
{
    // Asks under way end with their network.
    if (const auto page = admitted_.find(owner); page != admitted_.end()) {
        delete page->network;
        admitted_.erase(page);
    }
}

void PlayerSchemeHandler::ServeMovie(QWebEngineUrlRequestJob* job, const QString& token)
{
    const QString key = QUrlQuery(job->requestUrl()).queryItemValue(QStringLiteral("key"));
    for (Admitted& page : admitted_) {
        if (!token.isEmpty() && page.token == token && page.key == key) {
            // Served once: the page holds it from now on.
            auto* body = new QBuffer(job);
            body->setData(std::exchange(page.movie, {}));
            page.token.clear();
            job->reply("application/x-shockwave-flash", body);
            return;
        }
    }
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
}

// What a movie asks of the network, fetched by the program for the page it
// plays in, built from what the ask rule takes of it and nothing else.
void PlayerSchemeHandler::ServeAsk(QWebEngineUrlRequestJob* job)
{
    const QString key = QUrlQuery(job->requestUrl()).queryItemValue(QStringLiteral("key"));
    const auto page = std::find_if(admitted_.begin(), admitted_.end(), [&](const Admitted& p) { return p.key == key; });
    const AskReading reading = ReadMovieAsk(job->requestUrl(), page == admitted_.end() ? QString() : page->key);
    if (reading.refusal != AskRefusal::None) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    if (!page->network)
        page->network = MovieFetch::NewNetwork(this);
    auto* fetch = new MovieFetch(job, page->network);
    QObject::connect(fetch, &MovieFetch::answered, job, [job](const QByteArray& body, const QByteArray& type) {
        auto* buffer = new QBuffer(job);
        buffer->setData(body);
        job->reply(type.isEmpty() ? QByteArrayLiteral("application/octet-stream") : type, buffer);
    });
    QObject::connect(fetch, &MovieFetch::failed, job, [job](MovieProblem problem) {
        job->fail(problem == MovieProblem::Refused ? QWebEngineUrlRequestJob::RequestDenied
                                                   : QWebEngineUrlRequestJob::RequestFailed);
    });
    const MovieAsk& ask = reading.ask;
    fetch->Ask({ask.address, job->initiator(), ask.method, ask.body, ask.contentType});
}

void PlayerSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    const QUrl url = job->requestUrl();
    const QString name = url.path().mid(1);
    if (url.host() == QLatin1String("net")) {
        ServeAsk(job);
        return;
    }
    if (url.host() == QLatin1String("movie")) {
        ServeMovie(job, name);
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
