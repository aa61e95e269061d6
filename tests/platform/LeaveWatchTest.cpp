#include "BrowserPage.h"
#include "LeaveWatch.h"
#include "RendererProcess.h"
#include "UiWait.h"

#include <QSignalSpy>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <memory>

namespace vidlatch::platform {
namespace {

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

// Whether the page answers a script within `ms`; the answer is kept by the
// callback, which may come after the wait has given up.
bool Answers(QWebEnginePage* page, int ms)
{
    auto answered = std::make_shared<bool>(false);
    page->runJavaScript(QStringLiteral("0"), [answered](const QVariant&) { *answered = true; });
    return WaitUntil([answered] { return *answered; }, ms);
}

// A page that spins for good is ended and the command carried out where the
// kernel gives no pidfd: never a command left unserved. (With pidfds, the
// browser's loop tests cover it.)
TEST(LeaveWatch, ASpinningPageIsEndedWithoutPidfds)
{
    struct Row { const char* kernel; int (*pidfdOpen)(pid_t); };
    const Row rows[] = {
        {"no pidfd_open", [](pid_t) { errno = ENOSYS; return -1; }},
        {"pidfd_open filtered", [](pid_t) { errno = EPERM; return -1; }},
    };
    for (const Row& row : rows) {
        Shown shown;
        LeaveWatch watch(shown.page, nullptr, {row.pidfdOpen, RendererProcess::Kernel.startTime});
        QObject::connect(shown.page, &QWebEnginePage::renderProcessTerminated, &watch, [&watch] { watch.RendererGone(); });
        QSignalSpy loaded(shown.page, &QWebEnginePage::loadFinished);
        shown.page->load(Spinning);
        ASSERT_TRUE(loaded.wait(15000)) << row.kernel;
        ASSERT_TRUE(WaitUntil([&] { return !Answers(shown.page, 1000); })) << row.kernel;  // it spins
        const qint64 spinning = shown.page->renderProcessPid();
        ASSERT_GT(spinning, 0) << row.kernel;

        watch.Leave([page = shown.page] { page->load(Home); });
        EXPECT_TRUE(WaitUntil([&] { return shown.page->url() == Home && !shown.page->isLoading(); }, 20000))
            << row.kernel << ": " << shown.page->url().toString().toStdString();
        EXPECT_NE(shown.page->renderProcessPid(), spinning) << row.kernel;
        EXPECT_TRUE(Answers(shown.page, 5000)) << row.kernel;
    }
}

} // namespace
} // namespace vidlatch::platform
