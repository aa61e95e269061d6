#include "PlayerScheme.h"

#include "AnswerStream.h"
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

#include <memory>
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
    page.askKey = page.key;
    return page.key;
}

QString PlayerSchemeHandler::NewMovie(const void* owner, bool cameFromHere)
{
    const auto page = admitted_.find(owner);
    if (page == admitted_.end())
        return {};
    page->movieCameFromHere = cameFromHere;
    // Asks of the movie before still on their way from the page carry its key.
    page->askKey = RandomKey();
    // The movie before is gone: what it asked would hold the page's budget,
    // and the new movie's asks would wait behind it.
    const QHash<quint64, StartedAsk> started = std::exchange(page->started, {});
    const QHash<quint64, WaitingAsk> waiting = std::exchange(page->waiting, {});
    page->budget = AskBudget();
    for (const StartedAsk& ask : started) {
        if (ask.fetch)
            ask.fetch->Abandon();
        // An answer begun fails at the page's next read, which only its stream can ask for.
        if (ask.answer)
            ask.answer->Fail();
        if (ask.job)
            ask.job->fail(QWebEngineUrlRequestJob::RequestAborted);
    }
    for (const WaitingAsk& ask : waiting) {
        if (ask.job)
            ask.job->fail(QWebEngineUrlRequestJob::RequestAborted);
    }
    if (page->network)
        page->network->setCookieJar(new QNetworkCookieJar);  // the one before goes with it
    return page->askKey;
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
    // Asks under way end with their network, once the event loop has let
    // go of them; those waiting end now.
    if (const auto page = admitted_.find(owner); page != admitted_.end()) {
        if (page->network)
            page->network->deleteLater();
        const QHash<quint64, WaitingAsk> waiting = std::move(page->waiting);
        admitted_.erase(page);
        for (const WaitingAsk& ask : waiting) {
            if (ask.job)
                ask.job->fail(QWebEngineUrlRequestJob::RequestAborted);
        }
    }
}

PlayerSchemeHandler::Admitted* PlayerSchemeHandler::AskingPage(const QString& askKey)
{
    for (Admitted& page : admitted_) {
        if (!askKey.isEmpty() && page.askKey == askKey)
            return &page;
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
// plays in, built from what the ask rule takes of it and nothing else, within
// the page's budget.
void PlayerSchemeHandler::ServeAsk(QWebEngineUrlRequestJob* job)
{
    const QString key = QUrlQuery(job->requestUrl()).queryItemValue(QStringLiteral("key"));
    Admitted* page = AskingPage(key);
    AskReading reading = ReadMovieAsk(job->requestUrl(), page ? page->askKey : QString());
    if (reading.refusal != AskRefusal::None) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    const quint64 id = ++lastAsk_;
    const AskBudget::Turn turn = page->budget.Arrive(id, reading.ask.body.size());
    if (turn == AskBudget::Turn::Never) {
        job->fail(QWebEngineUrlRequestJob::RequestFailed);
        return;
    }
    // However it ends, its answer read or not, its place goes to the next.
    QObject::connect(job, &QObject::destroyed, this, [this, key, id] { EndAsk(key, id); });
    if (turn == AskBudget::Turn::Now) {
        StartAsk(*page, id, job, reading.ask);
        return;
    }
    WaitingAsk& waiting = page->waiting[id];
    waiting.job = job;
    waiting.ask = std::move(reading.ask);
    waiting.since.start();
}

void PlayerSchemeHandler::StartAsk(Admitted& page, quint64 id, QWebEngineUrlRequestJob* job, const MovieAsk& ask)
{
    if (!page.network)
        page.network = MovieFetch::NewNetwork(this);
    auto* fetch = new MovieFetch(job, page.network);
    // The answer goes on to the page as it comes; cut short, it fails there,
    // never ends as if whole.
    auto* answer = new AnswerStream(job);
    page.started.insert(id, {job, fetch, answer});
    const QString key = page.askKey;
    const auto begun = std::make_shared<bool>(false);
    const auto begin = [job, answer, begun](const QByteArray& type) {
        if (!std::exchange(*begun, true))
            job->reply(type.isEmpty() ? QByteArrayLiteral("application/octet-stream") : type, answer);
    };
    const auto fail = [job, answer](QWebEngineUrlRequestJob::Error error) {
        answer->Fail();  // where it has begun
        job->fail(error);
    };
    // What has come counts against the page's budget until the page has
    // read it all (the job goes then).
    const auto held = [this, key, id, fetch, fail](qint64 bytes) {
        Admitted* owner = AskingPage(key);
        if (owner && owner->budget.Hold(id, bytes))
            return;
        fetch->Abandon();
        fail(QWebEngineUrlRequestJob::RequestFailed);
    };
    QObject::connect(fetch, &MovieFetch::progress, job, [held](qint64 received, qint64) { held(received); });
    QObject::connect(fetch, &MovieFetch::answerBegins, job, begin);
    QObject::connect(fetch, &MovieFetch::answerPart, job, [answer](const QByteArray& bytes) { answer->Append(bytes); });
    QObject::connect(fetch, &MovieFetch::answered, job, [answer, begin] {
        begin({});  // an empty answer begins as it ends
        answer->End();
    });
    QObject::connect(fetch, &MovieFetch::failed, job, [fail](MovieProblem problem) {
        fail(problem == MovieProblem::Refused ? QWebEngineUrlRequestJob::RequestDenied : QWebEngineUrlRequestJob::RequestFailed);
    });
    fetch->Ask({ask.address, job->initiator(), ask.method, ask.body, ask.contentType, page.movieCameFromHere});
}

void PlayerSchemeHandler::EndAsk(const QString& key, quint64 id)
{
    Admitted* page = AskingPage(key);
    if (!page)
        return;
    page->waiting.remove(id);
    page->started.remove(id);
    QList<quint64> next = page->budget.End(id);
    while (!next.isEmpty()) {
        const quint64 started = next.takeFirst();
        const WaitingAsk waiting = page->waiting.take(started);
        if (waiting.job && waiting.since.elapsed() < MovieFetch::DeadlineMs) {
            StartAsk(*page, started, waiting.job, waiting.ask);
            continue;
        }
        // Gone, or its turn came too late: it fails, and its place is free.
        if (waiting.job)
            waiting.job->fail(QWebEngineUrlRequestJob::RequestFailed);
        next += page->budget.End(started);
    }
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
