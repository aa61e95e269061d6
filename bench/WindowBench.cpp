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
//   soak     Form1, then VIDLATCH_BENCH_FETCHES fetches (default 300) as a user
//            makes them: every process's PSS before, after 20, 100, each
//            hundred and the last
//   large    Form1, 20 fetches, then a movie of 60 MB and one of 300 MB: the
//            peak PSS of the program and its helpers, and what stays after
//            the next small movie
//   idle     Form1 with a still movie: CPU % of each process over 10 s shown,
//            minimised, covered by another window, shown again, and with the
//            browser window open on its home page
//   long     Form1, then the browser window with a page that reloads itself
//            at a 2 MB address: resident memory before, after 20 s, closed
//   leave    Form1, then the browser window: a tab's home button pressed on a
//            page spinning in a loop, in its main frame and in a frame; the
//            time until the home page is shown
//   asks     Form1, then a movie asking 100 names at once for 60 MB each, at
//            1.2 MB/s: the peak PSS of the program and of the whole tree, the
//            next code's fetch until it shows, and what stays after
//   held-asks
//            as asks, with a movie that holds its six places with answers
//            that never end, then asks ten addresses of 2 MB every second
//   heavy-first
//            Form1, then a movie whose first frame works for seconds
//            (VIDLATCH_BENCH_WORK millions of steps, 40 by default): the time
//            until it shows, or until its sentence
//   fetch, fetch-rebuild, fetch-after-hung
//            Form1, then a fetch of each of several codes as a user makes it:
//            Command1, Enter on the notice, and one preview pixel polled every
//            5 ms until it shows the code's movie; each movie in the running
//            player, or (fetch-rebuild) each in a player page built anew, or
//            (fetch-after-hung) each after a movie whose script has looped
//            for a second past its first two seconds, its page silent
#include "AddressWatch.h"
#include "DemoPlayer.h"
#include "Form1.h"
#include "Form2.h"
#include "FormDefaults.h"
#include "ProcessSetup.h"
#include "ProcessTree.h"
#include "ProgramIcon.h"
#include "QtText.h"
#include "PlayerPageLink.h"
#include "PlayerScheme.h"
#include "PreviewProfile.h"
#include "ShockwaveFlash.h"
#include "SiteConstants.h"
#include "WebBrowser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEnginePage>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
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
  // The first player built with its movie loaded.
  document.addEventListener('loadeddata', () => mark('first_player_ready'), true);
  const requested = (url) => {
    url = String(url);
    if (url.endsWith('.wasm')) mark('wasm_requested');
  };
  // The player's own files come by fetch or by XMLHttpRequest.
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
  // The program hands the movie over by calling the page's vidlatchPlay.
  let play;
  Object.defineProperty(window, 'vidlatchPlay', {
    configurable: true,
    get: () => play,
    set: (real) => { play = function () { mark('movie_handed'); return real.apply(this, arguments); }; },
  });
  new MutationObserver(() => { if (/^vidlatch:\d+:shown:/.test(document.title)) mark('movie_shown'); })
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
                                     "wasm_ready", "movie_handed", "first_player_ready", "movie_shown"}) {
                if (marks.contains(QLatin1String(name)))
                    Report(("step_preview_" + std::string(name)).c_str(),
                           originMs + marks.value(QLatin1String(name)).toDouble(), "ms");
            }
            then();
        });
}

// Fetches `code` as a user does: the code typed, Command1, then Enter on the
// notice (from inside the notice's own loop); `closed` runs just after Enter.
void FetchAsUser(ui::Form1* form1, const QString& code, std::function<void()> closed)
{
    form1->Text1->setText(code);
    auto pressEnter = std::make_shared<std::function<void()>>();
    *pressEnter = [=] {
        QWidget* notice = QApplication::activeModalWidget();
        if (!notice) {
            QTimer::singleShot(5, *pressEnter);
            return;
        }
        QTest::keyClick(notice, Qt::Key_Return);
        closed();
    };
    QTimer::singleShot(50, *pressEnter);
    form1->Command1->click();
}

