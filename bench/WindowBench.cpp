// Start-up time, preview and memory figures of the windows, beside a bare Qt
// window holding two web views. Run by bench/window-bench.sh; one mode a run:
//   bare     two QWebEngineViews in a plain window: the forum page and an empty page
//   main     Form1: shown, first frame of the preview, memory after start-up,
//            and what each step of start-up took: the program's own steps,
//            then the preview page's (its navigation, Ruffle's script, its
//            WebAssembly fetched and compiled, the movie fetched)
//   browser  Form1, then Command2: the browser window shown with its home page
//            loaded, the shake's duration, memory with both windows open
//   cycles   Form1, then the browser window opened and closed ten times, each
//            time after a storm of VIDLATCH_BENCH_STORM window requests (default
//            3000; 0 for none): resident memory of the program after each close
//   switch   Form1, then movies of several codes: setMovie to first frame, each
//            new movie in the running player (same origin) beside a rebuilt
//            player page (another origin)
//   fetch, fetch-rebuild
//            Form1, then a fetch of each of several codes as a user makes it:
//            Command1, Enter on the notice, and one preview pixel polled every
//            5 ms until it shows the code's movie; each movie in the running
//            player, or (fetch-rebuild) each in a player page built anew
#include "AddressWatch.h"
#include "DemoPlayer.h"
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
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <memory>
#include <string>

using namespace vidlatch;

namespace {

const QStringList DemoCodes = demo::Codes();
const QString OtherOriginPlayer = demo::OtherOriginPlayerPrefix();

double Median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

void Report(const char* metric, double value, const char* unit)
{
    std::printf("%s: %.1f %s\n", metric, value, unit);
    std::fflush(stdout);
}

// Plays one movie after another in `flash`, alternating the way each one
// arrives, and reports the median time from setMovie to its first frame.
void ReportMovieSwitches(platform::ShockwaveFlash* flash)
{
    struct Run { QElapsedTimer clock; int step = 0; QList<double> samePlayer, newPage; };
    auto* run = new Run;
    // Steps: same origin twice per code (a new movie in the running player),
    // then the other origin (a new page), round the codes.
    auto next = [flash, run] {
        const int step = run->step;
        if (step >= 24) {
            Report("movie_in_running_player_median", Median(run->samePlayer), "ms");
            Report("movie_in_new_page_median", Median(run->newPage), "ms");
            QCoreApplication::exit(0);
            return;
        }
        // Every third step changes the origin, and with it the page.
        const QString prefix = (step + 1) / 3 % 2 == 1
                                   ? OtherOriginPlayer
                                   : ui::Q(site::PlayerAddressPrefix);
        run->clock.start();
        flash->setMovie(prefix + DemoCodes[step % DemoCodes.size()]);
    };
    QObject::connect(flash, &platform::ShockwaveFlash::movieShown, flash, [run, next] {
        const double ms = static_cast<double>(run->clock.nsecsElapsed()) / 1e6;
        (run->step % 3 == 2 ? run->newPage : run->samePlayer).append(ms);
        ++run->step;
        QTimer::singleShot(200, next);
    });
    next();
}

// Marks the preview page's steps on its own clock, for ReportPreviewSteps.
// Runs in the page before anything of it, as a bench-only script.
constexpr char PreviewStepMarks[] = R"JS(
(() => {
  const marks = window.__benchMarks = {};
  const mark = (name) => { if (!(name in marks)) marks[name] = performance.now(); };
  mark('page_script_start');
  document.addEventListener('DOMContentLoaded', () => mark('page_dom_ready'));
  const requested = (url) => {
    url = String(url);
    if (url.endsWith('.wasm')) mark('wasm_requested');
    if (url.includes('.swf')) mark('movie_requested');
  };
  // The player's own files come by XMLHttpRequest, the movie by fetch.
  const realFetch = window.fetch;
  window.fetch = function (input) {
    requested(typeof input === 'string' ? input : (input && input.url) || input);
    return realFetch.apply(this, arguments);
  };
  const realOpen = XMLHttpRequest.prototype.open;
  XMLHttpRequest.prototype.open = function (method, url) {
    requested(url);
    return realOpen.apply(this, arguments);
  };
  for (const name of ['instantiateStreaming', 'instantiate']) {
    const real = WebAssembly[name];
    WebAssembly[name] = function () {
      mark('wasm_compile_start');
      return real.apply(WebAssembly, arguments).then((result) => { mark('wasm_ready'); return result; });
    };
  }
  new MutationObserver(() => { if (document.title === 'vidlatch:movie-shown') mark('movie_shown'); })
    .observe(document, { subtree: true, childList: true, characterData: true });
})();
)JS";

void InstallPreviewStepMarks(platform::ShockwaveFlash* flash)
{
    QWebEngineScript script;
    script.setName(QStringLiteral("bench-step-marks"));
    script.setSourceCode(QLatin1String(PreviewStepMarks));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    flash->page()->scripts().insert(script);
}

