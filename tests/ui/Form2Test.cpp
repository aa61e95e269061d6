#include "AddressWatch.h"
#include "AttentionJiggle.h"
#include "DemoSite.h"
#include "DesktopOpener.h"
#include "DropOn.h"
#include "Form1.h"
#include "Form2.h"
#include "FormLabel.h"
#include "PictureButton.h"
#include "QtText.h"
#include "ScriptedRuntime.h"
#include "SiteConstants.h"
#include "StatusBar.h"
#include "TabControl.h"
#include "UiWait.h"
#include "WebBrowser.h"
#include "WindowStyle.h"

#include <QAnimationDriver>
#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QMimeData>
#include <QMoveEvent>
#include <QPushButton>
#include <QSet>

#include <algorithm>
#include <QSignalSpy>
#include <QTabBar>

#include <QTest>

#include <gtest/gtest.h>

namespace vidlatch::ui {
namespace {

using test::ClickInPage;
using test::ScriptedRuntimeScope;
using test::WaitUntil;

const QString Home = Q(site::PageHostPrefix);
const QString Video0 = Home + QStringLiteral("page/W/f/t/a1b2c3d4e5f.html");
const QString Video1 = Home + QStringLiteral("page/W/f/t/XqZ9fR2kLmN.html");
const QString Blog = QStringLiteral("http://blog.vidsite.example/u/vidlatch/entry-2009.html");
// Another site's address carrying a video page's address inside it.
const QString OffSite = QStringLiteral("http://evil.example/go?u=") + Home + QStringLiteral("page/e/v/l/evilcode999.html");

const QString ChangedOne = QStringLiteral("检测网页一中的网址有变化,但是当前地址不可获取");
const QString ValidOne = QStringLiteral("已检测到浏览页面【1】存在有效地址!现在您可以进行获取了!");
const QString ValidTwo = QStringLiteral("已检测到浏览页面【2】存在有效地址!现在您可以进行获取了!");
const QString ChangedTwoBlog = QStringLiteral("检测网页二中的网址有变化,但是当前地址不可获取");
const QString ChangedTwo = QStringLiteral("检测网页二中的网址有变化,当前获取网页二的地址");

// Form1 started with a scripted runtime, and the browser window opened from it.
struct OpenBrowser {
    ScriptedRuntimeScope runtime;
    Form1 form1;
    Form2* f = nullptr;
    struct Event { int browser; QString fieldBefore; QString caption; int shakes; QString fieldAfter; };
    QList<Event> events;
    int shakeWrites = 0;

    OpenBrowser()
    {
        form1.Show();
        form1.Command2->click();
        f = form1.BrowserWindow();
        f->Command1Position().onWrite = [this](char, float) { ++shakeWrites; };
        // Watch every run of the watch from the outside, just before and just
        // after Form2's own handler (reconnected between the two).
        for (int browser : {1, 2}) {
            auto* view = browser == 1 ? f->WebBrowser1 : f->WebBrowser2;
            auto handler = browser == 1 ? &Form2::WebBrowser1_DownloadBegin : &Form2::WebBrowser2_DownloadBegin;
            QObject::disconnect(view, &platform::WebBrowser::DownloadBegin, f, handler);
            QObject::connect(view, &platform::WebBrowser::DownloadBegin, f, [this, browser] {
                events.append({browser, f->Text2->text(), {}, shakeWrites, {}});
            });
            QObject::connect(view, &platform::WebBrowser::DownloadBegin, f, handler);
            QObject::connect(view, &platform::WebBrowser::DownloadBegin, f, [this] {
                Event& e = events.last();
                e.caption = f->Frame3->title();
                e.shakes = (shakeWrites - e.shakes) / 2400;
                e.fieldAfter = f->Text2->text();
            });
        }
    }