// Fetches one code after another as a user does: Command1, then Enter on the
// notice; from that key press, one pixel in the middle of the preview is read
// off the screen every 5 ms until it shows the code's movie. With `rebuild`,
// each fetch first has the preview play a movie of another origin, so that
// the fetched one needs a new player page.
enum class FetchAfter { Movie, OtherOrigin, HungMovie };

void ReportFetches(ui::Form1* form1, FetchAfter after)
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
        run->clock.start();
        FetchAsUser(form1, code, [=] {
            run->clock.start();
            pollUntilShown(demo::PlayerColour(code));
        });
    };
    *next = [=] {
        if (run->step == Fetches) {
            for (int i = 0; i < run->times.size(); ++i)
                Report(("fetch_" + std::to_string(i + 1)).c_str(), run->times[i], "ms");
            Report(after == FetchAfter::OtherOrigin ? "fetch_to_frame_new_page_median"
                   : after == FetchAfter::HungMovie ? "fetch_to_frame_after_hung_median"
                                                    : "fetch_to_frame_running_player_median",
                   Median(run->times), "ms");
            QCoreApplication::exit(0);
            return;
        }
        const QString code = DemoCodes[run->step % DemoCodes.size()];
        if (after == FetchAfter::Movie) {
            fetch(code);
            return;
        }
        // Another origin first, the fetch then building the player page
        // anew; or a movie that plays two seconds, then spins for ever.
        const QString other = DemoCodes[(run->step + 1) % DemoCodes.size()];
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection = QObject::connect(flash, &platform::ShockwaveFlash::movieShown, [=] {
            QObject::disconnect(*connection);
            QTimer::singleShot(after == FetchAfter::HungMovie ? 3000 : 300, [=] { fetch(code); });
        });
        flash->setMovie(after == FetchAfter::HungMovie
                            ? QStringLiteral("http://static.vidsite.example/fail/loop.swf?f=3&vid=") + other
                            : OtherOriginPlayer + other);
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

// The pages each renderer draws, by its process id: the preview, the forum
// page, the browser window's two browsers (the bare modes' views by their
// object names), so that a figure can be traced to its process.
std::map<int, std::string> RendererPages()
{
    std::map<int, std::string> pages;
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* view = qobject_cast<QWebEngineView*>(widget);
        const qint64 pid = view && view->page() ? view->page()->renderProcessPid() : 0;
        if (pid <= 0)
            continue;
        QString name = qobject_cast<platform::ShockwaveFlash*>(view) ? QStringLiteral("preview") : view->objectName();
        if (auto* form2 = qobject_cast<ui::Form2*>(view->window()))
            name = view == form2->WebBrowser1 ? QStringLiteral("browser1") : QStringLiteral("browser2");
        else if (auto* form1 = qobject_cast<ui::Form1*>(view->window()); form1 && view == form1->WebBrowser1)
            name = QStringLiteral("forum");
        std::string& named = pages[static_cast<int>(pid)];
        if (!named.empty())
            named += '+';
        named += name.isEmpty() ? std::string("page") : name.toStdString();
    }
    return pages;
}

void ReportPss(const std::string& when)
{
    long total = 0;
    for (const bench::ProcessPss& process : bench::PssByProcess(RendererPages())) {
        total += process.pssKiB;
        const std::string metric = "pss_" + when + "_" + process.role + "_" + std::to_string(process.pid);
        Report(metric.c_str(), static_cast<double>(process.pssKiB) / 1024.0, "MiB");
    }
    Report(("pss_" + when + "_total").c_str(), static_cast<double>(total) / 1024.0, "MiB");
}

