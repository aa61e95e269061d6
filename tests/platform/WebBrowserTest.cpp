#include "BrowserPage.h"
#include "DemoSite.h"
#include "FormRuntime.h"
#include "UiWait.h"
#include "WebBrowser.h"

#include <QApplication>
#include <QMessageBox>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace vidlatch::platform {
namespace {

using test::WaitUntil;

const QString Home = QStringLiteral("http://v.vidsite.example/");
const QString Video = QStringLiteral("http://v.vidsite.example/page/W/f/t/a1b2c3d4e5f.html");

// A browser in a shown window that records every DownloadBegin with the
// LocationURL it saw at that moment.
struct Watched {
    QWidget window;
    WebBrowser* browser;
    QStringList seen;  // LocationURL inside each DownloadBegin
    bool loaded = false;

    Watched()
    {
        window.resize(640, 480);
        browser = new WebBrowser(&window);
        browser->setGeometry(0, 0, 640, 480);
        QObject::connect(browser, &WebBrowser::DownloadBegin, [this] { seen.append(browser->LocationURL()); });
        QObject::connect(browser, &QWebEngineView::loadFinished, [this](bool) { loaded = true; });
        window.show();
    }

    // Navigates (or acts) and waits for the page to finish loading.
    bool Load(const std::function<void()>& act)
    {
        loaded = false;
        act();
        return WaitUntil([this] { return loaded; });
    }

