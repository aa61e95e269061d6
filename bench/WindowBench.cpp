// Start-up time, preview and memory figures of the windows, beside a bare Qt
// window holding two web views. Run by bench/window-bench.sh; one mode a run:
//   bare     two QWebEngineViews in a plain window: the forum page and an empty page
//   main     Form1: shown, first frame of the preview, memory after start-up
//   browser  Form1, then Command2: the browser window shown with its home page
//            loaded, the shake's duration, memory with both windows open
//   cycles   Form1, then the browser window opened and closed ten times, each
//            time after a storm of VIDLATCH_BENCH_STORM window requests (default
//            3000; 0 for none): resident memory of the program after each close
//   switch   Form1, then movies of several codes: setMovie to first frame, each
//            new movie in the running player (same origin) beside a rebuilt
//            player page (another origin)
#include "AddressWatch.h"
#include "Form1.h"
#include "Form2.h"
#include "FormDefaults.h"
#include "ProcessMemory.h"
#include "ProgramIcon.h"
#include "QtText.h"
#include "ShockwaveFlash.h"
#include "SiteConstants.h"
#include "WebBrowser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWebEngineView>

#include <algorithm>
#include <string>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <memory>
#include <cstring>

using namespace vidlatch;

namespace {

void Report(const char* metric, double value, const char* unit)
{
    std::printf("%s: %.1f %s\n", metric, value, unit);
    std::fflush(stdout);
}

// Plays one movie after another in `flash`, alternating the way each one
// arrives, and reports the median time from setMovie to its first frame.
void ReportMovieSwitches(platform::ShockwaveFlash* flash)
{
    static const QStringList codes = {QStringLiteral("a1b2c3d4e5f"), QStringLiteral("XqZ9fR2kLmN"),
                                      QStringLiteral("Tb7_wE3-pQs"), QStringLiteral("k0LmN8vB2xC")};
    struct Run { QElapsedTimer clock; int step = 0; QList<double> samePlayer, newPage; };
    auto* run = new Run;
    // Steps: same origin twice per code (a new movie in the running player),
    // then the other origin (a new page), round the codes.
    auto next = [flash, run] {
        const int step = run->step;
        if (step >= 24) {
            auto median = [](QList<double> v) { std::sort(v.begin(), v.end()); return v.isEmpty() ? 0 : v[v.size() / 2]; };
            Report("movie_in_running_player_median", median(run->samePlayer), "ms");
            Report("movie_in_new_page_median", median(run->newPage), "ms");
            QCoreApplication::exit(0);
            return;
        }
        // Every third step changes the origin, and with it the page.
        const QString prefix = (step + 1) / 3 % 2 == 1
                                   ? QStringLiteral("http://static.vidsite.example:8080/v1/res/vidplayer.swf?f=3&vid=")
                                   : ui::Q(site::PlayerAddressPrefix);
        run->clock.start();
        flash->setMovie(prefix + codes[step % codes.size()]);
    };
    QObject::connect(flash, &platform::ShockwaveFlash::movieShown, flash, [run, next] {
        const double ms = static_cast<double>(run->clock.nsecsElapsed()) / 1e6;
        (run->step % 3 == 2 ? run->newPage : run->samePlayer).append(ms);
        ++run->step;
        QTimer::singleShot(200, next);
    });
    next();
}

// Opens the browser window, lets its page ask for `storm` windows, closes it,
// and reports the program's resident memory; `rounds` times.
void ReportWindowCycles(ui::Form1* form1, int storm, int rounds)
{
    auto* round = new int(0);
    auto cycle = std::make_shared<std::function<void()>>();
    *cycle = [=] {
        if (*round == rounds) {
            QCoreApplication::exit(0);
            return;
        }
        form1->Command2->click();
        QPointer<ui::Form2> form2(form1->BrowserWindow());
        form2->WebBrowser1->Navigate(QStringLiteral("http://v.vidsite.example/storm.html"));
        QTimer::singleShot(1500, [=] {
            if (form2 && storm > 0)
                form2->WebBrowser1->page()->runJavaScript(QStringLiteral("storm(%1)").arg(storm));
            QTimer::singleShot(1500, [=] {
                if (form2)
                    form2->close();
                QTimer::singleShot(500, [=] {
                    malloc_trim(0);  // what is free goes back, so that what stays shows
                    const std::string metric = "resident_after_close_" + std::to_string(++*round);
                    Report(metric.c_str(), static_cast<double>(bench::ResidentKiB()) / 1024.0, "MiB");
                    (*cycle)();
                });
            });
        });
    };
    (*cycle)();
}

void ReportMemorySoonAndQuit(int settleMs)
{
    QTimer::singleShot(settleMs, [] {
        for (const bench::ProcessPss& process : bench::PssByProcess()) {
            const std::string metric = "pss_" + process.role + "_" + std::to_string(process.pid);
            Report(metric.c_str(), static_cast<double>(process.pssKiB) / 1024.0, "MiB");
        }
        Report("pss_with_helpers", static_cast<double>(bench::PssWithHelpersKiB()) / 1024.0, "MiB");
        QCoreApplication::exit(0);
    });
}

} // namespace