// Fetches VIDLATCH_BENCH_FETCHES codes (default 300) through the window, each
// once its movie shows, and reports every process's PSS before the first,
// after the 20th, the 100th, every 100th and the last.
void ReportSoak(ui::Form1* form1, std::function<void()> then)
{
    const char* wanted = std::getenv("VIDLATCH_BENCH_FETCHES");
    const int fetches = wanted ? std::atoi(wanted) : 300;
    auto* done = new int(0);
    auto next = std::make_shared<std::function<void()>>();
    QObject::connect(form1->ShockwaveFlash1, &platform::ShockwaveFlash::movieShown, form1, [=] {
        ++*done;
        if (*done == 20 || *done % 100 == 0 || *done == fetches)
            ReportPss("after_" + std::to_string(*done) + "_fetches");
        QTimer::singleShot(100, *next);
    });
    *next = [=] {
        if (*done == fetches) {
            QObject::disconnect(form1->ShockwaveFlash1, &platform::ShockwaveFlash::movieShown, form1, nullptr);
            then();
            return;
        }
        const QString code = DemoCodes[*done % DemoCodes.size()];
        if (std::getenv("VIDLATCH_BENCH_DIRECT"))
            form1->ShockwaveFlash1->setMovie(ui::Q(site::PlayerAddressPrefix) + code);
        else
            FetchAsUser(form1, code, [] {});
    };
    ReportPss("before_fetches");
    (*next)();
}

// Plays a movie of `megabytes` MB, reports the peak PSS of the program and
// its helpers while it loads and plays, then fetches a small movie and
// reports what stays.
void ReportLargeMovie(ui::Form1* form1, int megabytes, std::function<void()> then)
{
    platform::ShockwaveFlash* flash = form1->ShockwaveFlash1;
    const std::string name = "large_" + std::to_string(megabytes) + "mb";
    Report((name + "_before").c_str(), static_cast<double>(bench::PssWithHelpersKiB()) / 1024.0, "MiB");
    auto* peak = new long(0);
    auto* sampler = new QTimer;
    QObject::connect(sampler, &QTimer::timeout, [peak] { *peak = std::max(*peak, bench::PssWithHelpersKiB()); });
    sampler->start(100);
    auto afterLarge = std::make_shared<QMetaObject::Connection>();
    auto settled = [=] {
        QObject::disconnect(*afterLarge);
        QObject::disconnect(flash, &platform::ShockwaveFlash::movieFailed, flash, nullptr);
        QTimer::singleShot(2000, [=] {
            Report((name + "_peak").c_str(), static_cast<double>(*peak) / 1024.0, "MiB");
            sampler->deleteLater();
            FetchAsUser(form1, DemoCodes[0], [] {});
            auto small = std::make_shared<QMetaObject::Connection>();
            *small = QObject::connect(flash, &platform::ShockwaveFlash::movieShown, [=] {
                QObject::disconnect(*small);
                QTimer::singleShot(3000, [=] {
                    ReportPss(name + "_after_next_small");
                    then();
                });
            });
        });
    };
    *afterLarge = QObject::connect(flash, &platform::ShockwaveFlash::movieShown, settled);
    QObject::connect(flash, &platform::ShockwaveFlash::movieFailed, flash, [=] {
        Report((name + "_refused").c_str(), 1, "");
        settled();
    });
    flash->setMovie(QStringLiteral("http://static.vidsite.example/v1/res/big.swf?vid=%1&mb=%2")
                        .arg(DemoCodes[1]).arg(megabytes));
}