// Reports the preview page's steps on the program's clock: the page's own
// clock starts when its navigation starts.
void ReportPreviewSteps(platform::ShockwaveFlash* flash, std::function<void()> then)
{
    flash->page()->runJavaScript(
        QStringLiteral("JSON.stringify({origin: performance.timeOrigin, nav: performance.getEntriesByType('navigation')[0], "
                       "marks: window.__benchMarks || {}})"),
        [then](const QVariant& result) {
            const QJsonObject all = QJsonDocument::fromJson(result.toString().toUtf8()).object();
            const char* t0 = std::getenv("VIDLATCH_BENCH_T0");
            const double originMs = all.value(QStringLiteral("origin")).toDouble() -
                                    (t0 ? static_cast<double>(std::strtoll(t0, nullptr, 10)) / 1e6 : 0.0);
            Report("step_preview_navigation_start", originMs, "ms");
            const QJsonObject nav = all.value(QStringLiteral("nav")).toObject();
            Report("step_preview_page_fetched", originMs + nav.value(QStringLiteral("responseEnd")).toDouble(), "ms");
            const QJsonObject marks = all.value(QStringLiteral("marks")).toObject();
            for (const char* name : {"page_script_start", "page_dom_ready", "wasm_requested", "wasm_compile_start",
                                     "wasm_ready", "movie_requested", "movie_shown"}) {
                if (marks.contains(QLatin1String(name)))
                    Report(("step_preview_" + std::string(name)).c_str(),
                           originMs + marks.value(QLatin1String(name)).toDouble(), "ms");
            }
            then();
        });
}

// Fetches one code after another as a user does: Command1, then Enter on the
// notice; from that key press, one pixel in the middle of the preview is read
// off the screen every 5 ms until it shows the code's movie. With `rebuild`,
// each fetch first has the preview play a movie of another origin, so that
// the fetched one needs a new player page.
void ReportFetches(ui::Form1* form1, bool rebuild)
{
    constexpr int Fetches = 12;
    struct Run { int step = 0; QElapsedTimer clock; QList<double> times; };
    auto* run = new Run;
    platform::ShockwaveFlash* flash = form1->ShockwaveFlash1;
    auto next = std::make_shared<std::function<void()>>();

    auto pollUntilShown = [=](const QColor wanted) {
        auto* poll = new QTimer;
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, [=] {
            const QPoint centre = flash->mapToGlobal(flash->rect().center());
            const QColor seen = flash->screen()->grabWindow(0, centre.x(), centre.y(), 1, 1).toImage().pixelColor(0, 0);
            if (!demo::SameColour(seen, wanted) && run->clock.elapsed() < 10000)
                return;
            poll->deleteLater();
            run->times.append(static_cast<double>(run->clock.nsecsElapsed()) / 1e6);
            ++run->step;
            QTimer::singleShot(300, *next);
        });
        poll->start();
    };
    auto fetch = [=](const QString& code) {
        form1->Text1->setText(code);
        // The notice is modal: Enter is pressed from inside its own loop.
        auto pressEnter = std::make_shared<std::function<void()>>();
        *pressEnter = [=] {
            QWidget* notice = QApplication::activeModalWidget();
            if (!notice) {
                QTimer::singleShot(5, *pressEnter);
                return;
            }
            run->clock.start();
            QTest::keyClick(notice, Qt::Key_Return);
            pollUntilShown(demo::PlayerColour(code));
        };
        QTimer::singleShot(50, *pressEnter);
        form1->Command1->click();
    };
    *next = [=] {
        if (run->step == Fetches) {
            for (int i = 0; i < run->times.size(); ++i)
                Report(("fetch_" + std::to_string(i + 1)).c_str(), run->times[i], "ms");
            Report(rebuild ? "fetch_to_frame_new_page_median" : "fetch_to_frame_running_player_median",
                   Median(run->times), "ms");
            QCoreApplication::exit(0);
            return;
        }
        const QString code = DemoCodes[run->step % DemoCodes.size()];
        if (!rebuild) {
            fetch(code);
            return;
        }
        // Another origin first; the fetch then builds the player page anew.
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection = QObject::connect(flash, &platform::ShockwaveFlash::movieShown, [=] {
            QObject::disconnect(*connection);
            QTimer::singleShot(300, [=] { fetch(code); });
        });
        flash->setMovie(OtherOriginPlayer + DemoCodes[(run->step + 1) % DemoCodes.size()]);
    };
    (*next)();
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
    Report("step_main_entered", bench::MillisecondsSinceStart(), "ms");
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
        Report("step_application_ready", bench::MillisecondsSinceStart(), "ms");
        form1 = std::make_unique<ui::Form1>();
        Report("step_form1_constructed", bench::MillisecondsSinceStart(), "ms");
        const bool browser = std::strcmp(mode, "browser") == 0;
        if (std::strcmp(mode, "main") == 0)
            InstallPreviewStepMarks(form1->ShockwaveFlash1);
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
            if (std::strncmp(mode, "fetch", 5) == 0) {
                QTimer::singleShot(500, [&] { ReportFetches(form1.get(), std::strcmp(mode, "fetch-rebuild") == 0); });
                return;
            }
            if (std::strcmp(mode, "switch") == 0) {
                QTimer::singleShot(500, [&] { ReportMovieSwitches(form1->ShockwaveFlash1); });
                return;
            }
            if (!browser) {
                ReportPreviewSteps(form1->ShockwaveFlash1, [] { ReportMemorySoonAndQuit(3000); });
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
