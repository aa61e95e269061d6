#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace vidlatch::test {

// Runs the event loop until `done` holds or `ms` pass; returns whether it held.
// (A real event loop, not QTest::qWaitFor: that one sleeps between rounds,
// which starves the web engine's synchronous calls into the UI thread.)
inline bool WaitUntil(const std::function<bool()>& done, int ms = 15000)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(10);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

// Delivers everything already queued in the event loop: a call queued now
// runs after it. The positive sign that nothing more was on its way.
inline bool QueuedDelivered(int ms = 5000)
{
    auto ran = std::make_shared<bool>(false);
    QMetaObject::invokeMethod(qApp, [ran] { *ran = true; }, Qt::QueuedConnection);
    return WaitUntil([ran] { return *ran; }, ms);
}

// Waits until a timer of `ms` started now has ticked `ticks` times: by then
// a timer of the same interval that was still running would have ticked too.
inline bool IntervalsPassed(int ms, int ticks = 1)
{
    auto count = std::make_shared<int>(0);
    QTimer sentinel;
    QObject::connect(&sentinel, &QTimer::timeout, [count] { ++*count; });
    sentinel.start(ms);
    return WaitUntil([count, ticks] { return *count >= ticks; }, ms * ticks + 10000);
}

// Runs `act` on the next modal widget that appears (a notice, a dialog), from
// inside its own event loop.
template <typename Widget>
void WhenModal(std::function<void(Widget*)> act, int ms = 10000)
{
    auto* poll = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [poll, clock, act, ms] {
        if (auto* modal = qobject_cast<Widget*>(QApplication::activeModalWidget()); modal && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            delete clock;
            act(modal);
        } else if (clock->elapsed() > ms) {
            poll->stop();
            poll->deleteLater();
            delete clock;
        }
    });
    poll->start(20);
}

} // namespace vidlatch::test

#include <QWebEngineView>

namespace vidlatch::test {

// Waits until `page` has answered a script sent now, and what its answer
// queued has been delivered: whatever the page did before has been reported.
inline bool PageAnswered(QWebEnginePage* page, int ms = 10000)
{
    auto answered = std::make_shared<bool>(false);
    page->runJavaScript(QStringLiteral("0"), [answered](const QVariant&) { *answered = true; });
    return WaitUntil([answered] { return *answered; }, ms) && QueuedDelivered();
}

// Clicks the element with `id` in `view`'s page once the page has it. (A
// script sent while the page navigates away may never answer: ask again. A
// busy page may answer late: the element keeps which call clicked it, so a
// question asked again never clicks twice.)
inline bool ClickInPage(QWebEngineView* view, const QString& id, int ms = 15000)
{
    static int calls = 0;
    auto clicked = std::make_shared<bool>(false);
    const QString script = QStringLiteral("(() => { const e = document.getElementById('%1'); if (!e) return false; "
                                          "if (e.dataset.vidlatchClick !== '%2') { e.dataset.vidlatchClick = '%2'; "
                                          "e.click(); } return true; })()").arg(id).arg(++calls);
    QElapsedTimer sinceAsked;
    return WaitUntil([&] {
        if (!*clicked && (!sinceAsked.isValid() || sinceAsked.elapsed() > 300)) {
            sinceAsked.start();
            view->page()->runJavaScript(script, [clicked](const QVariant& result) {
                *clicked = *clicked || result.toBool();
            });
        }
        return *clicked;
    }, ms);
}

// Clicks the element with `id` as the user would, with the mouse, at its
// centre: the page gets the user's own click (which a script's click() is not).
inline bool ClickAsUser(QWebEngineView* view, const QString& id, int ms = 15000)
{
    auto centre = std::make_shared<QPoint>(-1, -1);
    const QString script = QStringLiteral("(() => { const e = document.getElementById('%1'); if (!e) return null; "
                                          "const r = e.getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]; })()").arg(id);
    QElapsedTimer sinceAsked;
    const bool found = WaitUntil([&] {
        if (!sinceAsked.isValid() || sinceAsked.elapsed() > 300) {
            sinceAsked.start();
            view->page()->runJavaScript(script, [centre](const QVariant& result) {
                const QVariantList xy = result.toList();
                if (xy.size() == 2)
                    *centre = QPoint(qRound(xy[0].toDouble()), qRound(xy[1].toDouble()));
            });
        }
        return centre->x() >= 0 && view->focusProxy();
    }, ms);
    if (found)
        QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, *centre);
    return found;
}

} // namespace vidlatch::test

namespace vidlatch::test {

// Visible top-level windows and dialogs (tool tips and popups do not count).
inline int VisibleWindows()
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = widget->windowType();
        if (widget->isVisible() && (type == Qt::Window || type == Qt::Dialog))
            ++count;
    }
    return count;
}

// The CPU time that process `pid` has used, in clock ticks: a page that
// spins shows it by the second of CPU its renderer takes.
inline quint64 CpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    constexpr int UserTimeAfterName = 14 - 3;  // utime, then stime
    return fields.size() > UserTimeAfterName + 1
               ? fields[UserTimeAfterName].toULongLong() + fields[UserTimeAfterName + 1].toULongLong()
               : 0;
}

} // namespace vidlatch::test
