#include "DemoSite.h"
#include "MovieFetch.h"

#include <QSignalSpy>

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
    };
    const Row rows[] = {
        {"its own site", site, site + "/v1/res/vidplayer.swf?vid=asked-get", "GET", {}, MovieProblem::None, "GET static.vidsite.example/v1/res/vidplayer.swf?vid=asked-get"},
        {"another host of the site, by POST", site, "http://cdn.vidsite.example/v1/res/vidplayer.swf?vid=asked-post", "POST", "a=1",
         MovieProblem::None, "POST cdn.vidsite.example/v1/res/vidplayer.swf?vid=asked-post"},
        {"this machine", site, here + "/v1/res/vidplayer.swf?vid=asked-here", "GET", {}, MovieProblem::Refused, "vid=asked-here"},
        {"this machine by a single name", site, "http://vm:" + port + "/v1/res/vidplayer.swf?vid=asked-vm", "GET", {}, MovieProblem::Refused, "vid=asked-vm"},
        {"this machine, where the movie came from", here, here + "/v1/res/vidplayer.swf?vid=asked-own", "GET", {}, MovieProblem::None,
         "GET 127.0.0.1/v1/res/vidplayer.swf?vid=asked-own"},
        {"sent here by its site", site, site + "/fail/redirect-loopback.swf?vid=asked-sent", "GET", {}, MovieProblem::Refused,
         "GET 127.0.0.1/v1/res/vidplayer.swf"},
        {"not there", site, site + "/fail/404.swf", "GET", {}, MovieProblem::HttpError, nullptr},
        {"not the web", site, QStringLiteral("file:///etc/passwd"), "GET", {}, MovieProblem::Refused, nullptr},
    };
    for (const Row& row : rows) {
        test::DemoSite::ClearLog();
        MovieFetch fetch;
        QSignalSpy answered(&fetch, &MovieFetch::answered), failed(&fetch, &MovieFetch::failed);
        fetch.Ask({QUrl(row.address), QUrl(row.page), row.method, row.body, "application/x-www-form-urlencoded"});
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
