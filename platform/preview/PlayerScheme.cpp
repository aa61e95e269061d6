#include "PlayerScheme.h"

#include "MovieAskRule.h"

#include <QBuffer>
#include <QFile>
#include <QMimeDatabase>
#include <QUrlQuery>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

#include <utility>

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

QString PlayerSchemeHandler::AdmitPage(const void* owner)
{
    Forget(owner);
    Admitted& page = admitted_[owner];
    page.key = PageAsks::NewKey();
    page.asks = new PageAsks(page.key, this);
    if (resolver_)
        page.asks->setResolver(resolver_);
    return page.key;
}

QString PlayerSchemeHandler::NewMovie(const void* owner, bool cameFromHere)
{
    const auto page = admitted_.find(owner);
    return page == admitted_.end() ? QString() : page->asks->NewMovie(cameFromHere);
}

QString PlayerSchemeHandler::Offer(const void* owner, QByteArray movie)
{
    const auto page = admitted_.find(owner);
    if (page == admitted_.end())
        return {};
    page->token = PageAsks::NewKey();
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
    // Its asks end now, every fetch of them abandoned, look-ups included.
    if (const auto page = admitted_.find(owner); page != admitted_.end()) {
        PageAsks* asks = page->asks;
        admitted_.erase(page);
        delete asks;
    }
}

PageAsks* PlayerSchemeHandler::AskingPage(const QString& askKey)
{
    for (const Admitted& page : std::as_const(admitted_)) {
        if (!askKey.isEmpty() && page.asks->key() == askKey)
            return page.asks;
    }
    return nullptr;
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
    PageAsks* asks = AskingPage(QUrlQuery(job->requestUrl()).queryItemValue(QStringLiteral("key")));
    AskReading reading = ReadMovieAsk(job->requestUrl(), asks ? asks->key() : QString());
    if (reading.refusal != AskRefusal::None) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    asks->Serve(job, std::move(reading.ask));
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
