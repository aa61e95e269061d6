// Our browser against pages that misbehave on purpose: new windows that are
// no web pages, the program's own files, pages that will not be left, loops
// of dialogs and windows, and a storm of window requests.
#include "BrowserPage.h"
#include "DemoSite.h"
#include "OffSiteRule.h"
#include "FormRuntime.h"
#include "UiWait.h"
#include "WebBrowser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMessageBox>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include <unistd.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }
QT_END_NAMESPACE

namespace vidlatch::platform {
namespace {

using test::WaitUntil;

const QString Home = QStringLiteral("http://v.vidsite.example/");
const QString HomeTitle = QStringLiteral("Vidsite 首页");

// Closes every dialog a page shows, as a user would, and counts them.
struct DialogCloser {
    int shown = 0;
    QTimer timer;

    DialogCloser()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ++shown;
                box->reject();
            }
        });
        timer.start(20);
    }
};

// A browser in a shown window, counting its DownloadBegin events.
struct Browser {
    QWidget window;
    WebBrowser* view;
    QStringList downloads;  // LocationURL inside each DownloadBegin

    explicit Browser(bool silent = true)
    {
        window.resize(640, 480);
        view = new WebBrowser(&window);
        view->setGeometry(0, 0, 640, 480);
        view->setSilent(silent);
        QObject::connect(view, &WebBrowser::DownloadBegin, [this] { downloads.append(view->LocationURL()); });
        window.show();
    }

    // Opens a page that stays where it is asked for, and waits until it has
    // arrived and loaded: the late end of the load before is no arrival.
    bool Open(const QString& address)
    {
        QSignalSpy loaded(view, &QWebEngineView::loadFinished);
        view->Navigate(address);
        const QString arrived = QUrl(address).toString();
        return WaitUntil([&] { return !loaded.isEmpty() && view->LocationURL() == arrived && !view->page()->isLoading(); },
                         15000);
    }
    void Run(const QString& script) { view->page()->runJavaScript(script); }
    // Runs a script that ends by setting document.title, and returns that title.
    QString TitleAfter(const QString& script)
    {
        const QString before = view->title();
        QSignalSpy titled(view, &QWebEngineView::titleChanged);
        Run(script);
        if (!WaitUntil([&] { return !titled.isEmpty(); }))
            return QStringLiteral("(no answer)");
        return titled.last().at(0).toString();
    }
    // A real click inside the page, so that it counts as the user's; the
    // page says when it has seen it (its title becomes "pressed").
    bool ClickInside()
    {
        QElapsedTimer sinceClick;
        return WaitUntil([&] {
            if (view->title() == QStringLiteral("pressed"))
                return true;
            if (!sinceClick.isValid() || sinceClick.elapsed() > 300) {
                sinceClick.start();
                QWidget* target = view->focusProxy() ? view->focusProxy() : view;
                QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(100, 120));
            }
            return false;
        });
    }
};

TEST(HostilePage, NewWindowsCarryWebAddressesOnly)
{
    Browser a, b;
    ASSERT_TRUE(a.Open(Home));
    int asked = 0;
    QObject::connect(a.view, &WebBrowser::NewWindow2, [&](QObject*& ppDisp, bool&) {
        ++asked;
        ppDisp = b.view->Application();
    });
    const QString refused[] = {
        QStringLiteral("data:text/html,<title>forged</title>forged"),
        QStringLiteral("javascript:document.title='forged'"),
        QStringLiteral("qrc:/vidlatch/picture-close-60.png"),
        QStringLiteral("vidlatch-ruffle://app/package.json"),
        QStringLiteral("file:///etc/hostname"),
        QStringLiteral("view-source:http://v.vidsite.example/"),
        QString(),  // window.open() with no address: nothing to show without the opener...
        QStringLiteral("about:blank"),  // ...which some engines report as the blank page
    };
    // Each refused request is followed by a web one: when that one has arrived,
    // the refused one would have arrived before it.
    int sentinel = 0;
    for (const QString& address : refused) {
        const QString web = Home + QStringLiteral("page/W/f/t/a1b2c3d4e5f.html?sentinel=%1").arg(++sentinel);
        const QString quoted = address.isNull() ? QString() : u'\'' + address + u'\'';
        a.Run(QStringLiteral("window.open(%1)").arg(quoted));
        a.Run(QStringLiteral("window.open('%1')").arg(web));
        ASSERT_TRUE(WaitUntil([&] { return b.view->LocationURL() == web; })) << address.toStdString();
        EXPECT_EQ(asked, sentinel) << address.toStdString();
        EXPECT_TRUE(WaitUntil([&] { return b.view->title() == QStringLiteral("视频 a1b2c3d4e5f"); }))
            << address.toStdString() << ": " << b.view->title().toStdString();
    }
    for (const QString& seen : b.downloads)  // empty only before its first page
        EXPECT_TRUE(seen.isEmpty() || seen.startsWith(Home)) << seen.toStdString();
}