// A movie that asks 100 names at once, each answered with 60 MB at 1.2 MB/s
// (the demo's flood-asks), or (held-asks) one that holds its six places with
// answers that never end and asks ten addresses of 2 MB a second: the
// program's own PSS and the whole tree's, their peaks over 65 s of it, then
// the next code fetched as a user does and the time until it shows, and what
// stays 10 s later. `name` begins each figure's name.
void ReportAskFlood(ui::Form1* form1, const QString& movie, const std::string& name)
{
    platform::ShockwaveFlash* flash = form1->ShockwaveFlash1;
    struct Peaks { long program = 0; long tree = 0; };
    auto* peaks = new Peaks;
    const auto sample = [] {
        Peaks now;
        for (const bench::ProcessPss& process : bench::PssByProcess()) {
            now.tree += process.pssKiB;
            if (process.role == "program")
                now.program = process.pssKiB;
        }
        return now;
    };
    const Peaks before = sample();
    Report((name + "_program_before").c_str(), static_cast<double>(before.program) / 1024.0, "MiB");
    Report((name + "_tree_before").c_str(), static_cast<double>(before.tree) / 1024.0, "MiB");
    auto* sampler = new QTimer;
    QObject::connect(sampler, &QTimer::timeout, [=] {
        const Peaks now = sample();
        peaks->program = std::max(peaks->program, now.program);
        peaks->tree = std::max(peaks->tree, now.tree);
    });
    sampler->start(250);
    flash->setMovie(QStringLiteral("http://static.vidsite.example/fail/%1.swf?vid=%2").arg(movie, DemoCodes[1]));
    QTimer::singleShot(65000, [=] {
        Report((name + "_program_peak").c_str(), static_cast<double>(peaks->program) / 1024.0, "MiB");
        Report((name + "_tree_peak").c_str(), static_cast<double>(peaks->tree) / 1024.0, "MiB");
        auto* clock = new QElapsedTimer;
        clock->start();
        auto shown = std::make_shared<QMetaObject::Connection>();
        *shown = QObject::connect(flash, &platform::ShockwaveFlash::movieShown, [=] {
            QObject::disconnect(*shown);
            Report((name + "_next_movie_shown").c_str(), static_cast<double>(clock->elapsed()), "ms");
            QTimer::singleShot(10000, [=] {
                malloc_trim(0);  // what is free goes back, so that what stays shows
                const Peaks after = sample();
                Report((name + "_program_after").c_str(), static_cast<double>(after.program) / 1024.0, "MiB");
                Report((name + "_tree_after").c_str(), static_cast<double>(after.tree) / 1024.0, "MiB");
                QCoreApplication::exit(0);
            });
        });
        FetchAsUser(form1, DemoCodes[0], [] {});
    });
}

// The browser window's tab home button (Command3) against a page that spins
// in its main frame, then in a frame: the time until the home page is shown.
void ReportLeavingSpinningPages(ui::Form1* form1)
{
    form1->Command2->click();
    QPointer<ui::Form2> form2(form1->BrowserWindow());
    const QString home = ui::Q(site::PageHostPrefix);
    auto pages = std::make_shared<QStringList>(QStringList{home + QStringLiteral("hostile/loop.html?kind=spin"),
                                                           home + QStringLiteral("hostile/spinning-frame.html")});
    auto next = std::make_shared<std::function<void()>>();
    *next = [=] {
        if (pages->isEmpty() || !form2) {
            QCoreApplication::exit(0);
            return;
        }
        const QString spinning = pages->takeFirst();
        form2->WebBrowser1->Navigate(spinning);
        // Let it start spinning, then press home as a user would.
        QTimer::singleShot(1500, [=] {
            auto* clock = new QElapsedTimer;
            clock->start();
            form2->Command3->click();
            auto* poll = new QTimer;
            QObject::connect(poll, &QTimer::timeout, [=] {
                if (form2->WebBrowser1->LocationURL() != home && clock->elapsed() < 30000)
                    return;
                poll->deleteLater();
                const bool frame = spinning.contains(QLatin1String("frame"));
                Report(frame ? "home_from_spinning_frame" : "home_from_spinning_page",
                       static_cast<double>(clock->nsecsElapsed()) / 1e6, "ms");
                delete clock;
                QTimer::singleShot(500, *next);
            });
            poll->start(5);
        });
    };
    QTimer::singleShot(2000, *next);
}

// The program's resident memory while a page in the browser window reloads
// itself at a 2 MB address for 20 s, and after the window is closed.
void ReportLongAddresses(ui::Form1* form1)
{
    malloc_trim(0);
    Report("long_resident_before", static_cast<double>(bench::ResidentKiB()) / 1024.0, "MiB");
    form1->Command2->click();
    QPointer<ui::Form2> form2(form1->BrowserWindow());
    form2->WebBrowser1->Navigate(ui::Q(site::PageHostPrefix) + QStringLiteral("hostile/long.html"));
    QTimer::singleShot(20000, [=] {
        Report("long_loads_seen", form2 ? form2->WebBrowser1->title().mid(5).toDouble() : -1, "");
        Report("long_resident_open", static_cast<double>(bench::ResidentKiB()) / 1024.0, "MiB");
        if (form2)
            form2->close();
        QTimer::singleShot(3000, [] {
            Report("long_resident_closed", static_cast<double>(bench::ResidentKiB()) / 1024.0, "MiB");
            QCoreApplication::exit(0);
        });
    });
}