    // `count` events, both pages loaded, and nothing more on its way.
    bool Settled(int count)
    {
        return WaitUntil([&] {
            return events.size() >= count && !f->WebBrowser1->page()->isLoading() && !f->WebBrowser2->page()->isLoading();
        }) && test::QueuedDelivered();
    }
};

TEST(Form2Layout, EveryControlInPlace)
{
    OpenBrowser s;
    Form2& f = *s.f;
    EXPECT_EQ(f.size(), QSize(1102, 668));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Ｋo.Vidlatch V4.0 -By:QuorinVelmo | IM：20090806"));
    struct Row { const char* name; QWidget* control; QWidget* container; QRect place; };
    const Row rows[] = {
        {"Frame4", f.Frame4, &f, {728, 8, 361, 97}},
        {"Picture4", f.Picture4, f.Frame4, {288, 16, 60, 60}},
        {"Picture3", f.Picture3, f.Frame4, {104, 16, 60, 60}},
        {"Picture2", f.Picture2, f.Frame4, {200, 16, 60, 60}},
        {"Picture1", f.Picture1, f.Frame4, {8, 16, 60, 60}},
        {"Frame3", f.Frame3, &f, {208, 8, 513, 97}},
        {"Command4", f.Command4, f.Frame3, {344, 69, 161, 20}},
        {"Command3", f.Command3, f.Frame3, {176, 72, 161, 17}},
        {"Command2", f.Command2, f.Frame3, {8, 72, 161, 17}},
        {"Command1", f.Command1, f.Frame3, {440, 16, 65, 25}},
        {"Text2", f.Text2, f.Frame3, {160, 21, 273, 18}},
        {"Label3", f.Label3, f.Frame3, {8, 48, 502, 12}},
        {"Label4", f.Label4, f.Frame3, {8, 24, 138, 12}},
        {"Frame1", f.Frame1, &f, {8, 8, 193, 97}},
        {"Label2", f.Label2, f.Frame1, {0, 48, 193, 41}},
        {"Label1", f.Label1, f.Frame1, {0, 16, 192, 12}},
        {"SSTab1", f.SSTab1, &f, {8, 112, 1081, 497}},
        {"WebBrowser1", f.WebBrowser1, f.SSTab1, {8, 32, 1065, 457}},
        {"WebBrowser2", f.WebBrowser2, f.SSTab1, {8, 32, 1065, 577}},
        {"St1", f.St1, &f, {0, 619, 1102, 49}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.control->geometry(), row.place) << row.name;
        EXPECT_EQ(row.control->parentWidget(), row.container) << row.name;
    }
    // WebBrowser2 reaches below the tab control and is cut off at its edge.
    EXPECT_GT(f.WebBrowser2->geometry().bottom(), f.SSTab1->height());

    EXPECT_EQ(f.Frame4->title(), QString());
    EXPECT_EQ(f.Frame1->title(), QString());
    EXPECT_EQ(f.Frame3->title(), QStringLiteral("正在检测地址..."));
    EXPECT_EQ(f.Command1->text(), QStringLiteral("自动获取"));
    EXPECT_EQ(f.Command2->text(), QStringLiteral("检测当前地址是否有效"));
    EXPECT_EQ(f.Command3->text(), QStringLiteral("浏览页面【1】回到主页"));
    EXPECT_EQ(f.Command4->text(), QStringLiteral("浏览页面【2】回到主页"));
    EXPECT_EQ(f.Label1->Caption(), QStringLiteral("使用方法"));
    EXPECT_EQ(f.Label2->Caption(), QStringLiteral("您仅需在网页中选择视频\r\n程序会自动检测当前页面\r\n选中后点击自动获取按钮\r\n"));
    EXPECT_EQ(f.Label3->Caption(), QStringLiteral("↑友情提示:如果进入视频页面后,地址没有检测到,请刷新页面即可↑"));
    EXPECT_EQ(f.Label4->Caption(), QStringLiteral("自动检测:[不需手动操作]"));
    EXPECT_EQ(f.SSTab1->TabCaption(0), QStringLiteral("Vidsite浏览页面【1】"));
    EXPECT_EQ(f.SSTab1->TabCaption(1), QStringLiteral("Vidsite浏览页面【2】"));
    EXPECT_LE(std::abs(f.SSTab1->TabStrip()->tabRect(0).width() - f.SSTab1->width() / 2), 1);
    EXPECT_LE(std::abs(f.SSTab1->TabStrip()->tabRect(1).width() - f.SSTab1->width() / 2), 1);
    EXPECT_EQ(f.St1->Panel(1)->text(), Q(site::CopyrightLine));

    struct Picture { platform::PictureButton* button; QString tip; };
    for (const Picture& p : {Picture{f.Picture1, QStringLiteral("初始化")}, Picture{f.Picture2, QStringLiteral("后退")},
                             Picture{f.Picture3, QStringLiteral("刷新")}, Picture{f.Picture4, QStringLiteral("关闭")}}) {
        EXPECT_EQ(p.button->toolTip(), p.tip);
        EXPECT_EQ(p.button->pixmap().size(), QSize(60, 60));
        EXPECT_EQ(p.button->cursor().hotSpot(), QPoint(5, 0));
        EXPECT_EQ(p.button->cursor().pixmap().size(), QSize(32, 32));
    }
    EXPECT_FALSE(platform::GetWindowLongA(&f, platform::GWL_STYLE) & platform::WS_THICKFRAME);
}

TEST(Form2Layout, OpensFreshOnTheFirstTabWithTheFocus)
{
    OpenBrowser s;
    Form2& f = *s.f;
    EXPECT_FALSE(s.form1.isVisible());
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.SSTab1->Tab(), 0);
    EXPECT_TRUE(f.WebBrowser1->isVisible());
    EXPECT_FALSE(f.WebBrowser2->isVisible());
    EXPECT_TRUE(f.WebBrowser1->Silent());
    EXPECT_FALSE(f.WebBrowser2->Silent());
    EXPECT_TRUE(WaitUntil([&] { return f.SSTab1->TabStrip()->hasFocus(); }, 10000));
    // Selecting the second tab shows the other browser.
    f.SSTab1->TabStrip()->setCurrentIndex(1);
    EXPECT_FALSE(f.WebBrowser1->isVisible());
    EXPECT_TRUE(f.WebBrowser2->isVisible());
}

TEST(Form2Watch, DecisionTableThroughRealNavigations)
{
    OpenBrowser s;
    Form2& f = *s.f;
    EXPECT_EQ(f.Frame3->title(), QStringLiteral("正在检测地址..."));
    EXPECT_TRUE(f.Text2->text().isEmpty());

    // Browser 1 loads the home page with the field empty: its start, then its arrival.
    ASSERT_TRUE(s.Settled(2));
    EXPECT_EQ(s.events[0].caption, ChangedOne);
    EXPECT_EQ(s.events[0].fieldAfter, QString());  // nothing shown yet
    EXPECT_EQ(s.events[1].caption, ChangedOne);
    EXPECT_EQ(s.events[1].fieldAfter, Home);

    // A video page: its arrival writes the field, its frame's download finds it valid.
    s.events.clear();
    ASSERT_TRUE(ClickInPage(f.WebBrowser1, QStringLiteral("video-0")));
    ASSERT_TRUE(s.Settled(3));
    ASSERT_EQ(s.events.size(), 3);
    EXPECT_EQ(s.events[0].fieldAfter, Home);  // asked for, not yet shown
    EXPECT_EQ(s.events[1].caption, ChangedOne);
    EXPECT_EQ(s.events[1].shakes, 0);
    EXPECT_EQ(s.events[1].fieldAfter, Video0);
    EXPECT_EQ(s.events[2].caption, ValidOne);
    EXPECT_EQ(s.events[2].shakes, 1);
    EXPECT_EQ(s.events[2].fieldAfter, Video0);

    // The field is shared: browser 2 begins with browser 1's video address in it.
    s.events.clear();
    f.Command4->click();  // tab 1 first: the field takes browser 2's (empty) address...
    EXPECT_EQ(f.SSTab1->Tab(), 1);
    ASSERT_TRUE(s.Settled(2));
    EXPECT_EQ(s.events[0].browser, 2);
    EXPECT_EQ(s.events[0].fieldBefore, QString());  // ...so no valid-page caption here
    EXPECT_EQ(s.events[1].caption, ChangedTwo);
    EXPECT_EQ(s.events[1].fieldAfter, Home);

    // Browser 2 on the blog host, then browser 2 on a video page.
    s.events.clear();
    f.WebBrowser2->Navigate(Blog);
    ASSERT_TRUE(s.Settled(2));
    EXPECT_EQ(s.events[1].caption, ChangedTwoBlog);
    s.events.clear();
    ASSERT_TRUE(ClickInPage(f.WebBrowser2, QStringLiteral("video")));
    ASSERT_TRUE(s.Settled(3));
    EXPECT_EQ(s.events[1].caption, ChangedTwo);  // a video page location, but the field held the blog
    EXPECT_EQ(s.events[2].caption, ValidTwo);
    EXPECT_EQ(s.events[2].shakes, 1);

    // A field written by browser 2 and a download of browser 1: page 1 is said valid.
    s.events.clear();
    f.WebBrowser1->Refresh();
    ASSERT_TRUE(s.Settled(1));
    EXPECT_EQ(s.events[0].browser, 1);
    EXPECT_EQ(s.events[0].caption, ValidOne);
}

TEST(Form2Watch, ShakeWritesAndEndsWhereItBegan)
{
    OpenBrowser s;
    Form2& f = *s.f;
    ControlPosition& position = f.Command1Position();
    QList<QPair<char, float>> writes;
    position.onWrite = [&](char axis, float value) { writes.append({axis, value}); };
    const QPoint start = f.Command1->pos();
    const float left = position.Left(), top = position.Top();
    EXPECT_EQ(left, 6600.0f);
    EXPECT_EQ(top, 240.0f);
    Shake(position);
    ASSERT_EQ(writes.size(), 2400);
    const QList<QPair<char, float>> cycle = {{'T', top + 100}, {'T', top}, {'T', top - 100}, {'T', top},
                                             {'L', left + 100}, {'L', left}, {'L', left - 100}, {'L', left}};
    for (int i = 0; i < 2400; ++i)
        ASSERT_EQ(writes[i], cycle[i % 8]) << i;
    EXPECT_EQ(f.Command1->pos(), start);

    // What the eye sees: a jiggle around the start, restarted by a later run,
    // ending where it began; the window goes on meanwhile.
    AttentionJiggle& jiggle = f.Command1Jiggle();
    QSignalSpy finished(&jiggle, &AttentionJiggle::finished);
    // Every place the button is moved to, not samples that a busy machine may space out.
    struct Moves : QObject {
        QSet<QPoint> seen;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Move)
                seen.insert(static_cast<QMoveEvent*>(event)->pos());
            return false;
        }
    } moves;
    const QSet<QPoint>& seen = moves.seen;
    ASSERT_TRUE(f.Command1->isVisible());  // a hidden widget's moves would come as one
    f.Command1->installEventFilter(&moves);
    // The animations' clock, stepped by the test, 5 ms a frame: every moment
    // of the jiggle is drawn however busy the machine (a starved one drew too
    // few frames to show each way).
    struct SteppedClock : QAnimationDriver {
        qint64 now = 0;
        qint64 elapsed() const override { return now; }
        void Step()
        {
            now += 5;
            advance();
            QCoreApplication::processEvents();  // the window goes on meanwhile
        }
    } clock;
    clock.install();
    jiggle.Start();
    EXPECT_TRUE(jiggle.running());
    while (clock.now < 150)
        clock.Step();
    jiggle.Start();
    while (finished.isEmpty() && clock.now < 10 * AttentionJiggle::Cycles * AttentionJiggle::CycleMs)
        clock.Step();
    clock.uninstall();
    EXPECT_EQ(finished.size(), 1);  // restarted, not run twice
    EXPECT_GE(clock.now, 150 + AttentionJiggle::Cycles * AttentionJiggle::CycleMs);
    EXPECT_EQ(f.Command1->pos(), start);
    // Down, up, right and left of the start, and never further than a step.
    const auto any = [&](auto test) { return std::any_of(seen.begin(), seen.end(), test); };
    EXPECT_TRUE(any([&](QPoint p) { return p.y() > start.y() && p.x() == start.x(); }));
    EXPECT_TRUE(any([&](QPoint p) { return p.y() < start.y() && p.x() == start.x(); }));
    EXPECT_TRUE(any([&](QPoint p) { return p.x() > start.x() && p.y() == start.y(); }));
    EXPECT_TRUE(any([&](QPoint p) { return p.x() < start.x() && p.y() == start.y(); }));
    EXPECT_FALSE(any([&](QPoint p) { return (p - start).manhattanLength() > 7; }));
    EXPECT_EQ(position.Left(), left);
    EXPECT_EQ(position.Top(), top);
}