// A navigation that never arrives (stopped, answered with no content, turned
// into a download) changes nothing: not the address of the page shown, and
// not the allowance of dialogs that the page shown has used up.
TEST(HostilePage, OnlyAPageThatArrivesCounts)
{
    const QString shown = Home + QStringLiteral("hash.html");
    const QString video = Home + QStringLiteral("page/f/a/s/fastcode001.html");
    struct Case { const char* what; QString script; };
    const Case cases[] = {
        {"stopped at once", QStringLiteral("location.href='%1';window.stop();").arg(video)},
        {"no content", QStringLiteral("location.href='%1';").arg(Home + QStringLiteral("nocontent/page/f/a/s/fastcode001.html"))},
        {"a download", QStringLiteral("location.href='%1';").arg(Home + QStringLiteral("download/page/f/a/s/fastcode001.html"))},
        {"an address of 2 MB", QStringLiteral("location.href='%1#'+'x'.repeat((2<<20)-200);").arg(video)},
    };
    for (const Case& c : cases) {
        Browser w;
        ASSERT_TRUE(w.Open(shown)) << c.what;
        // The title changes a second later, when the navigation has long ended.
        EXPECT_EQ(w.TitleAfter(c.script + QStringLiteral("setTimeout(()=>document.title='after',1000);")),
                  QStringLiteral("after")) << c.what;
        EXPECT_EQ(w.view->LocationURL(), shown) << c.what;
        for (const QString& seen : w.downloads)
            EXPECT_FALSE(seen.contains(QLatin1String("fastcode001"))) << c.what;
    }
    for (const char* via : {"nocontent", "download"}) {
        Browser w(false);
        DialogCloser closer;
        ASSERT_TRUE(w.Open(Home + QStringLiteral("hostile/renew.html?via=%1").arg(QLatin1String(via))));
        int asked = 0;
        QObject::connect(static_cast<BrowserPage*>(w.view->page()), &BrowserPage::dialogAsked, [&] { ++asked; });
        ASSERT_TRUE(WaitUntil([&] { return asked >= 12; })) << via;  // four rounds of three
        EXPECT_EQ(closer.shown, BrowserPage::FloodDialogs) << via;
    }
}

