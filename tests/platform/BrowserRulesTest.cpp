// The browsers' rules as small units, in milliseconds: which addresses a page
// may reach, how floods are counted, when a page being left is ended, and
// when a navigation arrives.
#include "AddressRule.h"
#include "FloodCounter.h"
#include "LeaveGuard.h"
#include "OffSiteRule.h"
#include "PageArrivals.h"
#include "UserActions.h"

#include <QUrl>

#include <gtest/gtest.h>

#include <vector>

namespace vidlatch::platform {
namespace {

TEST(AddressRule, KindOfEachAddress)
{
    // Each address: its kind, whether a page may ask for it (as a frame or a
    // part of a page), and whether the main frame may show it.
    struct Case { const char* address; AddressKind kind; bool request; bool mainFrame; };
    const Case cases[] = {
        {"http://v.vidsite.example/page/W/f/t/a1b2c3d4e5f.html", AddressKind::Site, true, true},
        {"https://BLOG.vidsite.example./u/x.html", AddressKind::Site, true, true},
        {"http://static.vidsite.example:8080/", AddressKind::Site, true, true},
        {"http://bbs.brightfold.example/thread-1.html", AddressKind::Site, true, true},
        {"ws://v.vidsite.example/live", AddressKind::Other, true, false},
        {"wss://static.vidsite.example:8443/live", AddressKind::Other, true, false},
        {"https://example.com/", AddressKind::Elsewhere, false, false},
        {"http://evil.example/frame", AddressKind::Elsewhere, false, false},
        {"ws://evil.example/socket", AddressKind::Other, false, false},
        {"http://v.vidsite.example@evil.example/", AddressKind::Elsewhere, false, false},
        {"http://v.vidsite.example.evil.example/", AddressKind::Elsewhere, false, false},
        {"http://127.0.0.1/", AddressKind::Elsewhere, false, false},
        {"about:blank", AddressKind::Blank, true, true},
        {"about:blank#x", AddressKind::Other, true, false},
        {"about:srcdoc", AddressKind::Other, true, false},
        {"qrc:/vidlatch/picture-close-60.png", AddressKind::PrivateFile, false, false},
        {"vidlatch-ruffle://app/ruffle.js", AddressKind::PrivateFile, false, false},
        {"vidlatch-ruffle://movie/1", AddressKind::PrivateFile, false, false},
        {"data:text/html,<title>forged</title>", AddressKind::Other, true, false},
        {"blob:http://v.vidsite.example/0b7e-4c1a", AddressKind::Other, true, false},
        {"filesystem:http://evil.example/temporary/x.html", AddressKind::Other, false, false},
        {"javascript:document.title='forged'", AddressKind::Other, false, false},
        {"file:///etc/hostname", AddressKind::Other, false, false},
        {"view-source:http://v.vidsite.example/", AddressKind::Other, false, false},
        {"smb://evil.example/share", AddressKind::Other, false, false},
        {"mailto:someone@evil.example", AddressKind::Other, false, false},
        {"vidlatchx-test://run?x=1", AddressKind::Other, false, false},
        {"", AddressKind::Other, false, false},
    };
    std::string atTheLimit = "http://v.vidsite.example/#";
    atTheLimit.resize(MaxAddressLength, 'x');
    const std::string overTheLimit = atTheLimit + "x";
    EXPECT_EQ(KindOfAddress(QUrl(QString::fromStdString(atTheLimit))), AddressKind::Site);
    EXPECT_EQ(KindOfAddress(QUrl(QString::fromStdString(overTheLimit))), AddressKind::TooLong);
    EXPECT_TRUE(IsRefusedAddress(QUrl(QString::fromStdString(overTheLimit))));
    EXPECT_FALSE(MayRequest(QUrl(QString::fromStdString(overTheLimit))));
    EXPECT_FALSE(MayRequest(QUrl(QString::fromStdString("data:," + overTheLimit))));
    for (const Case& c : cases) {
        const QUrl url(QString::fromUtf8(c.address));
        EXPECT_EQ(IsRefusedAddress(url), c.kind == AddressKind::PrivateFile) << c.address;
        EXPECT_EQ(KindOfAddress(url), c.kind) << c.address;
        EXPECT_EQ(IsPrivateFile(url), c.kind == AddressKind::PrivateFile) << c.address;
        EXPECT_EQ(MayRequest(url), c.request) << c.address;
        EXPECT_EQ(MayShowInMainFrame(url), c.mainFrame) << c.address;
    }
}

TEST(OffSiteRule, OnlyWebPagesLeaveAndOnlyOnTheUsersAction)
{
    using Outcome = OffSiteOutcome;
    // An address, how it came, whether the user had just acted in the page,
    // and what becomes of it.
    struct Case { const char* address; OffSiteAsk ask; bool acted; Outcome outcome; };
    const char* there = "http://evil.example/news.html";
    const Case cases[] = {
        {there, OffSiteAsk::Page, true, Outcome::Opening},
        {there, OffSiteAsk::Page, false, Outcome::WithoutAction},
        {"https://evil.example/", OffSiteAsk::Redirect, true, Outcome::Opening},
        {"https://evil.example/", OffSiteAsk::Redirect, false, Outcome::WithoutAction},
        {there, OffSiteAsk::User, false, Outcome::Opening},
        {"http://evil.example/formpost?q=1", OffSiteAsk::Form, true, Outcome::FormNotSent},
        {"smb://evil.example/share", OffSiteAsk::Page, true, Outcome::NotWebPage},
        {"sftp://evil.example/", OffSiteAsk::User, false, Outcome::NotWebPage},
        {"ssh://evil.example/", OffSiteAsk::Form, true, Outcome::NotWebPage},
    };
    for (const Case& c : cases) {
        UserActions actions;
        if (c.acted)
            (void)actions.On(UserActions::Event::Acted);
        EXPECT_EQ(JudgeOffSite(QUrl(QString::fromUtf8(c.address)), c.ask, actions), c.outcome) << c.address;
        // An address that is no web page, or a form, leaves the action for the next.
        EXPECT_EQ(actions.state() == UserActions::State::Due, c.acted && c.outcome != Outcome::Opening) << c.address;
        EXPECT_EQ(actions.stopped(), c.outcome == Outcome::WithoutAction ? 1 : 0) << c.address;
    }
}

TEST(UserActions, EachEventInEachState)
{
    using State = UserActions::State;
    using Event = UserActions::Event;
    // The state before, the event, the state after, whether an ask is
    // granted, and whether one is stopped.
    struct Row { State from; Event event; State to; bool granted; bool stopped; };
    const Row rows[] = {
        {State::None, Event::Acted, State::Due, false, false},
        {State::None, Event::PageNavigates, State::None, false, false},
        {State::None, Event::NewDocument, State::None, false, false},
        {State::None, Event::SpanOver, State::None, false, false},
        {State::None, Event::AsksElsewhere, State::None, false, true},
        {State::None, Event::RedirectsElsewhere, State::None, false, true},
        {State::Due, Event::Acted, State::Due, false, false},  // never saved up
        {State::Due, Event::PageNavigates, State::Navigating, false, false},
        {State::Due, Event::NewDocument, State::None, false, false},
        {State::Due, Event::SpanOver, State::None, false, false},
        {State::Due, Event::AsksElsewhere, State::None, true, false},
        {State::Due, Event::RedirectsElsewhere, State::None, true, false},
        {State::Navigating, Event::Acted, State::Due, false, false},
        {State::Navigating, Event::PageNavigates, State::None, false, false},
        {State::Navigating, Event::NewDocument, State::None, false, false},
        {State::Navigating, Event::SpanOver, State::Navigating, false, false},  // a slow site's redirect still counts
        {State::Navigating, Event::AsksElsewhere, State::Navigating, false, true},  // an old timer's, not the click's
        {State::Navigating, Event::RedirectsElsewhere, State::None, true, false},
    };
    for (const Row& row : rows) {
        UserActions actions;
        if (row.from != State::None)
            (void)actions.On(Event::Acted);
        if (row.from == State::Navigating)
            (void)actions.On(Event::PageNavigates);
        ASSERT_EQ(actions.state(), row.from);
        EXPECT_EQ(actions.On(row.event), row.granted) << int(row.from) << " " << int(row.event);
        EXPECT_EQ(actions.state(), row.to) << int(row.from) << " " << int(row.event);
        EXPECT_EQ(actions.stopped(), row.stopped ? 1 : 0) << int(row.from) << " " << int(row.event);
    }
}

TEST(FloodCounter, CountsInARowAndForgivesAPause)
{
    // Limit 3, gap 1000 ms. Each step: the time of a request, and whether it passes.
    struct Step { qint64 at; bool allowed; };
    struct Case { const char* what; std::vector<Step> steps; };
    const Case cases[] = {
        {"three in a row pass, the fourth is refused, and so is all after it",
         {{0, true}, {10, true}, {20, true}, {30, false}, {5000, false}}},
        {"a pause longer than the gap starts the count again",
         {{0, true}, {10, true}, {20, true}, {1021, true}, {1030, true}, {1040, true}, {1050, false}}},
        {"a pause of exactly the gap is no pause", {{0, true}, {500, true}, {1500, true}, {2500, false}}},
    };
    for (const Case& c : cases) {
        FloodCounter counter(3, 1000);
        for (const Step& step : c.steps)
            EXPECT_EQ(counter.Allow(step.at), step.allowed) << c.what << " at " << step.at;
    }
    // The gap runs from a mark (a dialog closed), and a new page forgives all.
    FloodCounter counter(1, 1000);
    EXPECT_TRUE(counter.Allow(0));
    counter.Mark(5000);
    EXPECT_FALSE(counter.Allow(5500));
    EXPECT_TRUE(counter.refused());
    counter.Reset();
    EXPECT_TRUE(counter.Allow(5600));
}

TEST(LeaveGuard, EndsOnlyAPageThatDoesNotAnswer)
{
    using Action = LeaveGuard::Action;
    constexpr qint64 Ask = LeaveGuard::AskAfterMs, End = LeaveGuard::EndAfterMs;
    // What happens to the guard, at which time, and what a tick then says.
    enum class Event { Tick, LetGo, Answer, DialogOpen, DialogClosed, LoadStarted, EndOfTheLeftPage, EndElsewhere };
    struct Step { qint64 at; Event event; Action expected; };
    struct Case { const char* what; std::vector<Step> steps; };
    const Case cases[] = {
        {"a page that lets go at once is never asked",
         {{10, Event::LetGo, Action::Wait}, {Ask + 10, Event::Tick, Action::Wait}}},
        {"a stuck page is asked, then ended",
         {{Ask - 1, Event::Tick, Action::Wait}, {Ask, Event::Tick, Action::AskPage}, {End - 1, Event::Tick, Action::Wait},
          {End, Event::Tick, Action::EndRenderer}, {End + 500, Event::Tick, Action::Wait}}},
        {"a slow page that answers is left alone, and asked again later",
         {{Ask, Event::Tick, Action::AskPage}, {Ask + 5, Event::Answer, Action::Wait}, {2 * Ask + 4, Event::Tick, Action::Wait},
          {2 * Ask + 5, Event::Tick, Action::AskPage}, {2 * Ask + 10, Event::Answer, Action::Wait},
          {3000, Event::LetGo, Action::Wait}, {9000, Event::Tick, Action::Wait}}},
        {"a page that answers once, then hangs, is ended",
         {{Ask, Event::Tick, Action::AskPage}, {Ask + 5, Event::Answer, Action::Wait},
          {2 * Ask + 5, Event::Tick, Action::AskPage}, {Ask + 5 + End, Event::Tick, Action::EndRenderer}}},
        {"the user reading the page's dialog holds nothing up against the page",
         {{Ask, Event::Tick, Action::AskPage}, {Ask + 1, Event::DialogOpen, Action::Wait}, {60000, Event::Tick, Action::Wait},
          {60001, Event::DialogClosed, Action::Wait}, {60001 + Ask, Event::Tick, Action::AskPage},
          {60001 + End, Event::Tick, Action::EndRenderer}}},
        {"the late end of the left page's own load lets nothing go: its script may start only now",
         {{10, Event::EndOfTheLeftPage, Action::Wait}, {Ask, Event::Tick, Action::AskPage}, {End, Event::Tick, Action::EndRenderer}}},
        {"... the end of a load started since does (a reload)",
         {{10, Event::LoadStarted, Action::Wait}, {20, Event::EndOfTheLeftPage, Action::Wait}, {Ask, Event::Tick, Action::Wait}}},
        {"... and so does the end of a load elsewhere", {{10, Event::EndElsewhere, Action::Wait}, {Ask, Event::Tick, Action::Wait}}},
        {"a page that answers again and again while the command's load is on its way is watched until it ends, "
         "and ended once it stops answering",
         {{5, Event::LoadStarted, Action::Wait}, {Ask, Event::Tick, Action::AskPage}, {Ask + 1, Event::Answer, Action::Wait}, {2 * Ask + 1, Event::Tick, Action::AskPage},
          {2 * Ask + 2, Event::Answer, Action::Wait}, {3 * Ask + 2, Event::Tick, Action::AskPage}, {3 * Ask + 3, Event::Answer, Action::Wait},
          {4 * Ask + 3, Event::Tick, Action::AskPage}, {4 * Ask + 4, Event::Answer, Action::Wait}, {5 * Ask + 4, Event::Tick, Action::AskPage},
          {4 * Ask + 4 + End, Event::Tick, Action::EndRenderer}}},
        {"... or until that load ends", {{Ask, Event::Tick, Action::AskPage}, {Ask + 1, Event::Answer, Action::Wait},
                                        {Ask + 2, Event::LoadStarted, Action::Wait}, {2 * Ask + 1, Event::Tick, Action::AskPage},
                                        {2 * Ask + 2, Event::Answer, Action::Wait}, {2 * Ask + 3, Event::EndElsewhere, Action::Wait},
                                        {9000, Event::Tick, Action::Wait}}},
        {"a command that starts no load (within the document, or refused) is over once the page has answered twice",
         {{Ask, Event::Tick, Action::AskPage}, {Ask + 1, Event::Answer, Action::Wait}, {2 * Ask + 1, Event::Tick, Action::AskPage},
          {2 * Ask + 2, Event::Answer, Action::Wait}, {9000, Event::Tick, Action::Wait}}},
        {"... a dialog closed is no answer to count",
         {{1, Event::DialogOpen, Action::Wait}, {2, Event::DialogClosed, Action::Wait}, {3, Event::DialogOpen, Action::Wait},
          {4, Event::DialogClosed, Action::Wait}, {5, Event::DialogOpen, Action::Wait}, {6, Event::DialogClosed, Action::Wait},
          {7, Event::DialogOpen, Action::Wait}, {8, Event::DialogClosed, Action::Wait}, {8 + Ask, Event::Tick, Action::AskPage},
          {8 + End, Event::Tick, Action::EndRenderer}}},
    };
    const QUrl left(QStringLiteral("http://v.vidsite.example/hostile/loop.html"));
    for (const Case& c : cases) {
        LeaveGuard guard;
        guard.Leaving(0, left);
        for (const Step& step : c.steps) {
            Action action = Action::Wait;
            switch (step.event) {
            case Event::Tick: action = guard.Tick(step.at); break;
            case Event::LetGo: guard.LetGo(); break;
            case Event::Answer: guard.Answered(step.at); break;
            case Event::DialogOpen: guard.Paused(true, step.at); break;
            case Event::DialogClosed: guard.Paused(false, step.at); break;
            case Event::LoadStarted: guard.LoadStarted(); break;
            case Event::EndOfTheLeftPage: guard.LoadEnded(left); break;
            case Event::EndElsewhere: guard.LoadEnded(QUrl(QStringLiteral("http://v.vidsite.example/"))); break;
            }
            EXPECT_EQ(action, step.expected) << c.what << " at " << step.at;
        }
    }
}

TEST(PageArrivals, EachOrderOfReportsGivesThePageOnScreen)
{
    using End = PageArrivals::End;
    // A report from the engine: a navigation expected (accepted, or its load
    // started), the address changed, or a load ended; with the address it names.
    enum class Report { Expect, Changed, Succeeded, Failed, ErrorPage, Stopped };
    struct Step { Report report; const char* url; };
    struct Case { const char* what; std::vector<Step> steps; std::vector<const char*> arrivals; };
    const char* A = "http://v.vidsite.example/page/a/b/c/racecode123.html";
    const char* B = "http://evil.example/racetarget";
    const Case cases[] = {
        {"a link", {{Report::Expect, A}, {Report::Expect, A}, {Report::Changed, A}, {Report::Succeeded, A}}, {A}},
        {"a reload: the address stays", {{Report::Expect, A}, {Report::Succeeded, A}}, {A}},
        {"no content or a download", {{Report::Expect, A}, {Report::Stopped, A}, {Report::Changed, B}}, {}},
        {"an error page", {{Report::Expect, A}, {Report::ErrorPage, A}}, {A}},
        {"a failure with no page", {{Report::Expect, A}, {Report::Failed, A}}, {}},
        {"a redirect arrives at its target", {{Report::Expect, A}, {Report::Expect, B}, {Report::Changed, B}, {Report::Succeeded, B}}, {B}},
        {"the second replaces the first before it commits",
         {{Report::Expect, A}, {Report::Expect, B}, {Report::Changed, B}, {Report::Failed, B}}, {B}},
        {"the first commits after the second was accepted",
         {{Report::Expect, A}, {Report::Expect, B}, {Report::Changed, A}, {Report::Changed, B}, {Report::Failed, B}}, {A, B}},
        {"a late stop of the replaced load",
         {{Report::Expect, A}, {Report::Expect, B}, {Report::Stopped, A}, {Report::Changed, B}, {Report::Succeeded, B}}, {B}},
        {"a late success of the replaced load after the new one arrived",
         {{Report::Expect, A}, {Report::Expect, B}, {Report::Changed, B}, {Report::Succeeded, A}}, {B}},
        {"the blank page of a new window, then a page",
         {{Report::Expect, "about:blank"}, {Report::Expect, B}, {Report::Changed, "about:blank"}, {Report::Changed, B}}, {"about:blank", B}},
        {"the document moving within itself", {{Report::Expect, A}, {Report::Changed, A}, {Report::Changed, "http://x/#y"}}, {A}},
        {"a move of the old document while a load is due",
         {{Report::Expect, B}, {Report::Changed, "http://x/?pushed"}, {Report::Changed, B}}, {B}},
    };
    for (const Case& c : cases) {
        PageArrivals arrivals;
        std::vector<std::string> seen;
        for (const Step& step : c.steps) {
            const QUrl url(QString::fromUtf8(step.url));
            std::optional<QUrl> arrived;
            switch (step.report) {
            case Report::Expect: arrivals.Expect(url); break;
            case Report::Changed: arrived = arrivals.AddressChanged(url); break;
            case Report::Succeeded: arrived = arrivals.Ended(url, End::Succeeded); break;
            case Report::Failed: arrived = arrivals.Ended(url, End::Failed); break;
            case Report::ErrorPage: arrived = arrivals.Ended(url, End::FailedWithErrorPage); break;
            case Report::Stopped: arrived = arrivals.Ended(url, End::Stopped); break;
            }
            if (arrived)
                seen.push_back(arrived->toString().toStdString());
        }
        EXPECT_EQ(seen, std::vector<std::string>(c.arrivals.begin(), c.arrivals.end())) << c.what;
    }
    // A page that starts navigations without end keeps a bounded list.
    PageArrivals storm;
    for (int i = 0; i < 1000; ++i)
        storm.Expect(QUrl(QStringLiteral("http://x/%1").arg(i)));
    EXPECT_FALSE(storm.AddressChanged(QUrl(QStringLiteral("http://x/0"))));
    EXPECT_TRUE(storm.AddressChanged(QUrl(QStringLiteral("http://x/999"))));
}

} // namespace
} // namespace vidlatch::platform
