#include "DemoSite.h"
#include "MovieCheck.h"
#include "MovieFetch.h"
#include "ShockwaveFlash.h"
#include "SiteConstants.h"
#include "UiWait.h"

#include <QCryptographicHash>
#include <QImage>
#include <QRegularExpression>
#include <QScreen>
#include <QWebEnginePage>

#include <algorithm>
#include <csignal>
#include <functional>
#include <memory>
#include <optional>

#include <gtest/gtest.h>

namespace vidlatch::platform {
namespace {

using test::WaitUntil;

QString PlayerAddress(const QString& code)
{
    return QString::fromStdU16String(std::u16string(site::PlayerAddressPrefix)) + code;
}

// Whether the screen shows `colour` at the centre of `widget`, as a user sees it.
bool ScreenShows(QWidget* widget, const QColor& colour)
{
    const QPoint centre = widget->mapToGlobal(widget->rect().center());
    return demo::SameColour(widget->screen()->grabWindow(0, centre.x(), centre.y(), 1, 1).toImage().pixelColor(0, 0),
                            colour);
}

QColor CentrePixel(QWidget* widget)
{
    const QImage image = widget->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

// The preview at its size in the main window, shown, counting the movies it shows.
struct Preview {
    QWidget window;
    ShockwaveFlash* flash;
    int shown = 0;

    Preview()
    {
        window.resize(641, 345);
        flash = new ShockwaveFlash(&window);
        flash->setGeometry(0, 0, 641, 345);
        window.show();
        QObject::connect(flash, &ShockwaveFlash::movieShown, [this] { ++shown; });
    }
};

TEST(ShockwaveFlash, PlaysTheMovieOfEachCodeInItsColour)
{
    Preview preview;
    ShockwaveFlash* flash = preview.flash;
    int& shown = preview.shown;

    for (const QString& code : {QStringLiteral("a1b2c3d4e5f"), QStringLiteral("XqZ9fR2kLmN")}) {
        const int before = shown;
        flash->setMovie(PlayerAddress(code));
        EXPECT_EQ(flash->Movie(), PlayerAddress(code));
        ASSERT_TRUE(WaitUntil([&] { return shown > before; }, 30000)) << code.toStdString();
        EXPECT_TRUE(WaitUntil([&] { return test::CentreShows(flash, demo::PlayerColour(code)); }, 10000))
            << code.toStdString() << ": " << CentrePixel(flash).name().toStdString() << " wanted "
            << demo::PlayerColour(code).name().toStdString();
    }
    // The same movie again is played again.
    const int before = shown;
    flash->setMovie(flash->Movie());
    EXPECT_TRUE(WaitUntil([&] { return shown > before; }, 30000));
}

TEST(ShockwaveFlash, MoviesSwitchInTheRunningPlayerOrInANewPage)
{
    Preview preview;
    ShockwaveFlash* flash = preview.flash;
    int& shown = preview.shown;
    int pages = 0;
    QObject::connect(flash->page(), &QWebEnginePage::loadStarted, [&] { ++pages; });
    const QString otherOrigin = demo::OtherOriginPlayerPrefix();

    struct Step { const char* what; std::function<void()> before; QString address; QString code; bool newPage; };
    const Step steps[] = {
        {"first movie", {}, PlayerAddress(QStringLiteral("a1b2c3d4e5f")), QStringLiteral("a1b2c3d4e5f"), true},
        {"same origin", {}, PlayerAddress(QStringLiteral("XqZ9fR2kLmN")), QStringLiteral("XqZ9fR2kLmN"), false},
        {"same movie again", {}, PlayerAddress(QStringLiteral("XqZ9fR2kLmN")), QStringLiteral("XqZ9fR2kLmN"), false},
        {"another origin", {}, otherOrigin + QStringLiteral("Tb7_wE3-pQs"), QStringLiteral("Tb7_wE3-pQs"), true},
        {"its origin again", {}, otherOrigin + QStringLiteral("k0LmN8vB2xC"), QStringLiteral("k0LmN8vB2xC"), false},
        {"after the renderer died",
         [&] {
             auto gone = std::make_shared<bool>(false);
             QObject::connect(flash->page(), &QWebEnginePage::renderProcessTerminated, [gone] { *gone = true; });
             const qint64 pid = flash->page()->renderProcessPid();
             ASSERT_GT(pid, 0);  // 0 would signal our whole process group
             ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGKILL), 0);
             ASSERT_TRUE(WaitUntil([gone] { return *gone; }));
         },
         otherOrigin + QStringLiteral("a1b2c3d4e5f"), QStringLiteral("a1b2c3d4e5f"), true},
    };
    for (const Step& step : steps) {
        if (step.before)
            step.before();
        const int shownBefore = shown, pagesBefore = pages;
        flash->setMovie(step.address);
        ASSERT_TRUE(WaitUntil([&] { return shown > shownBefore; }, 30000)) << step.what;
        EXPECT_TRUE(WaitUntil([&] { return test::CentreShows(flash, demo::PlayerColour(step.code)); }, 10000))
            << step.what << ": " << CentrePixel(flash).name().toStdString();
        EXPECT_EQ(pages > pagesBefore, step.newPage) << step.what;
    }
}

// Destroyed at any moment, with calls to its page still owed an answer, the
// preview uses nothing of the page being destroyed (a sanitizer build tells).
TEST(ShockwaveFlash, DestroyedWhileItsPageOwesAnswers)
{
    for (const bool afterAMovie : {false, true}) {
        auto preview = std::make_unique<Preview>();
        preview->flash->setMovie(PlayerAddress(QStringLiteral("a1b2c3d4e5f")));
        if (afterAMovie) {
            ASSERT_TRUE(WaitUntil([&] { return preview->shown == 1; }, 30000));
            preview->flash->setMovie(PlayerAddress(QStringLiteral("XqZ9fR2kLmN")));  // a call to the page goes out
        }
        preview.reset();
    }
}

// Whatever a movie or the player asks, the preview page stays the player.
TEST(ShockwaveFlash, ThePageNeverLeavesThePlayer)
{
    Preview preview;
    ShockwaveFlash* flash = preview.flash;
    flash->setMovie(PlayerAddress(QStringLiteral("a1b2c3d4e5f")));
    ASSERT_TRUE(WaitUntil([&] { return preview.shown == 1; }, 30000));
    const QUrl player = flash->page()->url();
    test::DemoSite::ClearLog();
    for (const char* script : {"location.href='http://v.vidsite.example/'", "window.open('http://v.vidsite.example/')",
                               "document.body.innerHTML+='<iframe src=\"http://v.vidsite.example/\"></iframe>'"})
        flash->page()->runJavaScript(QString::fromUtf8(script));
    // One more movie after those: by the time it shows, any navigation would have begun.
    flash->setMovie(PlayerAddress(QStringLiteral("XqZ9fR2kLmN")));
    ASSERT_TRUE(WaitUntil([&] { return preview.shown == 2; }, 30000));
    EXPECT_EQ(flash->page()->url(), player);
    // The log holds the second movie's fetch, and no visit of the site's home.
    const QStringList log = test::DemoSite::Log().split(u'\n');
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const QString& line) { return line.contains(QLatin1String("XqZ9fR2kLmN")); }))
        << log.join(u'\n').toStdString();
    EXPECT_FALSE(std::any_of(log.begin(), log.end(), [](const QString& line) { return line.endsWith(QLatin1String(" v.vidsite.example/")); }))
        << log.join(u'\n').toStdString();
    EXPECT_EQ(test::VisibleWindows(), 1);
}

