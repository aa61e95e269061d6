#include "DemoSite.h"
#include "MovieFetch.h"

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

} // namespace
} // namespace vidlatch::platform