// CPU use of each process over `seconds`, as a percentage of one core.
void ReportCpu(const std::string& state, int seconds, std::function<void()> then)
{
    auto before = std::make_shared<std::vector<bench::ProcessPss>>(bench::PssByProcess(RendererPages()));
    QTimer::singleShot(seconds * 1000, [=] {
        double total = 0;
        for (const bench::ProcessPss& now : bench::PssByProcess(RendererPages())) {
            long ticks = now.cpuTicks;
            for (const bench::ProcessPss& then : *before)
                if (then.pid == now.pid)
                    ticks -= then.cpuTicks;
            const double percent = 100.0 * static_cast<double>(ticks) / static_cast<double>(bench::TicksPerSecond() * seconds);
            total += percent;
            Report(("cpu_" + state + "_" + now.role + "_" + std::to_string(now.pid)).c_str(), percent, "%");
        }
        Report(("cpu_" + state + "_total").c_str(), total, "%");
        then();
    });
}

// What a window manager does when it minimises a window, and when it brings
// it back: the bench's virtual display has none.
void Iconify(QWidget* window, bool iconic)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    if (iconic)
        xcb_unmap_window(x11->connection(), id);
    else
        xcb_map_window(x11->connection(), id);
    xcb_flush(x11->connection());
}

// Idle CPU with a still movie: shown, minimised, covered by another window,
// shown again; then the browser window showing its home page.
void ReportIdle(ui::Form1* form1)
{
    constexpr int Seconds = 10;
    auto* cover = new QWidget;
    auto steps = std::make_shared<std::vector<std::pair<std::string, std::function<void()>>>>();
    *steps = {
        {"shown", [] {}},
        {"minimised", [form1] {
             form1->showMinimized();
             Iconify(form1, true);
         }},
        {"covered", [form1, cover] {
             Iconify(form1, false);
             form1->showNormal();
             cover->setGeometry(form1->frameGeometry().adjusted(-20, -20, 20, 20));
             cover->show();
             cover->raise();
         }},
        {"shown_again", [cover] { cover->hide(); }},
        {"shown_again_still", [form1] {
             // What the screen shows of the preview now: the movie, not a blank page.
             if (const char* shot = std::getenv("VIDLATCH_BENCH_SHOT"))
                 form1->screen()->grabWindow(0, form1->x(), form1->y(), form1->width(), form1->height())
                     .save(QString::fromLocal8Bit(shot));
         }},
        {"browser_window", [form1] { form1->Command2->click(); }},
    };
    auto step = std::make_shared<std::function<void(std::size_t)>>();
    *step = [=](std::size_t i) {
        if (i == steps->size()) {
            delete cover;
            QCoreApplication::exit(0);
            return;
        }
        (*steps)[i].second();
        // Let the state settle (the browser window's page load), then measure.
        QTimer::singleShot(3000, [=] { ReportCpu((*steps)[i].first, Seconds, [=] { (*step)(i + 1); }); });
    };
    (*step)(0);
}

// Memory once the pages have loaded, and once settled: a page at rest
// allocates nothing, so what its start left to the garbage collector (the
// player's 14 MB of WebAssembly as it was fetched, among others: some 30 MiB)
// stays until the engine collects an idle page's garbage, 5 to 8 s later.
void ReportMemorySoonAndQuit(int loadedMs)
{
    QTimer::singleShot(loadedMs, [] { ReportPss("loaded"); });
    QTimer::singleShot(loadedMs + 9000, [] {
        ReportPss("settled");
        QCoreApplication::exit(0);
    });
}

int previewRenderersGone = 0;
int previewSentences = 0;