int main(int argc, char** argv)
{
    const char* mode = argc > 1 ? argv[1] : "main";
    platform::PrepareApplication();
    QApplication app(argc, argv);
    platform::ApplyFormDefaults();
    QTimer::singleShot(120000, [] { std::fprintf(stderr, "timed out\n"); QCoreApplication::exit(3); });

    std::unique_ptr<QWidget> bare;
    std::unique_ptr<ui::Form1> form1;

    if (std::strcmp(mode, "bare") == 0) {
        bare = std::make_unique<QWidget>();
        bare->resize(690, 650);
        auto* forum = new QWebEngineView(bare.get());
        forum->setGeometry(448, 464, 57, 49);
        auto* preview = new QWebEngineView(bare.get());
        preview->setGeometry(24, 160, 641, 345);
        int loaded = 0;
        auto done = [&](bool) {
            if (++loaded == 2) {
                Report("both_pages_loaded", bench::MillisecondsSinceStart(), "ms");
                ReportMemorySoonAndQuit(3000);
            }
        };
        QObject::connect(forum, &QWebEngineView::loadFinished, done);
        QObject::connect(preview, &QWebEngineView::loadFinished, done);
        forum->load(QUrl(ui::Q(site::ForumAddress)));
        preview->setHtml(QStringLiteral("<html><body></body></html>"));
        bare->show();
        Report("window_shown", bench::MillisecondsSinceStart(), "ms");
    } else {
        QApplication::setQuitOnLastWindowClosed(false);
        QApplication::setWindowIcon(ui::ProgramIcon());
        form1 = std::make_unique<ui::Form1>();
        const bool browser = std::strcmp(mode, "browser") == 0;
        QObject::connect(form1->ShockwaveFlash1, &platform::ShockwaveFlash::movieShown, [&, browser] {
            static bool first = true;
            if (!first)
                return;
            first = false;
            Report("preview_first_frame", bench::MillisecondsSinceStart(), "ms");
            if (std::strcmp(mode, "cycles") == 0) {
                const char* storm = std::getenv("VIDLATCH_BENCH_STORM");
                ReportWindowCycles(form1.get(), storm ? std::atoi(storm) : 3000, 10);
                return;
            }
            if (std::strcmp(mode, "switch") == 0) {
                QTimer::singleShot(500, [&] { ReportMovieSwitches(form1->ShockwaveFlash1); });
                return;
            }
            if (!browser) {
                ReportMemorySoonAndQuit(3000);
                return;
            }
            // Press Command2 and time the browser window until its home page is in.
            auto* clock = new QElapsedTimer;
            clock->start();
            form1->Command2->click();
            ui::Form2* form2 = form1->BrowserWindow();
            Report("browser_window_shown", static_cast<double>(clock->nsecsElapsed()) / 1e6, "ms");
            QObject::connect(form2->WebBrowser1, &QWebEngineView::loadFinished, [clock, form2](bool) {
                static bool once = true;
                if (!once)
                    return;
                once = false;
                Report("browser_home_loaded", static_cast<double>(clock->nsecsElapsed()) / 1e6, "ms");
                delete clock;
                QTimer::singleShot(500, [form2] {
                    QElapsedTimer shake;
                    shake.start();
                    ui::Shake(form2->Command1Position());
                    Report("shake", static_cast<double>(shake.nsecsElapsed()) / 1e6, "ms");
                    if (std::getenv("VIDLATCH_BENCH_SHOT"))
                        form2->grab().save(QString::fromLocal8Bit(std::getenv("VIDLATCH_BENCH_SHOT")));
                    ReportMemorySoonAndQuit(2500);
                });
            });
        });
        form1->Show();
        Report("main_window_shown", bench::MillisecondsSinceStart(), "ms");
    }
    const int status = QApplication::exec();
    form1.reset();
    bare.reset();
    return status;
}
