#include "AskBudget.h"
#include "DemoSite.h"
#include "PlayerScheme.h"
#include "PreviewProfile.h"
#include "RuleClock.h"
#include "UiWait.h"

#include <QHostInfo>
#include <QSignalSpy>
#include <QUrlQuery>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vidlatch::platform {
namespace {

using test::WaitUntil;

QString Answer(QWebEnginePage& page, const QString& script)
{
    auto answer = std::make_shared<std::optional<QString>>();
    page.runJavaScript(script, [answer](const QVariant& v) { *answer = v.toString(); });
    return WaitUntil([answer] { return answer->has_value(); }) ? **answer : QStringLiteral("(no answer)");
}

// A page of the site's, as the player's page is, loaded.
bool Load(QWebEnginePage& page)
{
    QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
    page.setHtml(QStringLiteral("<!DOCTYPE html><title>asks</title>"), QUrl(QStringLiteral("http://static.vidsite.example/")));
    return WaitUntil([&] { return !loaded.isEmpty(); }) && loaded.at(0).at(0).toBool();
}

// Asks `address` under `key`, as the page's movie would; what comes of it is
// seen[name]: its bytes so far, then "load N", "error", or "text ..." (`asText`).
void StartAsk(QWebEnginePage& page, const QString& key, const QString& address, const QString& name, bool asText = false)
{
    QUrlQuery ask;
    ask.addQueryItem(QStringLiteral("key"), key);
    ask.addQueryItem(QStringLiteral("url"), address);
    ask.addQueryItem(QStringLiteral("method"), QStringLiteral("GET"));
    ask.addQueryItem(QStringLiteral("type"), {});
    (void)Answer(page, QStringLiteral(R"(window.seen = window.seen || {}; {
        seen['%2'] = '0';
        const xhr = new XMLHttpRequest();
        xhr.open('GET', 'vidlatch-ruffle://net/?%1');
        xhr.responseType = %3 ? 'text' : 'arraybuffer';
        xhr.onprogress = (e) => { seen['%2'] = String(e.loaded); };
        xhr.onload = () => { seen['%2'] = %3 ? 'text ' + xhr.response : 'load ' + xhr.response.byteLength; };
        xhr.onerror = () => { seen['%2'] = 'error'; };
        xhr.send(); })").arg(ask.toString(QUrl::FullyEncoded), name, asText ? QStringLiteral("true") : QStringLiteral("false")));
}

QString Seen(QWebEnginePage& page, const QString& name)
{
    return Answer(page, QStringLiteral("String(seen['%1'])").arg(name));
}

// What a movie asks reaches its page as the site sends it, not once the
// program has it all; an answer cut short fails in the page, never ends
// there as if it were whole.
TEST(PlayerScheme, AnswersReachThePageAsTheyCome)
{
    struct Row {
        const char* what;
        const char* query;  // of the flood host: its megabytes, at 1.2 MB a second
        const char* ends;   // what the page saw end, or "" where it is still coming
        bool newMovie = false;  // handed to the page once the first megabyte is there
    };
    const Row rows[] = {
        {"whole", "mb=1", "load 1048576"},
        {"1 MB of 3, then the connection closed", "mb=3&cut=1", "error"},
        {"1 MB of 3, then nothing for a while", "mb=3&cut=1&hold=30", ""},
        {"... and the next movie comes", "mb=3&cut=1&hold=30", "error", true},
    };
    for (const Row& row : rows) {
        QWebEnginePage page(PreviewProfile());
        const int owner = 0;
        const QString key = PreviewPlayerScheme().AdmitPage(&owner);
        ASSERT_TRUE(Load(page)) << row.what;
        StartAsk(page, key, QStringLiteral("http://ask-0.flood.example/answer?") + QLatin1String(row.query), QStringLiteral("a"));
        const auto saw = [&](const char* what) { return WaitUntil([&] { return Seen(page, QStringLiteral("a")) == QLatin1String(what); }); };
        if (!*row.ends || row.newMovie) {
            EXPECT_TRUE(saw("1048576")) << row.what << ": " << Seen(page, QStringLiteral("a")).toStdString();
        }
        if (row.newMovie)
            (void)PreviewPlayerScheme().NewMovie(&owner, false);
        if (*row.ends) {
            EXPECT_TRUE(saw(row.ends)) << row.what << ": " << Seen(page, QStringLiteral("a")).toStdString();
        }
        PreviewPlayerScheme().Forget(&owner);
    }
}

// A page's asks end with it, look-ups and all: a name looked up while the
// page goes (rebuilt, its renderer gone) leads nowhere, whether its answer
// comes before, at or after; and each movie's asks are its own: under its
// key only, with cookies of its own.
TEST(PlayerScheme, AnAskActsOnlyForThePageAndMovieThatMadeIt)
{
    std::vector<std::function<void()>> held;  // the look-ups not yet answered
    PreviewPlayerScheme().setResolver([&held](const QString& host, std::function<void(const QHostInfo&)> answer) {
        QHostInfo info;
        info.setAddresses({QHostAddress(QStringLiteral("93.184.216.34"))});
        if (host.startsWith(QLatin1String("held")))
            held.push_back([answer = std::move(answer), info] { answer(info); });
        else
            answer(info);
    });
    enum class Answered { BeforeThePageGoes, AsItGoes, AfterItWent };
    struct Row { const char* what; Answered answered; };
    const Row rows[] = {
        {"answered before the page goes", Answered::BeforeThePageGoes},
        {"answered as the page goes", Answered::AsItGoes},
        {"answered after the page went", Answered::AfterItWent},
    };
    int marker = 0;
    for (const Row& row : rows) {
        test::DemoSite::ClearLog();
        held.clear();
        const int owner = 0;
        QWebEnginePage page(PreviewProfile());
        const QString key = PreviewPlayerScheme().AdmitPage(&owner);
        ASSERT_TRUE(Load(page)) << row.what;
        StartAsk(page, key, QStringLiteral("http://held.flood.example/answer"), QStringLiteral("held"));
        ASSERT_TRUE(WaitUntil([&] { return !held.empty(); })) << row.what;
        if (row.answered == Answered::BeforeThePageGoes) {
            held.front()();
            EXPECT_TRUE(WaitUntil([] { return test::DemoSite::Log().contains(QLatin1String("held.flood.example")); })) << row.what;
        }
        PreviewPlayerScheme().Forget(&owner);
        if (row.answered == Answered::AsItGoes)
            held.front()();
        if (row.answered == Answered::AfterItWent) {
            ASSERT_TRUE(test::QueuedDelivered()) << row.what;
            held.front()();
        }
        // A page of the next movie asks after it: once its ask is there, the
        // held one would have been too.
        const QString next = PreviewPlayerScheme().AdmitPage(&owner);
        const QString after = QStringLiteral("marker-%1.flood.example").arg(++marker);
        StartAsk(page, next, QStringLiteral("http://%1/answer").arg(after), QStringLiteral("after"));
        EXPECT_TRUE(WaitUntil([&] { return test::DemoSite::Log().contains(after); })) << row.what;
        EXPECT_EQ(test::DemoSite::Log().contains(QLatin1String("held.flood.example")), row.answered == Answered::BeforeThePageGoes)
            << row.what << ": " << test::DemoSite::Log().toStdString();
        PreviewPlayerScheme().Forget(&owner);
    }

    // Two movies in one page, the second handed over while the first asks.
    const int owner = 0;
    QWebEnginePage page(PreviewProfile());
    const QString first = PreviewPlayerScheme().AdmitPage(&owner);
    ASSERT_TRUE(Load(page));
    const QString cookie = QStringLiteral("http://jar.flood.example/cookie?set=%1");
    StartAsk(page, first, cookie.arg(QLatin1String("first")), QStringLiteral("first"), true);
    EXPECT_TRUE(WaitUntil([&] { return Seen(page, QStringLiteral("first")) == QLatin1String("text "); }));
    const QString second = PreviewPlayerScheme().NewMovie(&owner, false);
    StartAsk(page, first, cookie.arg(QLatin1String("late")), QStringLiteral("late"), true);
    StartAsk(page, second, cookie.arg(QLatin1String("second")), QStringLiteral("second"), true);
    EXPECT_TRUE(WaitUntil([&] { return Seen(page, QStringLiteral("late")) == QLatin1String("error"); }))
        << "an ask under the key before: " << Seen(page, QStringLiteral("late")).toStdString();
    EXPECT_TRUE(WaitUntil([&] { return Seen(page, QStringLiteral("second")) == QLatin1String("text "); }))
        << "the first movie's cookie went with the second's ask: " << Seen(page, QStringLiteral("second")).toStdString();
    StartAsk(page, second, cookie.arg(QLatin1String("again")), QStringLiteral("again"), true);
    EXPECT_TRUE(WaitUntil([&] { return Seen(page, QStringLiteral("again")) == QLatin1String("text movie=second"); }))
        << "the second movie keeps its own cookie: " << Seen(page, QStringLiteral("again")).toStdString();
    PreviewPlayerScheme().Forget(&owner);
    PreviewPlayerScheme().setResolver({});
}

// An ask that waits for a place gives up at its own deadline, its turn come
// or not, and frees what it held; those under way go on.
TEST(PlayerScheme, AnAskWaitsNoLongerThanItsDeadline)
{
    const int owner = 0;
    QWebEnginePage page(PreviewProfile());
    const QString key = PreviewPlayerScheme().AdmitPage(&owner);
    ASSERT_TRUE(Load(page));
    for (int i = 0; i < AskBudget::AtOnce; ++i)
        StartAsk(page, key, QStringLiteral("http://hold-%1.flood.example/answer?endless=1").arg(i), QStringLiteral("hold%1").arg(i));
    ASSERT_TRUE(WaitUntil([] { return test::DemoSite::Log().count(QLatin1String("endless=1")) >= AskBudget::AtOnce; }))
        << "the six are not under way";
    StartAsk(page, key, QStringLiteral("http://waits.flood.example/answer"), QStringLiteral("waits"));
    RuleClock* deadline = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (deadline = PreviewPlayerScheme().findChild<RuleClock*>(QStringLiteral("waiting"))); }))
        << "the seventh does not wait";
    deadline->Drive();
    EXPECT_TRUE(deadline->RunOut());
    EXPECT_TRUE(WaitUntil([&] { return Seen(page, QStringLiteral("waits")) == QLatin1String("error"); }))
        << Seen(page, QStringLiteral("waits")).toStdString();
    EXPECT_FALSE(test::DemoSite::Log().contains(QLatin1String("waits.flood.example")));
    EXPECT_NE(Seen(page, QStringLiteral("hold0")), QLatin1String("error"));
    PreviewPlayerScheme().Forget(&owner);
}

} // namespace
} // namespace vidlatch::platform