// A movie whose first frame works for a long while (VIDLATCH_BENCH_WORK
// millions of the interpreter's steps, 40 by default: about ten seconds on
// a quiet 2-core machine, longer on a busy one): the time from setMovie to
// its frame on screen, or to its sentence.
void ReportHeavyFirstFrame(platform::ShockwaveFlash* flash)
{
    const char* work = std::getenv("VIDLATCH_BENCH_WORK");
    auto* clock = new QElapsedTimer;
    clock->start();
    const auto done = [clock](const char* outcome) {
        Report(outcome, static_cast<double>(clock->elapsed()), "ms");
        QCoreApplication::exit(0);
    };
    QObject::connect(flash, &platform::ShockwaveFlash::movieShown, [done] { done("heavy_first_frame_shown"); });
    QObject::connect(flash, &platform::ShockwaveFlash::movieFailed, [done] { done("heavy_first_frame_sentence"); });
    flash->setMovie(QStringLiteral("http://static.vidsite.example/fail/work-first.swf?vid=Tb7_wE3-pQs&n=%1")
                        .arg(work ? std::atoi(work) : 40));
}

} // namespace

// Ruffle alone in a page, playing the start-up movie; the player's files
// come from the preview's scheme as the program's page has them, and the
// movie by the scheme's asks, under the key the scheme gave the page.
QString BareRufflePage(const QString& askKey)
{
    QFile shim(QStringLiteral(":/vidlatch/preview/fetch-shim.js"));
    shim.open(QIODevice::ReadOnly);
    return QStringLiteral(
               "<!DOCTYPE html><html><head><style>html,body{margin:0;height:100%}</style>"
               "<script type=\"application/json\" id=\"vidlatch-settings\">{\"askKey\": \"%3\"}</script><script>%1</script>"
               "<script>window.RufflePlayer = {config: {publicPath: 'vidlatch-ruffle://app/', splashScreen: false,"
               " preferredRenderer: 'canvas', autoplay: 'on', unmuteOverlay: 'hidden'}};</script>"
               "<script src=\"vidlatch-ruffle://app/ruffle.js\"></script></head><body><script>"
               "const player = window.RufflePlayer.newest().createPlayer();"
               "player.style.width = player.style.height = '100%'; document.body.appendChild(player);"
               "player.addEventListener('loadeddata', () => requestAnimationFrame(() => requestAnimationFrame("
               "() => { document.title = 'shown'; })));"
               "player.load({url: '%2'});</script></body></html>")
        .arg(QString::fromUtf8(shim.readAll()), ui::Q(site::PlayerAddressPrefix), askKey);
}