TEST(Form2Watch, AReloadingAdvertKeepsItsPaceOnAWatchedVideoPage)
{
    OpenBrowser s;
    Form2& f = *s.f;
    ASSERT_TRUE(s.Settled(1));
    // Once the field holds the video page, every new advert in the frame
    // brings a shake; the frame must go on asking for a new advert every
    // 100 ms regardless. (Asking, not loading: on a busy machine the next
    // advert cuts the last one short.)
    test::DemoSite::ClearLog();
    f.WebBrowser1->Navigate(Video0 + QStringLiteral("?advert=reload"));
    ASSERT_TRUE(WaitUntil([&] { return test::DemoSite::Log().count(QLatin1String("/embed/advert.html")) >= 30; }, 60000))
        << test::DemoSite::Log().count(QLatin1String("/embed/advert.html")) << " adverts asked for";
    EXPECT_EQ(f.Frame3->title(), ValidOne);
    EXPECT_GE(s.shakeWrites, 2400 * 10) << s.events.size() << " downloads";
    EXPECT_EQ(f.Command1Position().Pixels(), QPoint(440, 16));  // the jiggle goes on around it
}

TEST(Form2Watch, WatchTableAndValidityCheck)
{
    struct Row { int browser; QString field; QString location; QString caption; bool shake; };
    const QString V = Q(site::VideoPagePrefix);
    const Row rows[] = {
        {1, V + QStringLiteral("/W/f/t/a.html"), QStringLiteral("http://x/"), ValidOne, true},
        {1, QString(), Blog, ChangedOne, false},
        {1, QString(), Video0, ChangedOne, false},
        {2, QStringLiteral("see ") + V, QString(), ValidTwo, true},
        {2, QString(), Blog, ChangedTwoBlog, false},
        {2, QString(), Video0, ChangedTwo, false},
        {2, QStringLiteral("HTTP://v.vidsite.example/page/x"), QStringLiteral("http://x/"), ChangedTwo, false},
        {1, Home + QStringLiteral("pages/list.html"), QString(), ValidOne, true},
        {1, OffSite, QString(), ChangedOne, false},
        {2, OffSite, OffSite, ChangedTwo, false},
    };
    for (const Row& row : rows) {
        const WatchVerdict verdict = Watch(row.browser, row.field, row.location);
        EXPECT_EQ(verdict.caption, row.caption) << row.field.toStdString();
        EXPECT_EQ(verdict.shake, row.shake) << row.field.toStdString();
    }

    OpenBrowser s;
    struct Check { QString field; QString text; int style; };
    for (const Check& c : {Check{Video0, QStringLiteral("当前页面地址有效!可以获取!"), 64},
                           Check{Home + QStringLiteral("page/x/index.html"), QStringLiteral("当前页面地址有效!可以获取!"), 64},
                           Check{QString(), QStringLiteral("您当前获取的视频地址页面有误!请您检查!"), 48},
                           Check{OffSite, QStringLiteral("您当前获取的视频地址页面有误!请您检查!"), 48},
                           Check{Home + QStringLiteral("cover/x.html?vid=a1b2c3d4e5f"), QStringLiteral("您当前获取的视频地址页面有误!请您检查!"), 48}}) {
        s.runtime->calls.clear();
        s.f->Text2->setText(c.field);
        const QString caption = s.f->Frame3->title();
        s.f->Command2->click();
        ASSERT_EQ(s.runtime->Notices().size(), 1);
        EXPECT_EQ(s.runtime->Notices()[0].text, c.text);
        EXPECT_EQ(s.runtime->Notices()[0].style, c.style);
        EXPECT_EQ(s.f->Text2->text(), c.field);
        EXPECT_EQ(s.f->Frame3->title(), caption);
    }
}