// What no page gets here: the machine's devices, notifications, files, or
// credentials the user has not typed. Each is refused at once.
TEST(HostilePage, DevicesFilesAndCredentialsAreRefused)
{
    Browser w(false);
    ASSERT_TRUE(w.Open(Home));
    struct Case { const char* what; const char* script; const char* title; };
    const Case cases[] = {
        {"location", "navigator.geolocation.getCurrentPosition(()=>document.title='location granted',"
                     "e=>document.title='location denied')", "location denied"},
        {"notifications", "Notification.requestPermission().then(p=>document.title='notifications '+p)",
         "notifications denied"},
        {"notifications, as the page sees them", "document.title='permission '+Notification.permission",
         "permission denied"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(w.TitleAfter(QString::fromUtf8(c.script)).toStdString(), c.title) << c.what;
    // A 401 asking for Basic credentials: the server's own page, and none sent.
    ASSERT_TRUE(w.Open(Home + QStringLiteral("auth.html")));
    EXPECT_EQ(w.view->title(), QStringLiteral("需要登录"));
}

// The main frame shows the site's pages and the blank page, and nothing
// else, whether the browser was given it or the page went there: not content
// a page made itself, another page's source, nor the machine's files. The
// page shown stays, and the address it shows with it. (A page's own
// view-source: the engine refuses before anyone hears of it.)
TEST(HostilePage, TheMainFrameShowsOnlyTheSiteAndTheBlankPage)
{
    Browser w;
    w.view->setOffSitePages(WebBrowser::OffSitePages::UsersBrowser);  // which tells each refusal
    QStringList refusals;
    QObject::connect(w.view, &WebBrowser::OffSitePage, [&](OffSiteOutcome outcome, const QString& address, int) {
        if (outcome == OffSiteOutcome::NotWebPage)
            refusals.append(address);
    });
    ASSERT_TRUE(w.Open(QStringLiteral("about:blank")));
    ASSERT_TRUE(w.Open(Home));
    struct Row { const char* what; QString address; bool byPage; };
    const Row rows[] = {
        {"data, given", QStringLiteral("data:text/html,<title>own</title>own"), false},
        {"a page's source, given", QStringLiteral("view-source:http://v.vidsite.example/"), false},
        {"a file, given", QStringLiteral("file:///etc/hostname"), false},
        {"a page's own content, by the page", QStringLiteral("blob"), true},
    };
    for (const Row& row : rows) {
        refusals.clear();
        if (!row.byPage)
            w.view->Navigate(row.address);
        else if (row.address == QStringLiteral("blob"))
            w.Run(QStringLiteral("location.href = URL.createObjectURL(new Blob(['<title>own</title>own'], {type: 'text/html'}))"));
        else
            w.Run(QStringLiteral("location.href = '%1'").arg(row.address));
        ASSERT_TRUE(WaitUntil([&] { return !refusals.isEmpty(); })) << row.what;
        EXPECT_TRUE(row.address == QStringLiteral("blob") ? refusals[0].startsWith(QStringLiteral("blob:http://v.vidsite.example/"))
                                                          : refusals[0] == QUrl(row.address).toString()) << row.what;
        ASSERT_TRUE(test::PageAnswered(w.view->page()));
        EXPECT_EQ(w.view->LocationURL(), Home) << row.what;
        EXPECT_EQ(w.view->title(), HomeTitle) << row.what;
    }
}

// A site page made of another site's parts loads its own, and nothing of
// the others: not one request reaches them, and their frames stay empty.
TEST(HostilePage, OtherSitesPartsAreNeverAsked)
{
    Browser w;
    test::DemoSite::ClearLog();
    ASSERT_TRUE(w.Open(Home + QStringLiteral("hostile/parts.html")));
    ASSERT_TRUE(WaitUntil([&] { return w.view->title().startsWith(QStringLiteral("parts done")); }, 30000)) << w.view->title().toStdString();
    EXPECT_EQ(w.view->title(), QStringLiteral("parts done: own picture frames empty"));  // and no shared workers
    ASSERT_TRUE(WaitUntil([] { return test::DemoSite::Log().contains(QStringLiteral("v.vidsite.example/hostile/parts-done")); }));
    const QStringList asked = test::DemoSite::Log().split(u'\n', Qt::SkipEmptyParts);
    for (const QString& line : asked)
        EXPECT_TRUE(line.section(u' ', 1).startsWith(QStringLiteral("v.vidsite.example/"))) << line.toStdString();
}

TEST(HostilePage, TheProgramsOwnFilesArePrivate)
{
    Browser w;
    ASSERT_TRUE(w.Open(Home));
    const QString files[] = {QStringLiteral("vidlatch-ruffle://app/package.json"),
                             QStringLiteral("vidlatch-ruffle://app/ruffle.js"),
                             QStringLiteral("qrc:/qt-project.org/qmessagebox/images/qtlogo-64.png")};
    for (const QString& file : files) {
        // Fetched by the page: refused.
        EXPECT_EQ(w.TitleAfter(QStringLiteral("fetch('%1').then(r => r.text()).then("
                                              "t => document.title = 'read ' + t.length, "
                                              "() => document.title = 'refused %1')").arg(file)),
                  QStringLiteral("refused %1").arg(file));
        // Shown by the page as an image: never loaded.
        EXPECT_EQ(w.TitleAfter(QStringLiteral("const i = new Image(); i.onload = () => document.title = 'image shown'; "
                                              "i.onerror = () => document.title = 'image refused'; i.src = '%1';").arg(file)),
                  QStringLiteral("image refused")) << file.toStdString();
        // Navigated to by the page, then by the browser itself: nothing of it is shown.
        for (bool byPage : {true, false}) {
            ASSERT_TRUE(w.Open(Home));
            QSignalSpy loaded(w.view, &QWebEngineView::loadFinished);
            if (byPage)
                w.Run(QStringLiteral("location.href = '%1'").arg(file));
            else
                w.view->Navigate(file);
            ASSERT_TRUE(loaded.wait(15000)) << file.toStdString() << (byPage ? " by the page" : "");
            // What the files hold: the player's name in its files, the picture's size.
            const QString shown = w.TitleAfter(QStringLiteral(
                "document.title = ((document.images[0] && document.images[0].naturalWidth > 0) || "
                "/@ruffle-rs|RufflePlayer/.test(document.documentElement.outerHTML)) ? 'exposed' : 'hidden'"));
            EXPECT_NE(shown, QStringLiteral("exposed")) << file.toStdString() << (byPage ? " by the page" : "");
        }
    }
}

TEST(HostilePage, TheLeaveQuestionNeverTrapsTheUser)
{
    // A silent browser leaves, by every road.
    Browser silent;
    struct Road { const char* name; std::function<void(WebBrowser*)> act; QString to; };
    const Road roads[] = {
        {"navigate", [](WebBrowser* v) { v->Navigate(Home); }, Home},
        {"refresh", [](WebBrowser* v) { v->Refresh(); }, Home + QStringLiteral("hostile/leave.html")},
        {"back", [](WebBrowser* v) { v->GoBack(); }, Home + QStringLiteral("alerts.html")},
    };
    for (const Road& road : roads) {
        ASSERT_TRUE(silent.Open(Home + QStringLiteral("alerts.html")));
        ASSERT_TRUE(silent.Open(Home + QStringLiteral("hostile/leave.html")));
        ASSERT_TRUE(silent.ClickInside()) << road.name;
        QSignalSpy loaded(silent.view, &QWebEngineView::loadFinished);
        road.act(silent.view);
        ASSERT_TRUE(loaded.wait(10000)) << road.name;
        EXPECT_EQ(silent.view->LocationURL(), road.to) << road.name;
    }

    // A browser that shows dialogs asks the user, and stays when told to.
    Browser asking(false);
    ASSERT_TRUE(asking.Open(Home + QStringLiteral("hostile/leave.html")));
    ASSERT_TRUE(asking.ClickInside());
    int asked = 0;
    test::WhenModal<QMessageBox>([&](QMessageBox* box) {
        ++asked;
        box->button(QMessageBox::Cancel) ? box->button(QMessageBox::Cancel)->click() : box->reject();
    });
    asking.view->Navigate(Home);
    ASSERT_TRUE(WaitUntil([&] { return asked == 1 && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(asking.view->LocationURL(), Home + QStringLiteral("hostile/leave.html"));
}

// One test a kind of loop, so that they run side by side.
class HostilePageLoops : public testing::TestWithParam<const char*> {};

TEST_P(HostilePageLoops, CannotHoldEitherBrowser)
{
    const char* kind = GetParam();
    for (const bool isSilent : {true, false}) {
        const std::string row = std::string(kind) + (isSilent ? " silent" : " asking");
        Browser w(isSilent), other;
        int windows = 0;
        QObject::connect(w.view, &WebBrowser::NewWindow2, [&](QObject*& ppDisp, bool&) {
            ++windows;
            ppDisp = other.view->Application();
        });
        // A browser that shows dialogs shows the first few; the user closes them.
        DialogCloser closer;
        ASSERT_TRUE(w.Open(Home)) << row;
        ASSERT_TRUE(w.Open(Home + QStringLiteral("hostile/loop.html?kind=%1").arg(QLatin1String(kind)))) << row;
        int asked = 0;
        QObject::connect(static_cast<BrowserPage*>(w.view->page()), &BrowserPage::dialogAsked, [&] { ++asked; });
        ASSERT_TRUE(WaitUntil([&] { return windows == BrowserPage::FloodWindows || asked > 50; })) << row;
        // The flood was cut short: three boxes, then quiet refusals.
        EXPECT_EQ(closer.shown, isSilent || QLatin1String(kind) == QLatin1String("open") ? 0 : 3) << row;

        // Each way out works at once while the loop goes on.
        struct Road { const char* name; std::function<void()> act; QString to; };
        const Road roads[] = {
            {"refresh", [&] { w.view->Refresh(); }, QString()},
            {"back", [&] { w.view->GoBack(); }, Home},
            {"navigate", [&] { w.view->Navigate(Home); }, Home},
        };
        for (const Road& road : roads) {
            if (road.to.isEmpty() && QLatin1String(road.name) == QLatin1String("refresh")) {
                QSignalSpy loaded(w.view, &QWebEngineView::loadFinished);
                road.act();
                EXPECT_TRUE(loaded.wait(10000)) << row << " " << road.name;
                continue;
            }
            road.act();
            EXPECT_TRUE(
                WaitUntil([&] { return w.view->LocationURL() == road.to && w.view->title() == HomeTitle; }, 10000))
                << row << " " << road.name << ": " << w.view->LocationURL().toStdString() << ", "
                << w.view->title().toStdString() << ", loading " << w.view->page()->isLoading();
            if (QLatin1String(road.name) == QLatin1String("back")) {
                ASSERT_TRUE(w.Open(Home + QStringLiteral("hostile/loop.html?kind=%1").arg(QLatin1String(kind))));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, HostilePageLoops, testing::Values("alert", "confirm", "prompt", "open"),
                         [](const testing::TestParamInfo<const char*>& kind) { return std::string(kind.param); });

// Only a page that does not answer is ended: one that flooded once and is
// quiet now is left for a slow page in peace, its content shown meanwhile.
TEST(HostilePage, ASlowHealthyPageIsWaitedFor)
{
    Browser w, other;
    QObject::connect(w.view, &WebBrowser::NewWindow2, [&](QObject*& ppDisp, bool&) { ppDisp = other.view->Application(); });
    ASSERT_TRUE(w.Open(Home + QStringLiteral("storm.html")));
    ASSERT_TRUE(w.TitleAfter(QStringLiteral("storm(100)")).startsWith(QLatin1String("opened")));
    bool ended = false;
    QObject::connect(w.view->page(), &QWebEnginePage::renderProcessTerminated, [&] { ended = true; });
    const QString slow = Home + QStringLiteral("slow/page.html?ms=3000");
    w.view->Navigate(slow);
    ASSERT_TRUE(WaitUntil([&] { return w.view->LocationURL() == slow; }, 20000));
    EXPECT_FALSE(ended);
}

// A page that answers while the user's command leaves it, then spins before
// the (slow) page it goes to can arrive, is ended all the same, and the
// command arrives with no second press.
TEST(HostilePage, APageThatAnswersThenSpinsIsStillLeft)
{
    Browser w;
    ASSERT_TRUE(w.Open(Home + QStringLiteral("hostile/answers-then-spins.html")));
    bool ended = false;
    QObject::connect(w.view->page(), &QWebEnginePage::renderProcessTerminated, [&] { ended = true; });
    const QString slow = Home + QStringLiteral("slow/page.html?ms=4000");
    w.view->Navigate(slow);
    ASSERT_TRUE(WaitUntil([&] { return w.view->LocationURL() == slow && !w.view->page()->isLoading(); }, 60000))
        << w.view->LocationURL().toStdString();
    EXPECT_TRUE(ended);
}

// The resident memory of this process and of every process it started (the
// web engine's renderers and helpers), in KiB, how many processes that is,
// and this process's own share.
struct Resident { long kib = 0; int processes = 0; long selfKib = 0; };
Resident ResidentWithHelpers()
{
    QHash<int, int> parent;
    QHash<int, long> pages;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const int pid = entry.toInt(&number);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!number || !stat.open(QIODevice::ReadOnly))
            continue;
        // After the name's closing parenthesis: state, parent, ... resident pages (the 24th field).
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 22)
            continue;
        parent.insert(pid, fields[1].toInt());
        pages.insert(pid, fields[21].toLong());
    }
    Resident total;
    const int self = static_cast<int>(::getpid());
    for (auto it = pages.cbegin(); it != pages.cend(); ++it) {
        for (int p = it.key(); p > 1; p = parent.value(p, 0)) {
            if (p == self) {
                const long kib = it.value() * (::sysconf(_SC_PAGESIZE) / 1024);
                total.kib += kib;
                ++total.processes;
                if (it.key() == self)
                    total.selfKib = kib;
                break;
            }
        }
    }
    return total;
}

TEST(HostilePage, WindowStormsLeaveNothingBehind)
{
    Browser a, b;
    int asked = 0;
    QObject::connect(a.view, &WebBrowser::NewWindow2, [&](QObject*& ppDisp, bool&) {
        ++asked;
        ppDisp = b.view->Application();
    });
    constexpr int Storm = 3000;
    const int allowed = BrowserPage::FloodWindows;
    Resident afterStorm[2];
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(a.Open(Home + QStringLiteral("storm.html")));
        asked = 0;
        // The first few open in the other browser; the rest are refused at once.
        // (The one that tips the balance is created before it is refused.)
        EXPECT_EQ(a.TitleAfter(QStringLiteral("storm(%1)").arg(Storm)),
                  QStringLiteral("opened %1 of %2").arg(allowed + 1).arg(Storm));
        ASSERT_TRUE(WaitUntil([&] { return asked == allowed; })) << asked;
        const QString last = QStringLiteral("?n=%1").arg(allowed - 1);
        ASSERT_TRUE(WaitUntil([&] { return b.view->LocationURL().endsWith(last); })) << b.view->LocationURL().toStdString();
        ASSERT_TRUE(WaitUntil([&] { return b.view->title() == QStringLiteral("视频 Tb7_wE3-pQs"); }));
        afterStorm[round] = ResidentWithHelpers();
    }
    std::printf("resident after each storm: %ld KiB in %d processes, %ld KiB in %d\n", afterStorm[0].kib,
                afterStorm[0].processes, afterStorm[1].kib, afterStorm[1].processes);
    ASSERT_GT(afterStorm[0].processes, 1);  // the renderers are counted, not this process alone
    EXPECT_LE(afterStorm[1].processes, afterStorm[0].processes);
    EXPECT_LE(afterStorm[1].selfKib - afterStorm[0].selfKib, 20 * 1024);
    // The renderers' heaps move by some megabytes from round to round; a
    // storm's windows left behind would hold far more.
    EXPECT_LE(afterStorm[1].kib - afterStorm[0].kib, 64 * 1024);

    // After the storm, a click of the user's still opens its window.
    const int before = asked;
    const QStringList box = a.TitleAfter(QStringLiteral(
        "const r = document.getElementById('go').getBoundingClientRect();"
        "document.title = [r.x, r.y, r.width, r.height].map(Math.round).join(',')")).split(u',');
    ASSERT_EQ(box.size(), 4);
    const QPoint centre(box[0].toInt() + box[2].toInt() / 2, box[1].toInt() + box[3].toInt() / 2);
    QTest::mouseClick(a.view->focusProxy(), Qt::LeftButton, {}, centre);
    EXPECT_TRUE(WaitUntil([&] { return asked == before + 1; })) << asked - before;
    EXPECT_TRUE(WaitUntil([&] { return a.view->title() == QStringLiteral("opened 1 of 100"); }))
        << a.view->title().toStdString();
}

} // namespace
} // namespace vidlatch::platform