    void Run(const QString& script) { browser->page()->runJavaScript(script); }
};

TEST(WebBrowser, LocationIsEmptyBeforeTheFirstNavigation)
{
    Watched w;
    EXPECT_TRUE(w.browser->LocationURL().isEmpty());
    EXPECT_THROW(w.browser->GoBack(), ComponentError);
    EXPECT_THROW(w.browser->Refresh(), ComponentError);

    // Nothing while a first load is under way (the server waits 3 s; the
    // engine may show its address already), or if its page never comes (no content).
    const QString slow = Home + QStringLiteral("slow/page/f/a/s/fastcode001.html?ms=3000");
    w.browser->Navigate(slow);
    ASSERT_TRUE(WaitUntil([&] { return w.browser->page()->isLoading(); }));
    ASSERT_TRUE(test::QueuedDelivered());
    EXPECT_TRUE(w.browser->LocationURL().isEmpty()) << w.browser->LocationURL().toStdString();
    ASSERT_TRUE(WaitUntil([&] { return w.loaded; }));
    EXPECT_EQ(w.browser->LocationURL(), slow);

    Watched never;
    ASSERT_TRUE(never.Load([&] { never.browser->Navigate(Home + QStringLiteral("nocontent/page/f/a/s/fastcode001.html")); }));
    ASSERT_TRUE(test::QueuedDelivered());
    EXPECT_TRUE(never.browser->LocationURL().isEmpty()) << never.browser->LocationURL().toStdString();
}

TEST(WebBrowser, DownloadBeginFollowsNavigations)
{
    // Each navigation raises one as it starts, with the page shown until
    // then, and one as its page arrives, with the new address.
    Watched w;
    ASSERT_TRUE(w.Load([&] { w.browser->Navigate(Home); }));
    ASSERT_TRUE(test::QueuedDelivered());  // the arrival's own, raised from the event loop
    EXPECT_EQ(w.seen, (QStringList{QString(), Home}));

    // A link to a video page: the page, its arrival and the frame inside it.
    w.seen.clear();
    ASSERT_TRUE(w.Load([&] { w.Run(QStringLiteral("document.getElementById('video-0').click()")); }));
    ASSERT_TRUE(WaitUntil([&] { return w.seen.size() >= 3; }, 10000)) << w.seen.join(u' ').toStdString();
    ASSERT_TRUE(test::QueuedDelivered());  // and no fourth on its way
    EXPECT_EQ(w.seen, (QStringList{Home, Video, Video})) << w.seen.join(u' ').toStdString();

    // Refresh and back each start one navigation, which arrives.
    w.seen.clear();
    ASSERT_TRUE(w.Load([&] { w.browser->Refresh(); }));
    ASSERT_TRUE(WaitUntil([&] { return w.seen.size() >= 3; }, 10000)) << w.seen.join(u' ').toStdString();
    ASSERT_TRUE(test::QueuedDelivered());  // and no fourth on its way
    EXPECT_EQ(w.seen, (QStringList{Video, Video, Video})) << w.seen.join(u' ').toStdString();

    w.seen.clear();
    w.browser->GoBack();
    ASSERT_TRUE(WaitUntil([&] { return w.browser->LocationURL() == Home; })) << w.browser->LocationURL().toStdString();
    ASSERT_TRUE(WaitUntil([&] { return w.seen.size() >= 2; }));
    EXPECT_EQ(w.seen, (QStringList{Video, Home}));
}

TEST(WebBrowser, HashChangeAndPushStateAreNoDownloads)
{
    Watched w;
    ASSERT_TRUE(w.Load([&] { w.browser->Navigate(Home + QStringLiteral("hash.html")); }));
    ASSERT_TRUE(test::QueuedDelivered());  // the arrival's own, raised from the event loop
    w.seen.clear();
    w.Run(QStringLiteral("document.getElementById('to-hash').click()"));
    ASSERT_TRUE(WaitUntil([&] { return w.browser->LocationURL().endsWith(QStringLiteral("#part2")); }));
    w.Run(QStringLiteral("document.getElementById('push').click()"));
    ASSERT_TRUE(WaitUntil([&] { return w.browser->LocationURL().endsWith(QStringLiteral("state=1")); }));
    ASSERT_TRUE(test::PageAnswered(w.browser->page()));
    EXPECT_TRUE(w.seen.isEmpty()) << w.seen.join(u' ').toStdString();
}

TEST(WebBrowser, RedirectBelongsToItsNavigation)
{
    Watched w;
    ASSERT_TRUE(w.Load([&] { w.browser->Navigate(Home + QStringLiteral("redirect?to=/page/W/f/t/a1b2c3d4e5f.html")); }));
    ASSERT_TRUE(WaitUntil([&] { return w.seen.size() >= 3; }, 10000)) << w.seen.join(u' ').toStdString();
    ASSERT_TRUE(test::QueuedDelivered());  // and no fourth on its way
    ASSERT_EQ(w.seen.size(), 3) << w.seen.join(u' ').toStdString();  // the navigation, its arrival and the frame of the final page
    EXPECT_EQ(w.browser->LocationURL(), Video);
}

TEST(WebBrowser, NewWindowsOpenInTheInstanceTheHandlerNames)
{
    Watched a, b;
    ASSERT_TRUE(a.Load([&] { a.browser->Navigate(Home); }));
    int asked = 0;
    QObject::connect(a.browser, &WebBrowser::NewWindow2, [&](QObject*& ppDisp, bool& cancel) {
        ++asked;
        EXPECT_EQ(ppDisp, nullptr);
        EXPECT_FALSE(cancel);
        ppDisp = b.browser->Application();
    });
    const int windowsBefore = test::VisibleWindows();

    struct Row { const char* script; QString expected; };
    const Row rows[] = {
        {"document.getElementById('blank').click()", Video},
        {"document.getElementById('open').click()", QStringLiteral("http://v.vidsite.example/page/W/f/t/XqZ9fR2kLmN.html")},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(b.Load([&] { a.Run(QString::fromLatin1(row.script)); })) << row.script;
        EXPECT_EQ(b.browser->LocationURL(), row.expected) << row.script;
        EXPECT_EQ(a.browser->LocationURL(), Home) << row.script;
    }
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(test::VisibleWindows(), windowsBefore);
}

TEST(WebBrowser, HundredWindowsInALoopStayInside)
{
    Watched a, b;
    ASSERT_TRUE(a.Load([&] { a.browser->Navigate(Home + QStringLiteral("storm.html")); }));
    int asked = 0;
    QObject::connect(a.browser, &WebBrowser::NewWindow2, [&](QObject*& ppDisp, bool&) {
        ++asked;
        ppDisp = b.browser->Application();
    });
    const int windowsBefore = test::VisibleWindows();
    a.Run(QStringLiteral("storm()"));
    // The first ones are served, the last of them loaded; the rest are refused.
    ASSERT_TRUE(WaitUntil([&] { return asked == BrowserPage::FloodWindows; })) << asked;
    ASSERT_TRUE(WaitUntil([&] {
        return b.browser->LocationURL().endsWith(QStringLiteral("Tb7_wE3-pQs.html?n=%1").arg(BrowserPage::FloodWindows - 1));
    }));
    EXPECT_EQ(test::VisibleWindows(), windowsBefore);
}

TEST(WebBrowser, RefusedNewWindowOpensNowhere)
{
    Watched a, b;
    ASSERT_TRUE(a.Load([&] { a.browser->Navigate(Home); }));
    struct Row { const char* name; bool cancel; bool named; };
    for (const Row& row : {Row{"cancelled", true, true}, Row{"no instance named", false, false}}) {
        QObject::disconnect(a.browser, &WebBrowser::NewWindow2, nullptr, nullptr);
        int asked = 0;
        QObject::connect(a.browser, &WebBrowser::NewWindow2, [&](QObject*& ppDisp, bool& cancel) {
            ++asked;
            if (row.named)
                ppDisp = b.browser->Application();
            cancel = row.cancel;
        });
        a.Run(QStringLiteral("document.getElementById('blank').click()"));
        ASSERT_TRUE(WaitUntil([&] { return asked == 1; })) << row.name;
        ASSERT_TRUE(test::PageAnswered(a.browser->page())) << row.name;
        EXPECT_TRUE(b.browser->LocationURL().isEmpty()) << row.name;
        EXPECT_FALSE(b.browser->page()->isLoading()) << row.name;
    }
}

TEST(WebBrowser, SilentKeepsThePagesDialogsAway)
{
    Watched w;
    w.browser->setSilent(true);
    bool sawDialog = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget()) {
            sawDialog = true;
            QApplication::activeModalWidget()->close();
        }
    });
    watch.start(10);
    ASSERT_TRUE(w.Load([&] { w.browser->Navigate(Home + QStringLiteral("alerts.html")); }));
    ASSERT_TRUE(WaitUntil([&] { return w.browser->title() == QStringLiteral("alerts done"); }));
    EXPECT_FALSE(sawDialog);
}