// A web link dropped on a browser opens there and is watched as a click
// would be; a file or another scheme never reaches the page.
TEST(Form2Drop, WebLinkOpensFilesAndOtherSchemesRefused)
{
    OpenBrowser s;
    Form2& f = *s.f;
    ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser1->LocationURL() == Home; }));
    for (const QUrl& refused : {QUrl::fromLocalFile(QStringLiteral("/etc/hostname")),
                                QUrl(QStringLiteral("data:text/html,<p>dropped</p>"))}) {
        QMimeData data;
        data.setUrls({refused});
        data.setText(refused.toString());
        EXPECT_FALSE(test::DropOn(f.WebBrowser1, data)) << refused.toString().toStdString();
    }
    QMimeData link;
    link.setUrls({QUrl(Video1)});
    s.events.clear();
    EXPECT_TRUE(test::DropOn(f.WebBrowser1, link));
    ASSERT_TRUE(WaitUntil([&] { return f.Text2->text() == Video1; }));
    EXPECT_EQ(f.WebBrowser1->LocationURL(), Video1);
    // The watch saw the home page in the field, then took the video page (a
    // frame of which may start at once, and find the field valid).
    const auto arrival = std::find_if(s.events.begin(), s.events.end(),
                                      [](const OpenBrowser::Event& e) { return e.fieldAfter == Video1; });
    ASSERT_NE(arrival, s.events.end());
    EXPECT_EQ(arrival->fieldBefore, Home);
    EXPECT_EQ(arrival->caption, ChangedOne);
}

