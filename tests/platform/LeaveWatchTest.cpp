#include "BrowserPage.h"
#include "LeaveWatch.h"
#include "RendererProcess.h"
#include "UiWait.h"

#include <QFile>
#include <QSignalSpy>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <memory>

#include <unistd.h>

namespace vidlatch::platform {
namespace {

using test::CpuTicks;
using test::WaitUntil;

const QUrl Home(QStringLiteral("http://v.vidsite.example/"));
const QUrl Spinning(QStringLiteral("http://v.vidsite.example/hostile/loop.html?kind=spin"));

// A page in a shown window; the page goes before its view.
struct Shown {
    QWidget window;
    QWebEngineView* view = new QWebEngineView(&window);
    BrowserPage* page = new BrowserPage;

    Shown()
    {
        window.resize(640, 480);
        view->setGeometry(0, 0, 640, 480);
        view->setPage(page);
        window.show();
    }
    ~Shown()
    {
        view->setPage(nullptr);
        delete page;
    }
};

// A page that spins for good is ended and the command carried out where the
// kernel gives no pidfd: never a command left unserved. (With pidfds, the
// browser's loop tests cover it.) A later crash of the page's next renderer
// is no command's.
TEST(LeaveWatch, ASpinningPageIsEndedWithoutPidfds)
{
    struct Row { const char* kernel; int (*pidfdOpen)(pid_t); };
    const Row rows[] = {
        {"no pidfd_open", [](pid_t) { errno = ENOSYS; return -1; }},
        {"pidfd_open filtered", [](pid_t) { errno = EPERM; return -1; }},
    };
    for (const Row& row : rows) {
        Shown shown;
        LeaveWatch watch(shown.page, nullptr, {row.pidfdOpen, RendererProcess::Kernel.startTime, RendererProcess::Kernel.demand});
        QSignalSpy gone(&watch, &LeaveWatch::rendererGone);
        QSignalSpy loaded(shown.page, &QWebEnginePage::loadFinished);
        shown.page->load(Spinning);
        ASSERT_TRUE(loaded.wait(15000)) << row.kernel;
        const qint64 spinning = shown.page->renderProcessPid();
        ASSERT_GT(spinning, 0) << row.kernel;
        // It spins: a second of CPU for a page of one line.
        const quint64 before = CpuTicks(spinning);
        ASSERT_TRUE(WaitUntil([&] { return CpuTicks(spinning) >= before + ::sysconf(_SC_CLK_TCK); }, 60000)) << row.kernel;

        watch.Leave([page = shown.page] { page->load(Home); });
        EXPECT_TRUE(WaitUntil([&] { return shown.page->url() == Home && !shown.page->isLoading(); }, 20000))
            << row.kernel << ": " << shown.page->url().toString().toStdString();
        const qint64 next = shown.page->renderProcessPid();
        EXPECT_NE(next, spinning) << row.kernel;
        EXPECT_TRUE(test::PageAnswered(shown.page)) << row.kernel;
        for (const QList<QVariant>& end : gone)
            EXPECT_TRUE(end.at(0).toBool()) << row.kernel;  // the ended renderer's, carried on

        // Nothing is being left now: the page is lost, and no command runs again.
        const qsizetype ends = gone.size();
        ASSERT_GT(next, 0) << row.kernel;
        ASSERT_EQ(::kill(static_cast<pid_t>(next), SIGKILL), 0) << row.kernel;
        ASSERT_TRUE(WaitUntil([&] { return gone.size() > ends; })) << row.kernel;
        EXPECT_FALSE(gone.last().at(0).toBool()) << row.kernel;
    }
}

} // namespace
} // namespace vidlatch::platform