// The page's answer to `script`. The answer is kept by the callback, which
// may arrive after the wait has given up.
QString PageAnswer(ShockwaveFlash* flash, const QString& script)
{
    auto answer = std::make_shared<std::optional<QString>>();
    flash->page()->runJavaScript(script, [answer](const QVariant& v) { *answer = v.toString(); });
    return WaitUntil([answer] { return answer->has_value(); }) ? **answer : QStringLiteral("(no answer)");
}

QString NoticeShown(ShockwaveFlash* flash)
{
    return PageAnswer(flash, QStringLiteral("(document.getElementById('notice') || {}).textContent || ''"));
}

QString PageOrigin(ShockwaveFlash* flash)
{
    return PageAnswer(flash, QStringLiteral("location.origin"));
}

// Whatever the last movie was, the next one plays: a failure shows its
// sentence once, a movie that another host serves plays, CORS or not, in a
// page of that host's origin, and from the moment a movie is set the movie
// before never shows under its address, however the site or the movie
// misbehaves.
TEST(ShockwaveFlash, EveryFetchPlaysItsOwnMovieAfterAnyFailure)
{
    Preview preview;
    ShockwaveFlash* flash = preview.flash;
    int failures = 0;
    MovieProblem lastProblem = MovieProblem::None;
    QObject::connect(flash, &ShockwaveFlash::movieFailed, [&](MovieProblem problem) {
        ++failures;
        lastProblem = problem;
    });
    // The stall rule on a 2-second clock instead of 10: the three stalls
    // below are found sooner, by the same rule.
    auto* fetch = flash->findChild<MovieFetch*>();
    ASSERT_NE(fetch, nullptr);
    EXPECT_EQ(fetch->stallMs(), MovieFetch::StallMs);
    fetch->setStallMs(2000);
    const QString fail = QStringLiteral("http://static.vidsite.example/fail/%1.swf?f=3&vid=Tb7_wE3-pQs");
    // Plays (in a page of `origin`), fails with `problem`, or keeps its page
    // busy for ever, so that the next movie needs a new renderer.
    enum class Outcome { Plays, Fails, Hangs };
    struct Case { const char* what; QString address; Outcome outcome; MovieProblem problem; int status; const char* origin; };
    const Case cases[] = {
        {"404", fail.arg(QLatin1String("404")), Outcome::Fails, MovieProblem::HttpError, 404, nullptr},
        {"500 with no body", fail.arg(QLatin1String("500")), Outcome::Fails, MovieProblem::HttpError, 500, nullptr},
        {"an HTML page", fail.arg(QLatin1String("html")), Outcome::Fails, MovieProblem::NotFlash, 0, nullptr},
        {"a truncated movie", fail.arg(QLatin1String("truncated")), Outcome::Fails, MovieProblem::Truncated, 0, nullptr},
        {"an empty body", fail.arg(QLatin1String("empty")), Outcome::Fails, MovieProblem::Empty, 0, nullptr},
        {"nobody listening", QStringLiteral("http://127.0.0.1:9/v1/res/vidplayer.swf"), Outcome::Fails, MovieProblem::Unreachable, 0, nullptr},
        {"half a movie, then nothing", fail.arg(QLatin1String("stall")), Outcome::Fails, MovieProblem::TimedOut, 200, nullptr},
        {"a byte a second", fail.arg(QLatin1String("drip")), Outcome::Fails, MovieProblem::TimedOut, 200, nullptr},
        {"no answer at all", fail.arg(QLatin1String("silent")), Outcome::Fails, MovieProblem::TimedOut, 0, nullptr},
        {"redirected to this machine", fail.arg(QLatin1String("redirect-loopback")), Outcome::Fails, MovieProblem::Refused, 302, nullptr},
        {"redirected to this machine by a name", fail.arg(QLatin1String("redirect-name")), Outcome::Fails, MovieProblem::Refused, 302, nullptr},
        {"a script that loops for ever", fail.arg(QLatin1String("loop")), Outcome::Hangs, MovieProblem::None, 0, nullptr},
        {"redirected to a host without CORS", fail.arg(QLatin1String("redirect")), Outcome::Plays, MovieProblem::None, 0, "http://cdn.vidsite.example"},
        {"redirected to a host with CORS", fail.arg(QLatin1String("redirect-cors")), Outcome::Plays, MovieProblem::None, 0, "http://cdn.vidsite.example"},
    };
    QColor before = Qt::transparent;  // the colour of the movie on screen
    const auto setMovie = [&](const QString& address, const char* what) {
        flash->setMovie(address);
        if (before.alpha() != 0) {
            EXPECT_TRUE(WaitUntil([&] { return !ScreenShows(flash, before); }, 5000)) << "the movie before shows under " << what;
        }
    };
    for (const Case& c : cases) {
        const int failuresBefore = failures, shownBefore = preview.shown;
        setMovie(c.address, c.what);
        const qint64 renderer = flash->page()->renderProcessPid();
        switch (c.outcome) {
        case Outcome::Plays:
            ASSERT_TRUE(WaitUntil([&] { return preview.shown > shownBefore; }, 30000)) << c.what;
            EXPECT_TRUE(WaitUntil([&] { return test::CentreShows(flash, demo::PlayerColour(QStringLiteral("Tb7_wE3-pQs"))); }))
                << c.what;
            EXPECT_EQ(PageOrigin(flash), QLatin1String(c.origin)) << c.what;
            before = demo::PlayerColour(QStringLiteral("Tb7_wE3-pQs"));
            break;
        case Outcome::Fails:
            ASSERT_TRUE(WaitUntil([&] { return failures > failuresBefore; }, 30000)) << c.what;
            EXPECT_EQ(failures, failuresBefore + 1) << c.what;
            EXPECT_EQ(lastProblem, c.problem) << c.what;
            EXPECT_EQ(NoticeShown(flash), MovieProblemText(c.problem, c.status)) << c.what;
            before = Qt::transparent;
            break;
        case Outcome::Hangs: {
            // Its first frame shows; from its second on, its page answers nothing.
            ASSERT_TRUE(WaitUntil([&] { return preview.shown > shownBefore; }, 30000)) << c.what;
            before = demo::PlayerColour(QStringLiteral("Tb7_wE3-pQs"));
            auto answered = std::make_shared<bool>(false);
            ASSERT_TRUE(WaitUntil([&] {
                *answered = false;
                flash->page()->runJavaScript(QStringLiteral("0"), [answered](const QVariant&) { *answered = true; });
                return !WaitUntil([&] { return *answered; }, 2000);
            })) << c.what;
            break;
        }
        }
        // The next good code, in whatever player is there.
        const QString code = demo::Codes()[failuresBefore % demo::Codes().size()];
        const int shown = preview.shown;
        setMovie(PlayerAddress(code), c.what);
        ASSERT_TRUE(WaitUntil([&] { return preview.shown > shown; }, 30000)) << "after " << c.what;
        EXPECT_TRUE(WaitUntil([&] { return test::CentreShows(flash, demo::PlayerColour(code)); }))
            << "after " << c.what << ": " << CentrePixel(flash).name().toStdString();
        EXPECT_EQ(NoticeShown(flash), QString()) << "after " << c.what;
        if (c.outcome == Outcome::Hangs) {
            ASSERT_GT(renderer, 0) << c.what;  // 0 would ask about our whole process group
            EXPECT_NE(flash->page()->renderProcessPid(), renderer) << "the stuck page's renderer goes on";
            EXPECT_NE(::kill(static_cast<pid_t>(renderer), 0), 0) << "the stuck page's renderer goes on";
        }
        before = demo::PlayerColour(code);
    }
}

} // namespace
} // namespace vidlatch::platform