TEST(Form2NewWindows, OpenInTheOtherBrowser)
{
    OpenBrowser s;
    Form2& f = *s.f;
    ASSERT_TRUE(s.Settled(2));  // the home page asked for, and arrived
    const int windows = test::VisibleWindows();
    QStringList fieldChanges;
    QObject::connect(f.Text2, &QLineEdit::textChanged, [&](const QString& text) { fieldChanges.append(text); });

    // target=_blank in browser 1 opens in browser 2, whose tab comes forward.
    ASSERT_TRUE(ClickInPage(f.WebBrowser1, QStringLiteral("blank")));
    ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser2->LocationURL() == Video0; }));
    EXPECT_EQ(f.SSTab1->Tab(), 1);
    ASSERT_FALSE(fieldChanges.isEmpty());
    EXPECT_EQ(fieldChanges[0], QString());  // browser 2's previous address: none
    EXPECT_EQ(f.WebBrowser1->LocationURL(), Home);

    // window.open in browser 2 opens in browser 1 on tab 0.
    fieldChanges.clear();
    f.WebBrowser2->Navigate(Home);
    ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser2->LocationURL() == Home; }));
    ASSERT_TRUE(ClickInPage(f.WebBrowser2, QStringLiteral("open")));
    ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser1->LocationURL() == Video1; }));
    EXPECT_EQ(f.SSTab1->Tab(), 0);
    EXPECT_TRUE(fieldChanges.contains(Home));

    // A page that opens a hundred windows: all in the other browser.
    f.WebBrowser1->Navigate(Home + QStringLiteral("storm.html"));
    ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser1->title() == QStringLiteral("一百个窗口"); }));
    f.WebBrowser1->page()->runJavaScript(QStringLiteral("storm()"));
    ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser2->LocationURL().contains(QStringLiteral("Tb7_wE3-pQs")); }));
    EXPECT_EQ(f.SSTab1->Tab(), 1);
    EXPECT_EQ(test::VisibleWindows(), windows);

}

