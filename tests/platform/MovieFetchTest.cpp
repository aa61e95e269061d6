#include "DemoSite.h"
#include "MovieFetch.h"
#include "RuleClock.h"
#include "UiWait.h"

#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

namespace vidlatch::platform {
namespace {

// What a movie asks, as the program fetches it for its page: answered as
// the site sends it, with its method and body, where it leads off this
// machine and its network; refused (before any request) where it leads here,
// unless it is the movie's own origin.
TEST(MovieFetch, AsksOnlyWhereItMayGo)
{
    const QString port = QString::number(test::DemoSite::Port());
    const QString site = QStringLiteral("http://static.vidsite.example");
    const QString here = QStringLiteral("http://127.0.0.1:") + port;
    struct Row {
        const char* what; QString page; QString address; QByteArray method; QByteArray body;
        MovieProblem problem;  // None: answered
        const char* request;   // the request the site sees, or never sees where refused
        bool movieCameFromHere = false;
        const char* resolvesTo = nullptr;  // every name, to the fetch alone, with no proxy between
    };
    // A name of the site's own, which the system resolver does not know.
    const QString pinned = QStringLiteral("http://static.vidsite.example:") + port;
    const Row rows[] = {
        {"its own site", site, site + "/v1/res/vidplayer.swf?vid=asked-get", "GET", {}, MovieProblem::None, "GET static.vidsite.example/v1/res/vidplayer.swf?vid=asked-get"},
        {"another host of the site, by POST", site, "http://cdn.vidsite.example/v1/res/vidplayer.swf?vid=asked-post", "POST", "a=1",
         MovieProblem::None, "POST cdn.vidsite.example/v1/res/vidplayer.swf?vid=asked-post"},
        {"this machine", site, here + "/v1/res/vidplayer.swf?vid=asked-here", "GET", {}, MovieProblem::Refused, "vid=asked-here"},
        {"this machine by a single name", site, "http://vm:" + port + "/v1/res/vidplayer.swf?vid=asked-vm", "GET", {}, MovieProblem::Refused, "vid=asked-vm"},
        {"this machine, where the movie came from", here, here + "/v1/res/vidplayer.swf?vid=asked-own", "GET", {}, MovieProblem::None,
         "GET 127.0.0.1/v1/res/vidplayer.swf?vid=asked-own", true},
        {"its own origin, connected where it was judged", pinned, pinned + "/v1/res/vidplayer.swf?vid=asked-pinned", "GET", {},
         MovieProblem::None, "GET static.vidsite.example/v1/res/vidplayer.swf?vid=asked-pinned", true, "127.0.0.1"},
        {"its own origin, leading here now, the movie having come from elsewhere", pinned, pinned + "/v1/res/vidplayer.swf?vid=asked-rebound",
         "GET", {}, MovieProblem::Refused, "vid=asked-rebound", false, "127.0.0.1"},
        {"sent here by its site", site, site + "/fail/redirect-loopback.swf?vid=asked-sent", "GET", {}, MovieProblem::Refused,
         "GET 127.0.0.1/v1/res/vidplayer.swf"},
        {"not there", site, site + "/fail/404.swf", "GET", {}, MovieProblem::HttpError, nullptr},
        {"not the web", site, QStringLiteral("file:///etc/passwd"), "GET", {}, MovieProblem::Refused, nullptr},
    };
    for (const Row& row : rows) {
        test::DemoSite::ClearLog();
        QNetworkAccessManager direct;
        direct.setProxy(QNetworkProxy::NoProxy);
        MovieFetch fetch(nullptr, row.resolvesTo ? &direct : nullptr);
        if (row.resolvesTo) {
            fetch.setResolver([&row](const QString&, std::function<void(const QHostInfo&)> answer) {
                QHostInfo info;
                info.setAddresses({QHostAddress(QLatin1String(row.resolvesTo))});
                QTimer::singleShot(0, [answer = std::move(answer), info] { answer(info); });
            });
        }
        QSignalSpy answered(&fetch, &MovieFetch::answered), failed(&fetch, &MovieFetch::failed);
        fetch.Ask({QUrl(row.address), QUrl(row.page), row.method, row.body, "application/x-www-form-urlencoded", row.movieCameFromHere});
        ASSERT_TRUE(QTest::qWaitFor([&] { return !answered.isEmpty() || !failed.isEmpty(); }, 10000)) << row.what;
        const MovieProblem problem = failed.isEmpty() ? MovieProblem::None : failed.at(0).at(0).value<MovieProblem>();
        EXPECT_EQ(problem, row.problem) << row.what;
        if (row.request) {
            EXPECT_EQ(test::DemoSite::Log().contains(QLatin1String(row.request)), row.problem != MovieProblem::Refused)
                << row.what << ": " << test::DemoSite::Log().toStdString();
        }
    }
}

// The stall watch and the deadline judge what the site has sent, on clocks
// the test runs out once it has sent it, whatever the machine's speed:
// fewer than StallBytes between two looks is a stall; a site that keeps
// sending is cut by the deadline alone; a slow whole movie comes.
TEST(MovieFetch, ItsClocksJudgeWhatTheSiteSent)
{
    struct Row {
        const char* what; const char* kind;
        qint64 sent;    // what has come when the stall watch looks (0: the request has reached the site)
        bool deadline;  // ... then the deadline runs out
        MovieProblem problem; int status;  // None: fetched
    };
    const Row rows[] = {
        {"half a movie, then nothing", "stall", 1, false, MovieProblem::TimedOut, 200},
        {"a byte a second", "drip", 2, false, MovieProblem::TimedOut, 200},
        {"no answer at all", "silent", 0, false, MovieProblem::TimedOut, 0},
        {"a trickle that never ends", "trickle", MovieFetch::StallBytes, true, MovieProblem::TooSlow, 200},
        {"slow but within the limit", "slow", MovieFetch::StallBytes, false, MovieProblem::None, 0},
    };
    for (const Row& row : rows) {
        const QString address = QStringLiteral("static.vidsite.example/fail/%1.swf?vid=Tb7_wE3-pQs").arg(QLatin1String(row.kind));
        test::DemoSite::ClearLog();
        MovieFetch fetch;
        auto* stall = fetch.findChild<RuleClock*>(QStringLiteral("stall"));
        auto* deadline = fetch.findChild<RuleClock*>(QStringLiteral("deadline"));
        ASSERT_TRUE(stall && deadline);
        stall->Drive();
        deadline->Drive();
        qint64 received = 0;
        QObject::connect(&fetch, &MovieFetch::progress, [&received](qint64 bytes, qint64) { received = bytes; });
        QSignalSpy fetched(&fetch, &MovieFetch::fetched), failed(&fetch, &MovieFetch::failed);
        fetch.Start(QUrl(QStringLiteral("http://") + address));
        ASSERT_TRUE(test::WaitUntil([&] { return row.sent > 0 ? received >= row.sent : test::DemoSite::Log().contains(address); }, 30000))
            << row.what;
        EXPECT_TRUE(stall->RunOut()) << row.what;
        if (row.deadline) {
            ASSERT_TRUE(test::QueuedDelivered()) << row.what;
            EXPECT_TRUE(failed.isEmpty()) << row.what << ": the site kept sending, and was taken for stalled";
            EXPECT_TRUE(deadline->RunOut()) << row.what;
        }
        ASSERT_TRUE(test::WaitUntil([&] { return !fetched.isEmpty() || !failed.isEmpty(); }, 30000)) << row.what;
        const MovieProblem problem = failed.isEmpty() ? MovieProblem::None : failed.at(0).at(0).value<MovieProblem>();
        EXPECT_EQ(problem, row.problem) << row.what;
        EXPECT_EQ(failed.isEmpty() ? 0 : failed.at(0).at(1).toInt(), row.status) << row.what;
    }
}

} // namespace
} // namespace vidlatch::platform