TEST(WebBrowser, KilledRendererLeavesAnUsableBrowser)
{
    Watched w;
    ASSERT_TRUE(w.Load([&] { w.browser->Navigate(Home); }));
    const qint64 pid = w.browser->page()->renderProcessPid();
    ASSERT_GT(pid, 0);
    bool gone = false;
    QObject::connect(w.browser->page(), &QWebEnginePage::renderProcessTerminated, [&] { gone = true; });
    w.loaded = false;
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    ASSERT_TRUE(WaitUntil([&] { return gone; }));
    ASSERT_TRUE(WaitUntil([&] { return w.loaded; }));  // the empty page in the lost one's place
    ASSERT_TRUE(test::QueuedDelivered());
    EXPECT_EQ(w.browser->LocationURL(), Home);  // the empty page in its place is no navigation
    EXPECT_EQ(w.seen, (QStringList{QString(), Home}));  // the first page's start and arrival only
    // Refresh brings the lost page back; the browser goes on as before.
    w.seen.clear();
    ASSERT_TRUE(w.Load([&] { w.browser->Refresh(); }));
    EXPECT_EQ(w.seen, (QStringList{Home, Home}));
    EXPECT_EQ(w.browser->title(), QStringLiteral("Vidsite 首页"));
    w.seen.clear();
    ASSERT_TRUE(w.Load([&] { w.browser->Navigate(Video); }));
    EXPECT_EQ(w.browser->LocationURL(), Video);
    EXPECT_FALSE(w.seen.isEmpty());
}

} // namespace
} // namespace vidlatch::platform