// A page in the first tab asks for two windows at once: whichever order the
// engine reports the two loads in, the field and the hand-over follow the
// page on screen in the second.
TEST(Form2NewWindows, TwoQuickRequestsLeaveThePageOnScreenInTheField)
{
    const QString evil = Blog + QStringLiteral("?racetarget");  // a page of the site, but no video page
    const QString video = Home + QStringLiteral("page/a/b/c/racecode123.html");
    for (const auto& [first, delay] : {std::pair{video, 0}, std::pair{video, 0}, std::pair{video, 15},
                                       std::pair{QStringLiteral("about:blank"), 0}}) {
        OpenBrowser s;
        Form2& f = *s.f;
        ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser1->LocationURL() == Home; }));
        f.WebBrowser1->page()->runJavaScript(
            QStringLiteral("window.open('%1'); setTimeout(() => window.open('%2'), %3)").arg(first, evil).arg(delay));
        ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser2->LocationURL() == evil && !f.WebBrowser2->page()->isLoading(); }))
            << f.WebBrowser2->LocationURL().toStdString() << " loading " << f.WebBrowser2->page()->isLoading() << " url "
            << f.WebBrowser2->page()->url().toString().toStdString();
        // The arrival's DownloadBegin comes from the event loop (Qt 6.8 may
        // report no load under way by then).
        ASSERT_TRUE(test::QueuedDelivered());
        EXPECT_EQ(f.Text2->text().toStdString(), evil.toStdString()) << first.toStdString() << " then " << delay << " ms";
        s.runtime->calls.clear();
        f.Command1->click();
        ASSERT_EQ(s.runtime->Notices().size(), 1);
        EXPECT_EQ(s.runtime->Notices()[0].text, QStringLiteral("您当前获取的视频地址页面有误!请您检查!"));
    }
}

// Every way a page leaves for another site, by a real click of the user's
// (and a drop): a web page goes to the user's browser, once, while the
// built-in one keeps its page and the other tab gets nothing; a form posted
// elsewhere and an address that is no web page go nowhere. The status line
// says what became of each, and says "opened" only when the desktop did.
TEST(Form2OffSite, EachWayOfLeavingByTheUser)
{
    OpenBrowser s;
    Form2& f = *s.f;
    const QString ways = Home + QStringLiteral("hostile/leave-ways.html");
    const QString there = QStringLiteral("http://elsewhere.example/");
    const QString opened = QStringLiteral("已在您的浏览器中打开：");
    const QString share = QStringLiteral("已拒绝打开，这不是网页地址：smb://evil.example/share");
    struct Row { const char* way; QString sent; QString status; int desktopStatus = 0; };
    const Row rows[] = {
        {"link", there + QStringLiteral("news.html"), opened + there + QStringLiteral("news.html")},
        {"script", there + QStringLiteral("script.html"), opened + there + QStringLiteral("script.html")},
        {"redirect", there + QStringLiteral("redirected.html"), opened + there + QStringLiteral("redirected.html")},
        {"window", there + QStringLiteral("window.html"), opened + there + QStringLiteral("window.html")},
        {"drop", there + QStringLiteral("dropped.html"), opened + there + QStringLiteral("dropped.html")},
        {"link", there + QStringLiteral("news.html"), QStringLiteral("无法在您的浏览器中打开：") + there + QStringLiteral("news.html"), 1},
        {"form", QString(), QStringLiteral("提交到其他网站的表单未发送：http://evil.example/formpost?q=1")},
        {"form-window", QString(), QStringLiteral("提交到其他网站的表单未发送：http://evil.example/formpost?q=2")},
        {"share", QString(), share},
        {"share-redirect", QString(), share},
    };
    int pages = 0;
    for (const Row& row : rows) {
        const QString shown = ways + QStringLiteral("?row=%1").arg(++pages);  // each row's click in a page of its own
        f.WebBrowser1->Navigate(shown);
        ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser1->LocationURL() == shown && !f.WebBrowser1->page()->isLoading(); }));
        test::DesktopOpener::Clear();
        test::DesktopOpener::SetStatus(row.desktopStatus);
        f.St1->Panel(1)->setText(QString());
        if (QLatin1String(row.way) == QLatin1String("drop")) {
            QMimeData link;
            link.setUrls({QUrl(row.sent)});
            EXPECT_TRUE(test::DropOn(f.WebBrowser1, link));
        } else {
            ASSERT_TRUE(test::ClickAsUser(f.WebBrowser1, QString::fromLatin1(row.way))) << row.way;
        }
        ASSERT_TRUE(WaitUntil([&] { return f.St1->Panel(1)->text() == row.status; }))
            << row.way << ": " << f.St1->Panel(1)->text().toStdString();
        ASSERT_TRUE(test::PageAnswered(f.WebBrowser1->page()));
        EXPECT_EQ(test::DesktopOpener::Opened(), row.sent.isEmpty() ? QStringList() : QStringList{row.sent}) << row.way;
        EXPECT_EQ(f.WebBrowser1->LocationURL(), shown) << row.way;
        EXPECT_EQ(f.WebBrowser1->page()->url(), QUrl(shown)) << row.way;
        EXPECT_TRUE(f.WebBrowser2->LocationURL().isEmpty()) << row.way;
        EXPECT_EQ(f.SSTab1->Tab(), 0) << row.way;
    }
    test::DesktopOpener::SetStatus(0);
}

