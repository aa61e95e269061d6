#include "AskBudget.h"
#include "DemoSite.h"
#include "MovieCheck.h"
#include "MovieFetch.h"
#include "PlayerPageLink.h"
#include "PreviewCover.h"
#include "RuleClock.h"
#include "ShockwaveFlash.h"
#include "SiteConstants.h"
#include "UiWait.h"

#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QElapsedTimer>
#include <QScreen>
#include <QSignalSpy>
#include <QUrlQuery>
#include <QWebEnginePage>

#include <algorithm>
#include <csignal>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

namespace vidlatch::platform {
namespace {

using test::WaitUntil;

QString PlayerAddress(const QString& code)
{
    return QString::fromStdU16String(std::u16string(site::PlayerAddressPrefix)) + code;
}

// Whether the screen shows `colour` at the centre of `widget`, as a user sees it.
bool ScreenShowsAt(QWidget* widget, const QPoint& at, const QColor& colour)
{
    const QPoint point = widget->mapToGlobal(at);
    return demo::SameColour(widget->screen()->grabWindow(0, point.x(), point.y(), 1, 1).toImage().pixelColor(0, 0),
                            colour);
}

bool ScreenShows(QWidget* widget, const QColor& colour)
{
    return ScreenShowsAt(widget, widget->rect().center(), colour);
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
        const int pagesBefore = pages;
        if (step.before)
            step.before();
        const int shownBefore = shown;
        // A page that stays silent past its time is renewed, by design; a
        // starved machine can make any page so.
        QSignalSpy silent(flash->findChild<PlayerPageLink*>(), &PlayerPageLink::answerOverdue);
        flash->setMovie(step.address);
        ASSERT_TRUE(WaitUntil([&] { return shown > shownBefore; }, 30000)) << step.what;
        EXPECT_TRUE(WaitUntil([&] { return test::CentreShows(flash, demo::PlayerColour(step.code)); }, 10000))
            << step.what << ": " << CentrePixel(flash).name().toStdString();
        if (silent.isEmpty())
            EXPECT_EQ(pages > pagesBefore, step.newPage) << step.what;
        else
            std::cout << step.what << ": its page was silent past its time, and may have been renewed\n";
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
    // Nothing a destroyed preview left behind keeps the next from playing.
    Preview next;
    next.flash->setMovie(PlayerAddress(QStringLiteral("Tb7_wE3-pQs")));
    EXPECT_TRUE(WaitUntil([&] { return next.shown == 1; }, 30000));
}

// The page's answer to `script`. The answer is kept by the callback, which
// may arrive after the wait has given up.
QString PageAnswer(ShockwaveFlash* flash, const QString& script)
{
    auto answer = std::make_shared<std::optional<QString>>();
    flash->page()->runJavaScript(script, [answer](const QVariant& v) { *answer = v.toString(); });
    return WaitUntil([answer] { return answer->has_value(); }) ? **answer : QStringLiteral("(no answer)");
}

// Whatever a movie or the player asks, the preview page stays the player.
TEST(ShockwaveFlash, ThePageNeverLeavesThePlayer)
{
    Preview preview;
    ShockwaveFlash* flash = preview.flash;
    flash->setMovie(PlayerAddress(QStringLiteral("a1b2c3d4e5f")));
    ASSERT_TRUE(WaitUntil([&] { return preview.shown == 1; }, 30000));
    const QUrl player = flash->page()->url();
    // An ask goes under the key of the movie that made it, even where the
    // next is handed over while its body is read.
    flash->page()->runJavaScript(QStringLiteral(R"(window.askedUnder = '';
        fetch('http://cdn.vidsite.example/v1/res/vidplayer.swf?vid=asked-key', { method: 'POST', body: new Uint8Array(1 << 19) })
          .then(() => { askedUnder = 'its own key'; }, () => { askedUnder = 'refused'; });
        vidlatchAsksUnder('a key handed over since');)"));
    EXPECT_TRUE(WaitUntil([&] { return PageAnswer(flash, QStringLiteral("askedUnder")) == QLatin1String("its own key"); }))
        << PageAnswer(flash, QStringLiteral("askedUnder")).toStdString();
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

QString NoticeShown(ShockwaveFlash* flash)
{
    return PageAnswer(flash, QStringLiteral("(document.getElementById('notice') || {}).textContent || ''"));
}

QString PageOrigin(ShockwaveFlash* flash)
{
    return PageAnswer(flash, QStringLiteral("location.origin"));
}

QString PreviewText(ShockwaveFlash* flash)
{
    auto* cover = flash->findChild<PreviewCover*>();
    return cover && cover->loading() ? cover->text() : QString();
}

// The sentence on screen: the page's, or the cover's where no page could be had.
QString SentenceShown(ShockwaveFlash* flash)
{
    auto* cover = flash->findChild<PreviewCover*>();
    return cover && !cover->sentence().isEmpty() ? cover->sentence() : NoticeShown(flash);
}

// Ends the preview's renderer (0 would signal our whole process group).
void KillRenderer(ShockwaveFlash* flash)
{
    const qint64 pid = flash->page()->renderProcessPid();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGKILL), 0);
}

// Whatever the last movie was, the next one plays: a failure shows its
// sentence once, a movie that another host serves plays, CORS or not, in a
// page of that host's origin, a movie that hangs or breaks its player takes
// its page's renderer or page with it, and from the moment a movie is set
// the movie before never shows under its address, however the site or the
// movie misbehaves. The rows run in a few parts, each in a preview of its
// own, so that the parts can run side by side.
constexpr int RecoverySlices = 8;
class ShockwaveFlashRecovery : public testing::TestWithParam<int> {};

TEST_P(ShockwaveFlashRecovery, EveryFetchPlaysItsOwnMovieAfterAnyFailure)
{
    Preview preview;
    ShockwaveFlash* flash = preview.flash;
    int failures = 0;
    MovieProblem lastProblem = MovieProblem::None;
    QObject::connect(flash, &ShockwaveFlash::movieFailed, [&](MovieProblem problem) {
        ++failures;
        lastProblem = problem;
    });
    const QList<MovieFetch*> fetches = flash->findChildren<MovieFetch*>();
    ASSERT_EQ(fetches.size(), 2);
    int pagesBuilt = 0;
    // Every document built, in whichever page object (a page is renewed for a new renderer).
    const auto countBuilds = [&](QWebEnginePage* page) {
        QObject::connect(page, &QWebEnginePage::loadStarted, [&] { ++pagesBuilt; });
    };
    countBuilds(flash->page());
    QObject::connect(flash->findChild<PlayerPageLink*>(), &PlayerPageLink::replaced, countBuilds);
    const QString panicMovie = QStringLiteral(VIDLATCH_SOURCE_DIR "/../shared/movies/player-panic.swf");
    const bool panicHere = QFile::exists(panicMovie);
    if (!panicHere)
        std::cout << "The row of a movie that makes the player panic does not run: " << panicMovie.toStdString()
                  << " is not here\n";

    const QString fail = QStringLiteral("http://static.vidsite.example/fail/%1.swf?f=3&vid=Tb7_wE3-pQs");
    // Plays (in a page of `origin`), fails with `problem`, or keeps its page
    // busy for ever, so that the next movie needs a new renderer.
    enum class Outcome { Plays, Fails, Hangs };
    struct Case {
        const char* what; QString address; Outcome outcome; MovieProblem problem; int status; const char* origin;
        bool endsRenderer = false;    // its page's renderer is ended
        const char* progress = nullptr;  // what the cover shows while it comes
        std::function<void()> before = {};  // what happens first
        const char* ask = nullptr;  // what the movie asks first: it never leaves the preview,
        std::function<void()> then = {};  // (what happens once it is set)
        bool askArrives = false;          // ... unless it leads off this machine and its network
    };
    const QString player = PlayerAddress(QStringLiteral("Tb7_wE3-pQs"));
    // Fetched ahead, and loaded paused and hidden in the page, as while the user reads the notice.
    const QString stagedHere = QStringLiteral("String([...document.body.children].some((e) => e.style.visibility === 'hidden' && e.readyState === 2))");
    const auto staged = [&](const QString& address) {
        return [&, address] {
            flash->Prefetch(address);
            ASSERT_TRUE(WaitUntil([&] { return PageAnswer(flash, stagedHere) == QLatin1String("true"); })) << "not staged";
        };
    };
    QColor before = Qt::transparent;  // the colour of the movie on screen
    // Fetched ahead, all of it, while the notice is read.
    const auto fetchedAhead = [&](const QString& address) {
        return [&, address] {
            std::vector<std::unique_ptr<QSignalSpy>> spies;
            for (MovieFetch* fetch : fetches)
                spies.push_back(std::make_unique<QSignalSpy>(fetch, &MovieFetch::fetched));
            flash->Prefetch(address);
            ASSERT_TRUE(WaitUntil([&] { return std::any_of(spies.begin(), spies.end(), [](auto& spy) { return spy->count() > 0; }); }))
                << "not fetched ahead";
        };
    };
    // A movie whose hundred asks are under way, six at once, the rest waiting:
    // they end with it, and hold up none of the next movie's.
    const auto afterAnAskFlood = [&] {
        const int shown = preview.shown;
        flash->setMovie(fail.arg(QLatin1String("flood-asks")));
        ASSERT_TRUE(WaitUntil([&] { return preview.shown > shown; }, 30000)) << "the flooding movie";
        ASSERT_TRUE(WaitUntil([&] { return test::DemoSite::Log().count(QLatin1String(".flood.example/")) >= AskBudget::AtOnce; }))
            << "its asks are not under way";
        test::DemoSite::ClearLog();
        before = demo::PlayerColour(QStringLiteral("Tb7_wE3-pQs"));
    };
    // A first frame that never ends: its page took the movie and is busy, not
    // dead, and the movie is not loaded again; at the start clock its
    // renderer goes, and a new page says why.
    // A movie that works 2.5 s every other frame, shown, while the next code
    // is fetched ahead: its page falls behind with the call that stages the
    // next movie (tried again where it kept up), and is busy, not dead: it
    // is not ended, and the movie on screen gets no sentence.
    const auto busyWhileTheNextComes = [&](const QString& busy, const QString& next) {
        return [&, busy, next] {
            auto* link = flash->findChild<PlayerPageLink*>();
            ASSERT_NE(link, nullptr);
            const int failed = failures, shown = preview.shown;
            flash->setMovie(busy);
            ASSERT_TRUE(WaitUntil([&] { return preview.shown > shown; }, 30000)) << "the busy movie";
            before = demo::PlayerColour(QUrlQuery(QUrl(busy)).queryItemValue(QStringLiteral("vid")));
            QSignalSpy ended(flash->page(), &QWebEnginePage::renderProcessTerminated);
            QSignalSpy overdue(link, &PlayerPageLink::answerOverdue), answered(link, &PlayerPageLink::answered);
            // The answers come as they will: the first overdue call's, for one, may come with it.
            int answersAtOverdue = -1;
            const QMetaObject::Connection first = QObject::connect(link, &PlayerPageLink::answerOverdue, flash, [&] {
                if (answersAtOverdue < 0)
                    answersAtOverdue = static_cast<int>(answered.count());
            });
            // Tried again while the call comes between two busy frames: the
            // first stages (one call), each after it unstages and stages (two).
            for (int attempt = 0; attempt < 100 && overdue.isEmpty(); ++attempt) {
                answered.clear();
                flash->Prefetch(next + QStringLiteral("&ahead=%1").arg(attempt));
                ASSERT_TRUE(WaitUntil([&] { return answered.count() == (attempt == 0 ? 1 : 2) || !overdue.isEmpty(); }, 10000));
            }
            ASSERT_FALSE(overdue.isEmpty()) << "the busy page never fell behind";
            // A busy frame beside other work may take many times its two seconds.
            const bool answeredLate = WaitUntil([&] { return answered.count() > answersAtOverdue; }, 30000);
            QObject::disconnect(first);
            ASSERT_TRUE(answeredLate) << "the busy page never answered; renderers ended: " << ended.count();
            EXPECT_EQ(ended.count(), 0) << "the busy page was ended";
            EXPECT_EQ(failures, failed) << "the busy movie was given a sentence";
        };
    };
    // A first frame that never ends keeps its renderer at work, its page
    // silent: the next code set does not wait for the player's own limit.
    const auto hungInItsFirstFrame = [&](const QString& address) {
        return [&, address] {
            QSignalSpy silent(flash->findChild<PlayerPageLink*>(), &PlayerPageLink::answerOverdue);
            flash->setMovie(address);
            ASSERT_TRUE(silent.wait(30000)) << "its page never fell silent";
            before = Qt::transparent;  // nothing of it was drawn
        };
    };
    // A first frame that works for seconds, its page silent meanwhile, past
    // the start clock (run out by the test while it works): busy, not dead.
    auto* startClock = flash->findChild<RuleClock*>(QStringLiteral("start"));
    ASSERT_NE(startClock, nullptr);
    const auto startClockHeld = [&] { startClock->Drive(); };
    const auto startClockRunsOutAtWork = [&] {
        QSignalSpy silent(flash->findChild<PlayerPageLink*>(), &PlayerPageLink::answerOverdue);
        QSignalSpy ended(flash->page(), &QWebEnginePage::renderProcessTerminated);
        ASSERT_TRUE(silent.wait(30000)) << "its page never fell silent";
        EXPECT_TRUE(startClock->RunOut()) << "no start clock ran";
        startClock->Drive(false);
        EXPECT_TRUE(test::QueuedDelivered());
        EXPECT_EQ(ended.count(), 0) << "its renderer was ended at work";
    };
    // Every renderer the preview gets is killed half a second after it
    // starts, until the movie set gets its sentence.
    const auto killEveryRenderer = [&] {
        auto killer = std::make_shared<QTimer>();
        auto seen = std::make_shared<QElapsedTimer>();
        auto last = std::make_shared<qint64>(0);
        const int failuresAtStart = failures;
        QObject::connect(killer.get(), &QTimer::timeout, flash, [&, killer, seen, last, failuresAtStart] {
            const qint64 pid = flash->page()->renderProcessPid();
            if (failures > failuresAtStart)
                killer->stop();
            else if (pid != *last)
                *last = pid, seen->start();
            else if (pid > 0 && seen->isValid() && seen->elapsed() > 500 && ::kill(static_cast<pid_t>(pid), SIGKILL) == 0)
                seen->invalidate();
        });
        killer->start(50);
    };
    const Case cases[] = {
        {"404", fail.arg(QLatin1String("404")), Outcome::Fails, MovieProblem::HttpError, 404, nullptr},
        {"500 with no body", fail.arg(QLatin1String("500")), Outcome::Fails, MovieProblem::HttpError, 500, nullptr},
        {"an HTML page", fail.arg(QLatin1String("html")), Outcome::Fails, MovieProblem::NotFlash, 0, nullptr},
        {"a truncated movie", fail.arg(QLatin1String("truncated")), Outcome::Fails, MovieProblem::Truncated, 0, nullptr},
        {"an empty body", fail.arg(QLatin1String("empty")), Outcome::Fails, MovieProblem::Empty, 0, nullptr},
        {"a compressed body that inflates past the limit", fail.arg(QLatin1String("gzip-bomb")), Outcome::Fails, MovieProblem::TooLarge, 200, nullptr},
        {"nobody listening", QStringLiteral("http://127.0.0.1:9/v1/res/vidplayer.swf"), Outcome::Fails, MovieProblem::Unreachable, 0, nullptr},
        {"a trickle of no size said, then a movie that plays", player, Outcome::Plays, MovieProblem::None, 0, "http://static.vidsite.example", false, nullptr,
         [&] {
             flash->setMovie(fail.arg(QLatin1String("trickle")));
             ASSERT_TRUE(WaitUntil([&] { return PreviewText(flash).endsWith(QLatin1String("kB")); }, 30000))
                 << "the cover did not show how much had come";
         }},
        {"slow but within the limit", fail.arg(QLatin1String("slow")), Outcome::Plays, MovieProblem::None, 0, "http://static.vidsite.example", false, "%"},
        {"redirected to this machine", fail.arg(QLatin1String("redirect-loopback")), Outcome::Fails, MovieProblem::Refused, 302, nullptr},
        {"redirected to a file", fail.arg(QLatin1String("redirect-file")), Outcome::Fails, MovieProblem::Refused, 302, nullptr},
        {"redirected to itself", fail.arg(QLatin1String("redirect-loop")), Outcome::Fails, MovieProblem::HttpError, 302, nullptr},
        {"redirected to this machine by a name", fail.arg(QLatin1String("redirect-name")), Outcome::Fails, MovieProblem::Refused, 302, nullptr},
        {"a script that loops for ever", fail.arg(QLatin1String("loop")), Outcome::Hangs, MovieProblem::None, 0, nullptr, true},
        {"a script that loops before the first frame, shown once the player stops it", fail.arg(QLatin1String("loop-first")), Outcome::Plays,
         MovieProblem::None, 0, "http://static.vidsite.example"},
        {"a movie that asks for the user's files", fail.arg(QLatin1String("browse")), Outcome::Plays, MovieProblem::None, 0, "http://static.vidsite.example"},
        {"a movie that asks this machine for a movie", fail.arg(QLatin1String("reach-loopback")), Outcome::Plays, MovieProblem::None, 0,
         "http://static.vidsite.example", false, nullptr, {}, "vid=asked-loopback"},
        {"... by a name the hosts file leads here", fail.arg(QLatin1String("reach-name")), Outcome::Plays, MovieProblem::None, 0,
         "http://static.vidsite.example", false, nullptr, {}, "vid=asked-name"},
        {"... by a name of the local network", fail.arg(QLatin1String("reach-local")), Outcome::Plays, MovieProblem::None, 0,
         "http://static.vidsite.example", false, nullptr, {}, "vid=asked-local"},
        {"... by every form of GetURL2", fail.arg(QLatin1String("reach-forms")), Outcome::Plays, MovieProblem::None, 0,
         "http://static.vidsite.example", false, nullptr, {}, "vid=asked-form"},
        {"a movie that asks the player's scheme itself, a header in its media type", fail.arg(QLatin1String("reach-scheme")), Outcome::Plays,
         MovieProblem::None, 0, "http://static.vidsite.example", false, nullptr, {}, "vid=asked-direct"},
        {"a movie that asks its site's CDN, its variables by POST", fail.arg(QLatin1String("reach-cdn")), Outcome::Plays, MovieProblem::None, 0,
         "http://static.vidsite.example", false, nullptr, {}, "POST cdn.vidsite.example/v1/res/vidplayer.swf?vid=asked-cdn-vars-post", {}, true},
        {"... after a movie whose hundred asks are under way", fail.arg(QLatin1String("reach-cdn")), Outcome::Plays, MovieProblem::None, 0,
         "http://static.vidsite.example", false, nullptr, afterAnAskFlood, "POST cdn.vidsite.example/v1/res/vidplayer.swf?vid=asked-cdn-vars-post", {}, true},
        {"a busy movie shown while the next code is fetched, then a movie that plays", player, Outcome::Plays, MovieProblem::None, 0,
         "http://static.vidsite.example", false, nullptr, busyWhileTheNextComes(QStringLiteral("http://static.vidsite.example/fail/busy.swf?f=3&vid=k0LmN8vB2xC"), player)},
        // Thirty million steps: seconds of work here, and well over the one-second answer watch on a machine three times faster.
        {"a first frame that works past the start clock", fail.arg(QLatin1String("work-first")) + QStringLiteral("&n=30"), Outcome::Plays, MovieProblem::None, 0,
         "http://static.vidsite.example", false, nullptr, startClockHeld, nullptr, startClockRunsOutAtWork},
        {"a first frame that hangs, then a movie that plays", player, Outcome::Plays, MovieProblem::None, 0, "http://static.vidsite.example", false, nullptr,
         hungInItsFirstFrame(fail.arg(QLatin1String("loop-first")))},
        {"a renderer that dies under its movie", player, Outcome::Fails, MovieProblem::PlayerError, 0, nullptr, true, nullptr, {}, nullptr,
         [&] {
             ASSERT_TRUE(WaitUntil([&, shown = preview.shown] { return preview.shown > shown; }, 30000)) << "not shown";
             before = Qt::transparent;  // its own frame is not the movie before
             KillRenderer(flash);
         }},
        {"a movie whose renderers are killed one after another", player, Outcome::Fails, MovieProblem::PlayerError, 0, nullptr, true, nullptr, {}, nullptr,
         [&] { before = Qt::transparent; killEveryRenderer(); }},
        {"a failure after a movie that moves", fail.arg(QLatin1String("404")), Outcome::Fails, MovieProblem::HttpError, 404, nullptr, false, nullptr,
         [&] {
             flash->setMovie(fail.arg(QLatin1String("browse")));
             ASSERT_TRUE(WaitUntil([&] { return ScreenShows(flash, demo::PlayerColour(QStringLiteral("Tb7_wE3-pQs"))); }, 30000)) << "not shown";
             before = demo::PlayerColour(QStringLiteral("Tb7_wE3-pQs"));
         }},
        {"a large movie fetched ahead", QStringLiteral("http://static.vidsite.example/v1/res/big.swf?mb=9&vid=Tb7_wE3-pQs"), Outcome::Plays,
         MovieProblem::None, 0, "http://static.vidsite.example", true, nullptr,
         fetchedAhead(QStringLiteral("http://static.vidsite.example/v1/res/big.swf?mb=9&vid=Tb7_wE3-pQs"))},
        {"a movie that makes the player panic", panicHere ? fail.arg(QLatin1String("panic")) : QString(), Outcome::Fails, MovieProblem::PlayerError, 0, nullptr},
        {"redirected to a host without CORS", fail.arg(QLatin1String("redirect")), Outcome::Plays, MovieProblem::None, 0, "http://cdn.vidsite.example"},
        {"redirected to a host with CORS", fail.arg(QLatin1String("redirect-cors")), Outcome::Plays, MovieProblem::None, 0, "http://cdn.vidsite.example"},
        {"redirected again, fetched ahead and staged", fail.arg(QLatin1String("redirect")), Outcome::Plays, MovieProblem::None, 0, "http://cdn.vidsite.example", false, nullptr,
         [&] {
             // Staged where it will play: in a page of the host it was sent to.
             const int shown = preview.shown;
             flash->setMovie(QStringLiteral("http://cdn.vidsite.example/v1/res/vidplayer.swf?f=3&vid=XqZ9fR2kLmN"));
             ASSERT_TRUE(WaitUntil([&] { return preview.shown > shown; }, 30000));
             staged(fail.arg(QLatin1String("redirect")))();
         }},
        {"set while the movie fetched ahead is staged",  player, Outcome::Plays, MovieProblem::None, 0, "http://static.vidsite.example", false, nullptr,
         [&] { flash->Prefetch(PlayerAddress(QStringLiteral("k0LmN8vB2xC"))); }},
        {"a slow fetch, then a fast one", player, Outcome::Plays, MovieProblem::None, 0, "http://static.vidsite.example", false, nullptr,
         [&] { flash->setMovie(fail.arg(QLatin1String("wait"))); }},
        {"a stalling fetch, then another", player, Outcome::Plays, MovieProblem::None, 0, "http://static.vidsite.example", false, nullptr,
         [&] { flash->setMovie(fail.arg(QLatin1String("silent"))); }},
        {"a call owed by a page already replaced", demo::OtherOriginPlayerPrefix() + QStringLiteral("Tb7_wE3-pQs"), Outcome::Plays,
         MovieProblem::None, 0, "http://static.vidsite.example:8080", false, nullptr,
         [&] { flash->setMovie(PlayerAddress(QStringLiteral("XqZ9fR2kLmN"))); }},
    };
    const auto setMovie = [&](const QString& address, const char* what) {
        flash->setMovie(address);
        if (before.alpha() != 0) {
            EXPECT_TRUE(WaitUntil([&] { return !ScreenShows(flash, before); }, 10000)) << "the movie before shows under " << what;
        }
    };
    // Shown means shown: once the cover lifts, the screen goes to the movie
    // set without a frame of the movie before.
    const auto shownIs = [&](const QColor& colour, const std::string& what) {
        bool movieBefore = false;
        EXPECT_TRUE(WaitUntil([&] {
            movieBefore = movieBefore || (before.alpha() != 0 && before != colour && ScreenShows(flash, before));
            return ScreenShows(flash, colour);
        })) << what;
        EXPECT_FALSE(movieBefore) << what << ": the movie before showed after the cover lifted";
    };
    const int rows = static_cast<int>(std::size(cases));
    const int from = rows * GetParam() / RecoverySlices, to = rows * (GetParam() + 1) / RecoverySlices;
    // Each part begins where the whole table stands at its first row: a
    // running player that played the last movie before it that plays, and
    // a good movie on screen.
    const QString code = demo::Codes()[GetParam() % demo::Codes().size()];
    const auto playedBefore = std::find_if(std::make_reverse_iterator(std::begin(cases) + from), std::rend(cases),
                                           [](const Case& c) { return c.outcome == Outcome::Plays && !c.address.isEmpty(); });
    for (const QString& address : {PlayerAddress(code), playedBefore == std::rend(cases) ? QString() : playedBefore->address,
                                   PlayerAddress(code)}) {
        if (address.isEmpty())
            continue;
        const int shown = preview.shown;
        flash->setMovie(address);
        ASSERT_TRUE(WaitUntil([&] { return preview.shown > shown; }, 30000)) << address.toStdString();
    }
    shownIs(demo::PlayerColour(code), "the part's first movie");
    before = demo::PlayerColour(code);
    for (const Case& c : std::span(cases).subspan(from, to - from)) {
        if (c.address.isEmpty())
            continue;
        if (c.before)
            c.before();
        const int failuresBefore = failures;  // of this row's movie, not of what prepared it
        const int shownBefore = preview.shown, pagesBefore = pagesBuilt;
        setMovie(c.address, c.what);
        qint64 renderer = flash->page()->renderProcessPid();
        if (c.then)
            c.then();
        bool progressShown = false;
        const auto watchProgress = [&] {
            progressShown = progressShown || (c.progress && PreviewText(flash).endsWith(QLatin1String(c.progress)));
        };
        switch (c.outcome) {
        case Outcome::Plays:
            ASSERT_TRUE(WaitUntil([&] { watchProgress(); return preview.shown > shownBefore; }, 60000)) << c.what;  // a first frame may take the player's whole script limit
            shownIs(demo::PlayerColour(QStringLiteral("Tb7_wE3-pQs")), c.what);
            EXPECT_EQ(preview.shown, shownBefore + 1) << c.what << ": a movie set before showed";
            EXPECT_EQ(failures, failuresBefore) << c.what;
            EXPECT_TRUE(WaitUntil([&] { return test::CentreShows(flash, demo::PlayerColour(QStringLiteral("Tb7_wE3-pQs"))); }))
                << c.what;
            EXPECT_EQ(PageOrigin(flash), QLatin1String(c.origin)) << c.what;
            renderer = flash->page()->renderProcessPid();  // the one it plays in, a new one or not
            before = demo::PlayerColour(QStringLiteral("Tb7_wE3-pQs"));
            break;
        case Outcome::Fails: {
            // Neither before the sentence is on screen: no frame of the movie before.
            bool movieBefore = false;
            const auto watchBefore = [&] { movieBefore = movieBefore || (before.alpha() != 0 && ScreenShows(flash, before)); };
            ASSERT_TRUE(WaitUntil([&] { watchProgress(); watchBefore(); return failures > failuresBefore; }, 30000)) << c.what;
            EXPECT_EQ(failures, failuresBefore + 1) << c.what;
            EXPECT_EQ(lastProblem, c.problem) << c.what;
            EXPECT_TRUE(WaitUntil([&] { watchBefore(); return SentenceShown(flash) == MovieProblemText(c.problem, c.status); })) << c.what << ": " << SentenceShown(flash).toStdString();
            // Beside the sentence, not on it: where the cover says it, its middle is text.
            EXPECT_TRUE(WaitUntil([&] { watchBefore(); return ScreenShowsAt(flash, QPoint(8, 8), flash->palette().window().color()); }))
                << c.what << ": the sentence is not on the preview's own colour: " << CentrePixel(flash).name().toStdString()
                << (flash->findChild<PreviewCover*>()->isVisible() ? " (covered)" : " (uncovered)") << " renderer "
                << flash->page()->renderProcessPid();
            EXPECT_FALSE(movieBefore) << c.what << ": the movie before showed after the cover lifted";
            before = Qt::transparent;
            break;
        }
        case Outcome::Hangs:
            // It shows; then its script spins, as a second of its renderer's CPU tells.
            ASSERT_TRUE(WaitUntil([&] { return preview.shown > shownBefore; }, 30000)) << c.what;
            ASSERT_TRUE(WaitUntil([&, cpu = test::CpuTicks(renderer)] { return test::CpuTicks(renderer) >= cpu + ::sysconf(_SC_CLK_TCK); }, 30000))
                << c.what;
            before = demo::PlayerColour(QStringLiteral("Tb7_wE3-pQs"));
            break;
        }
        if (c.ask) {
            // Its next request, of its own site, has come; the first only where it may go.
            const auto asked = [](const char* what) { return test::DemoSite::Log().contains(QLatin1String(what)); };
            EXPECT_TRUE(WaitUntil([&] { return asked("vid=asked-own"); })) << c.what;
            EXPECT_EQ(c.askArrives ? WaitUntil([&] { return asked(c.ask); }) : asked(c.ask), c.askArrives) << c.what;
        }
        if (c.progress) {
            EXPECT_TRUE(progressShown) << c.what << ": the cover did not show how much had come";
        }
        if (c.origin == QLatin1String("http://cdn.vidsite.example") && c.before) {
            EXPECT_EQ(pagesBuilt, pagesBefore) << c.what << ": its page was built again";
        }
        // The next good code, in whatever player is there.
        const QString code = demo::Codes()[failuresBefore % demo::Codes().size()];
        const int shown = preview.shown;
        setMovie(PlayerAddress(code), c.what);
        ASSERT_TRUE(WaitUntil([&] { return preview.shown > shown; }, 30000)) << "after " << c.what;
        shownIs(demo::PlayerColour(code), std::string("after ") + c.what);
        EXPECT_TRUE(WaitUntil([&] { return test::CentreShows(flash, demo::PlayerColour(code)); }))
            << "after " << c.what << ": " << CentrePixel(flash).name().toStdString();
        EXPECT_EQ(NoticeShown(flash), QString()) << "after " << c.what;
        // Nothing a movie put up stays over the next: the page holds its player alone.
        EXPECT_EQ(PageAnswer(flash, QStringLiteral("String(document.body.children.length)")), QLatin1String("1"))
            << "after " << c.what;
        EXPECT_EQ(test::VisibleWindows(), 1) << "after " << c.what;
        if (c.endsRenderer) {
            EXPECT_NE(flash->page()->renderProcessPid(), renderer) << c.what << ": its renderer goes on";
        }
        before = demo::PlayerColour(code);
    }
}

INSTANTIATE_TEST_SUITE_P(Slices, ShockwaveFlashRecovery, testing::Range(0, RecoverySlices));

} // namespace
} // namespace vidlatch::platform