int main(int argc, char** argv)
{
    const char* mode = argc > 1 ? argv[1] : "main";
    Report("step_main_entered", bench::MillisecondsSinceStart(), "ms");
    platform::PrepareApplication();
    QApplication app(argc, argv);
    platform::ApplyFormDefaults();
    QTimer::singleShot(std::strcmp(mode, "soak") == 0 ? 1800000 : (std::strcmp(mode, "asks") == 0 || std::strcmp(mode, "held-asks") == 0) ? 180000 : 120000,
                       [] { std::fprintf(stderr, "timed out\n"); QCoreApplication::exit(3); });

    std::unique_ptr<QWidget> bare;
    std::unique_ptr<ui::Form1> form1;

    if (std::strcmp(mode, "bare") == 0 || std::strcmp(mode, "bare-ruffle") == 0) {
        // The floor: a window with two web views, the second empty or (bare-ruffle)
        // playing the start-up movie in Ruffle, with nothing of the program's around it.
        const bool ruffle = std::strcmp(mode, "bare-ruffle") == 0;
        bare = std::make_unique<QWidget>();
        bare->resize(690, 650);
        auto* forum = new QWebEngineView(bare.get());
        forum->setObjectName(QStringLiteral("forum"));
        forum->setGeometry(448, 464, 57, 49);
        auto* preview = new QWebEngineView(bare.get());
        preview->setObjectName(QStringLiteral("preview"));
        preview->setGeometry(24, 160, 641, 345);
        if (ruffle)
            preview->setPage(new QWebEnginePage(platform::PreviewProfile(), preview));
        int loaded = 0;
        auto done = [&](bool) {
            if (++loaded == 2) {
                Report("both_pages_loaded", bench::MillisecondsSinceStart(), "ms");
                ReportMemorySoonAndQuit(3000);
            }
        };
        QObject::connect(forum, &QWebEngineView::loadFinished, done);
        if (ruffle)
            QObject::connect(preview, &QWebEngineView::titleChanged, [&](const QString& title) {
                if (title != QLatin1String("shown"))
                    return;
                Report("preview_first_frame", bench::MillisecondsSinceStart(), "ms");
                done(true);
            });
        else
            QObject::connect(preview, &QWebEngineView::loadFinished, done);
        forum->load(QUrl(ui::Q(site::ForumAddress)));
        preview->setHtml(ruffle ? BareRufflePage(platform::PreviewPlayerScheme().AdmitPage(bare.get()))
                                : QStringLiteral("<html><body></body></html>"),
                         QUrl(QStringLiteral("http://static.vidsite.example/")));
        bare->show();
        Report("window_shown", bench::MillisecondsSinceStart(), "ms");
    } else {
        QApplication::setQuitOnLastWindowClosed(false);
        QApplication::setWindowIcon(ui::ProgramIcon());
        Report("step_application_ready", bench::MillisecondsSinceStart(), "ms");
        form1 = std::make_unique<ui::Form1>();
        Report("step_form1_constructed", bench::MillisecondsSinceStart(), "ms");
        // Whatever the mode, a machine that is merely slow or busy ends no
        // renderer of the preview's and gets no sentence for a good movie.
        QObject::connect(form1->ShockwaveFlash1->findChild<platform::PlayerPageLink*>(), &platform::PlayerPageLink::rendererGone,
                         [] { ++previewRenderersGone; });
        QObject::connect(form1->ShockwaveFlash1, &platform::ShockwaveFlash::movieFailed, [] { ++previewSentences; });
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
                const FetchAfter after = std::strcmp(mode, "fetch-rebuild") == 0      ? FetchAfter::OtherOrigin
                                         : std::strcmp(mode, "fetch-after-hung") == 0 ? FetchAfter::HungMovie
                                                                                       : FetchAfter::Movie;
                QTimer::singleShot(500, [&, after] { ReportFetches(form1.get(), after); });
                return;
            }
            if (std::strcmp(mode, "soak") == 0) {
                QTimer::singleShot(500, [&] { ReportSoak(form1.get(), [] { QCoreApplication::exit(0); }); });
                return;
            }
            if (std::strcmp(mode, "large") == 0) {
                // After 20 fetches, as a session would have them.
                qputenv("VIDLATCH_BENCH_FETCHES", "20");
                QTimer::singleShot(500, [&] {
                    ReportSoak(form1.get(), [&] {
                        ReportLargeMovie(form1.get(), 60, [&] {
                            ReportLargeMovie(form1.get(), 300, [] { QCoreApplication::exit(0); });
                        });
                    });
                });
                return;
            }
            if (std::strcmp(mode, "long") == 0) {
                QTimer::singleShot(2000, [&] { ReportLongAddresses(form1.get()); });
                return;
            }
            if (std::strcmp(mode, "asks") == 0 || std::strcmp(mode, "held-asks") == 0) {
                const bool held = std::strcmp(mode, "held-asks") == 0;
                QTimer::singleShot(500, [&, held] {
                    ReportAskFlood(form1.get(), held ? QStringLiteral("hold-then-long-asks") : QStringLiteral("flood-asks"),
                                   held ? "held_asks" : "asks");
                });
                return;
            }
            if (std::strcmp(mode, "leave") == 0) {
                ReportLeavingSpinningPages(form1.get());
                return;
            }
            if (std::strcmp(mode, "idle") == 0) {
                QTimer::singleShot(3000, [&] { ReportIdle(form1.get()); });
                return;
            }
            if (std::strcmp(mode, "heavy-first") == 0) {
                QTimer::singleShot(500, [&] { ReportHeavyFirstFrame(form1->ShockwaveFlash1); });
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
    if (form1) {
        Report("preview_renderers_gone", previewRenderersGone, "");
        Report("preview_sentences", previewSentences, "");
    }
    form1.reset();
    bare.reset();
    return status;
}
