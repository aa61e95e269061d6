#include "PageAsks.h"

#include "AnswerStream.h"
#include "RuleClock.h"

#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QRandomGenerator>
#include <QWebEngineUrlRequestJob>

#include <memory>
#include <utility>

namespace vidlatch::platform {

PageAsks::PageAsks(QString key, QObject* parent) : QObject(parent), key_(std::move(key))
{
}

PageAsks::~PageAsks()
{
    EndAll();
}

QString PageAsks::NewKey()
{
    QByteArray bytes(16, Qt::Uninitialized);
    QRandomGenerator::system()->generate(bytes.begin(), bytes.end());
    return QString::fromLatin1(bytes.toHex());
}

QString PageAsks::NewMovie(bool cameFromHere)
{
    movieCameFromHere_ = cameFromHere;
    // Asks of the movie before still on their way from the page carry its key.
    key_ = NewKey();
    // The movie before is gone: what it asked would hold the page's budget,
    // and the new movie's asks would wait behind it.
    EndAll();
    if (network_)
        network_->setCookieJar(new QNetworkCookieJar);  // the one before goes with it
    return key_;
}

// Every fetch is abandoned before its job hears of it, so that nothing it
// was about to do (a look-up answered, a request sent) happens after.
void PageAsks::EndAll()
{
    const QHash<quint64, StartedAsk> started = std::exchange(started_, {});
    const QHash<quint64, WaitingAsk> waiting = std::exchange(waiting_, {});
    budget_ = AskBudget();
    for (const StartedAsk& ask : started) {
        if (ask.fetch)
            ask.fetch->Abandon();
    }
    for (const StartedAsk& ask : started) {
        // An answer begun fails at the page's next read, which only its stream can ask for.
        if (ask.answer)
            ask.answer->Fail();
        if (ask.job)
            ask.job->fail(QWebEngineUrlRequestJob::RequestAborted);
    }
    for (const WaitingAsk& ask : waiting) {
        delete ask.deadline;
        if (ask.job)
            ask.job->fail(QWebEngineUrlRequestJob::RequestAborted);
    }
}

void PageAsks::Serve(QWebEngineUrlRequestJob* job, MovieAsk ask)
{
    const quint64 id = ++lastAsk_;
    // What the ask holds until it ends: its address (the job's, which carries
    // the body too) and its body, read.
    const qint64 cost = job->requestUrl().toEncoded().size() + ask.body.size();
    const AskBudget::Turn turn = budget_.Arrive(id, cost);
    if (turn == AskBudget::Turn::Never) {
        job->fail(QWebEngineUrlRequestJob::RequestFailed);
        return;
    }
    // However it ends, its answer read or not, its place goes to the next.
    connect(job, &QObject::destroyed, this, [this, id] { End(id); });
    if (turn == AskBudget::Turn::Now) {
        Start(id, job, ask);
        return;
    }
    // It gives up at the deadline a fetch has, its turn come or not.
    auto* deadline = new RuleClock("waiting", MovieFetch::DeadlineMs, true, this);
    connect(deadline, &RuleClock::ranOut, this, [this, id] { Expire(id); });
    deadline->start();
    waiting_.insert(id, {job, std::move(ask), deadline});
}

void PageAsks::Start(quint64 id, QWebEngineUrlRequestJob* job, const MovieAsk& ask)
{
    if (!network_)
        network_ = MovieFetch::NewNetwork(this);
    auto* fetch = new MovieFetch(job, network_);
    if (resolver_)
        fetch->setResolver(resolver_);
    // The answer goes on to the page as it comes; cut short, it fails there,
    // never ends as if whole.
    auto* answer = new AnswerStream(job);
    started_.insert(id, {job, fetch, answer});
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
    connect(fetch, &MovieFetch::progress, this, [this, id, fetch, fail](qint64 received, qint64) {
        if (budget_.Hold(id, received))
            return;
        fetch->Abandon();
        fail(QWebEngineUrlRequestJob::RequestFailed);
    });
    connect(fetch, &MovieFetch::answerBegins, job, begin);
    connect(fetch, &MovieFetch::answerPart, job, [answer](const QByteArray& bytes) { answer->Append(bytes); });
    connect(fetch, &MovieFetch::answered, job, [answer, begin] {
        begin({});  // an empty answer begins as it ends
        answer->End();
    });
    connect(fetch, &MovieFetch::failed, job, [fail](MovieProblem problem) {
        fail(problem == MovieProblem::Refused ? QWebEngineUrlRequestJob::RequestDenied : QWebEngineUrlRequestJob::RequestFailed);
    });
    fetch->Ask({ask.address, job->initiator(), ask.method, ask.body, ask.contentType, movieCameFromHere_});
}

void PageAsks::End(quint64 id)
{
    delete waiting_.take(id).deadline;
    started_.remove(id);
    QList<quint64> next = budget_.End(id);
    while (!next.isEmpty()) {
        const quint64 turn = next.takeFirst();
        const WaitingAsk waiting = waiting_.take(turn);
        delete waiting.deadline;
        if (waiting.job) {
            Start(turn, waiting.job, waiting.ask);
            continue;
        }
        next += budget_.End(turn);  // its page let go of it unheard: its place is free again
    }
}

// A waiting ask fails at its deadline, as one under way would.
void PageAsks::Expire(quint64 id)
{
    const WaitingAsk waiting = waiting_.take(id);
    if (!waiting.deadline)
        return;
    waiting.deadline->deleteLater();  // it is saying so now
    (void)budget_.End(id);            // a waiting ask frees no place
    if (waiting.job)
        waiting.job->fail(QWebEngineUrlRequestJob::RequestFailed);
}

} // namespace vidlatch::platform