// A page that leaves by itself, with no action of the user's, by every way at
// once and without end, gets nothing out: each try is counted on the status line.
TEST(Form2OffSite, NothingLeavesWithoutTheUser)
{
    OpenBrowser s;
    Form2& f = *s.f;
    test::DesktopOpener::Clear();
    const QString page = Home + QStringLiteral("hostile/leave-ways.html?auto=1");
    f.WebBrowser1->Navigate(page);
    const QString stopped = QStringLiteral("页面未经您的操作要打开其他网站，已阻止（共 %1 次）：");
    ASSERT_TRUE(WaitUntil([&] { return f.St1->Panel(1)->text().startsWith(stopped.arg(30)); }, 60000))
        << f.St1->Panel(1)->text().toStdString();
    EXPECT_TRUE(test::DesktopOpener::Opened().isEmpty()) << test::DesktopOpener::Opened().join(u' ').toStdString();
    EXPECT_EQ(f.WebBrowser1->LocationURL(), page);
    EXPECT_TRUE(f.WebBrowser2->LocationURL().isEmpty());
}

TEST(Form2AutomaticFetch, EachParserOutcome)
{
    struct Row { const char* name; QString field; QString code; QString notice; int style; };
    const Row rows[] = {
        {"empty", QString(), QString(), QStringLiteral("您当前获取的视频地址页面有误!请您检查!"), 48},
        {"album", Home + QStringLiteral("p/q/r/index.html"), QString(), QStringLiteral("抱歉!本程序不支持专辑视频地址获取"), 48},
        {"film", Home + QStringLiteral("film/m/m2009seasonpart0001x/a1b2c3d4e5f.html"), QString(), QStringLiteral("抱歉!不支持电影地址的获取!"), 48},
        {"unsupported", Home + QStringLiteral("p/q/r/s.php"), QString(), QStringLiteral("抱歉!不支持此页面地址的获取!"), 48},
        {"video", Video0, QStringLiteral("a1b2c3d4e5f"), QStringLiteral("视频地址已获取成功!现转入主界面,请点击获取按钮获取真实视频地址!"), 64},
        {"off site", OffSite, QString(), QStringLiteral("您当前获取的视频地址页面有误!请您检查!"), 48},
    };
    for (const Row& row : rows) {
        OpenBrowser s;
        QPointer<Form2> f(s.f);
        ASSERT_TRUE(s.Settled(1));
        s.form1.Text1->setText(QStringLiteral("old"));
        f->Text2->setText(row.field);
        s.runtime->calls.clear();
        QString codeWhileOpen;
        s.runtime->whileOpen = [&](const auto&) { codeWhileOpen = s.form1.Text1->text(); };
        f->Command1->click();
        ASSERT_EQ(s.runtime->Notices().size(), 1) << row.name;
        EXPECT_EQ(s.runtime->Notices()[0].text, row.notice) << row.name;
        EXPECT_EQ(s.runtime->Notices()[0].style, row.style) << row.name;
        const bool taken = !row.code.isEmpty();
        EXPECT_EQ(s.form1.Text1->text(), taken ? row.code : QStringLiteral("old")) << row.name;
        EXPECT_EQ(codeWhileOpen, s.form1.Text1->text()) << row.name;  // written before the notice
        if (taken) {
            EXPECT_TRUE(WaitUntil([&] { return f.isNull(); }, 10000)) << row.name;
            EXPECT_TRUE(s.form1.isVisible());
        } else {
            ASSERT_TRUE(test::QueuedDelivered()) << row.name;  // a close would have been delivered by now
            ASSERT_FALSE(f.isNull()) << row.name;
            EXPECT_TRUE(f->isVisible());
            EXPECT_FALSE(s.form1.isVisible());
        }
    }
}

TEST(Form2Buttons, HomeResetBackRefreshAndTabChange)
{
    OpenBrowser s;
    Form2& f = *s.f;
    ASSERT_TRUE(s.Settled(1));

    // Back and refresh on browser 2, which never navigated: nothing happens, nothing is said.
    f.SSTab1->setTab(1);
    EXPECT_TRUE(f.Text2->text().isEmpty());  // tab change on a never-navigated browser
    f.Picture2->Click();
    f.Picture3->Click();
    ASSERT_TRUE(test::QueuedDelivered());
    EXPECT_TRUE(s.runtime->calls.isEmpty());
    EXPECT_TRUE(f.WebBrowser2->LocationURL().isEmpty());
    EXPECT_FALSE(f.WebBrowser2->page()->isLoading());

    // Back on browser 1 with no earlier page: nothing either.
    f.SSTab1->setTab(0);
    EXPECT_EQ(f.Text2->text(), Home);
    emit f.Picture2->Click();
    ASSERT_TRUE(test::PageAnswered(f.WebBrowser1->page()));
    EXPECT_TRUE(s.runtime->calls.isEmpty());
    EXPECT_EQ(f.WebBrowser1->LocationURL(), Home);

    // Reset: both home, field emptied, tab unchanged.
    s.events.clear();
    int loaded = 0;
    QObject::connect(f.WebBrowser1, &QWebEngineView::loadFinished, [&] { ++loaded; });
    emit f.Picture1->Click();
    EXPECT_TRUE(f.Text2->text().isEmpty());
    EXPECT_EQ(f.SSTab1->Tab(), 0);
    ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser2->LocationURL() == Home && loaded > 0; }));

    // Back and refresh follow the current tab.
    ASSERT_TRUE(ClickInPage(f.WebBrowser1, QStringLiteral("video-1")));
    ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser1->LocationURL() == Video1; }));
    s.events.clear();
    emit f.Picture3->Click();
    ASSERT_TRUE(s.Settled(1));
    EXPECT_EQ(s.events[0].browser, 1);
    emit f.Picture2->Click();
    ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser1->LocationURL() == Home; }));

    // Home buttons: the tab first (the field takes that browser's address), then home.
    f.WebBrowser2->Navigate(Blog);
    ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser2->LocationURL() == Blog; }));
    f.Text2->setText(QStringLiteral("typed by the user"));
    QStringList fieldChanges;
    QObject::connect(f.Text2, &QLineEdit::textChanged, [&](const QString& text) { fieldChanges.append(text); });
    f.Command4->click();
    ASSERT_FALSE(fieldChanges.isEmpty());
    EXPECT_EQ(fieldChanges[0], Blog);
    EXPECT_EQ(f.SSTab1->Tab(), 1);
    ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser2->LocationURL() == Home; }));
    f.Command3->click();
    EXPECT_EQ(f.SSTab1->Tab(), 0);
    EXPECT_TRUE(s.runtime->calls.isEmpty());
}

TEST(Form2Close, EveryWayBringsForm1BackAndReopensFresh)
{
    for (const char* way : {"close box", "Picture4", "Esc"}) {
        OpenBrowser s;
        QPointer<Form2> f(s.f);
        ASSERT_TRUE(s.Settled(1));
        f->Text2->setText(QStringLiteral("typed"));
        if (QLatin1String(way) == QLatin1String("close box")) {
            f->close();
        } else if (QLatin1String(way) == QLatin1String("Esc")) {
            f->activateWindow();
            ASSERT_TRUE(WaitUntil([&] { return f->isActiveWindow(); }));
            // From the event loop, as a real key comes: the window is deleted there.
            QTimer::singleShot(0, f->Text2, [&] { QTest::keyClick(f->Text2, Qt::Key_Escape); });
        } else {
            emit f->Picture4->Click();
        }
        EXPECT_TRUE(WaitUntil([&] { return f.isNull(); }, 10000)) << way;
        EXPECT_TRUE(s.form1.isVisible()) << way;
        EXPECT_TRUE(s.runtime->calls.isEmpty()) << way;  // no question, no notice

        s.form1.Command2->click();
        Form2* again = s.form1.BrowserWindow();
        ASSERT_NE(again, nullptr);
        EXPECT_TRUE(again->Text2->text().isEmpty() || again->Text2->text() == Home);
        EXPECT_EQ(again->SSTab1->Tab(), 0);
        EXPECT_TRUE(again->WebBrowser2->LocationURL().isEmpty());
        EXPECT_TRUE(WaitUntil([&] { return again->WebBrowser1->LocationURL() == Home; }));
        EXPECT_FALSE(s.form1.isVisible());
    }
}

TEST(Form2Buttons, ALoopingPageCannotHoldTheWindow)
{
    const QString loop = Home + QStringLiteral("hostile/loop.html?kind=%1");
    struct Row { const char* name; const char* kind; std::function<void(Form2&)> press; };
    const Row rows[] = {
        {"reset", "confirm", [](Form2& f) { emit f.Picture1->Click(); }},
        {"home 1", "open", [](Form2& f) { f.Command3->click(); }},  // its windows moved to tab 1
        {"refresh", "prompt", [](Form2& f) { emit f.Picture3->Click(); }},
        {"back", "alert", [](Form2& f) { emit f.Picture2->Click(); }},
    };
    for (const Row& row : rows) {
        OpenBrowser s;
        Form2& f = *s.f;
        ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser1->title() == QStringLiteral("Vidsite 首页"); })) << row.name;
        f.WebBrowser1->Navigate(loop.arg(QLatin1String(row.kind)));
        ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser1->title().startsWith(QStringLiteral("循环")); })) << row.name;
        int loads = 0;
        QObject::connect(f.WebBrowser1, &QWebEngineView::loadFinished, [&] { ++loads; });
        row.press(f);
        EXPECT_TRUE(WaitUntil([&] { return loads > 0; }, 10000)) << row.name;
    }
    // Closing takes effect at once too.
    OpenBrowser s;
    QPointer<Form2> f(s.f);
    f->WebBrowser1->Navigate(loop.arg(QStringLiteral("alert")));
    ASSERT_TRUE(WaitUntil([&] { return f->WebBrowser1->title().startsWith(QStringLiteral("循环")); }));
    emit f->Picture4->Click();
    EXPECT_TRUE(WaitUntil([&] { return f.isNull() && s.form1.isVisible(); }, 10000));
}

} // namespace
} // namespace vidlatch::ui

#include "Form2Test.moc"
