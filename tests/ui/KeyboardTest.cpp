// A keyboard-only user: Tab goes round each window twice and Shift+Tab goes
// back round twice; every control is visited, and no web page or preview
// keeps the focus. Keys are given where the focus is, as a keyboard does.
// (Enter, Ctrl+Q and Esc are rows of the fetch, exit and close tables.) F6
// and Ctrl+L reach the address field from a page that keeps every key.
#include "Form1.h"
#include "Form2.h"
#include "PictureButton.h"
#include "QtText.h"
#include "ScriptedRuntime.h"
#include "ShockwaveFlash.h"
#include "SiteConstants.h"
#include "TabControl.h"
#include "UiWait.h"
#include "WebBrowser.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include <memory>
#include <optional>

#include <gtest/gtest.h>

namespace vidlatch::ui {
namespace {

using test::ScriptedRuntimeScope;
using test::WaitUntil;

QWidget* FocusOwner(const QList<QWidget*>& order)
{
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (order.contains(w))
            return w;
    }
    return nullptr;
}

// Which element of the page has the focus; a page's own links take Tab
// before the window does.
QString PageFocus(QWebEngineView* view)
{
    // Kept by the callback, which may arrive after the wait has given up.
    auto answer = std::make_shared<std::optional<QString>>();
    view->page()->runJavaScript(
        QStringLiteral("Array.prototype.indexOf.call(document.querySelectorAll('*'), document.activeElement)"),
        [answer](const QVariant& index) { *answer = index.toString(); });
    return WaitUntil([answer] { return answer->has_value(); }, 10000) ? **answer : QStringLiteral("no answer");
}

// Whether the page's document has the keyboard focus, once the page says so.
bool PageHasFocus(QWebEngineView* view)
{
    // Kept by the callback, which may arrive after the wait has given up.
    auto answer = std::make_shared<std::optional<bool>>();
    view->page()->runJavaScript(QStringLiteral("document.hasFocus()"), [answer](const QVariant& v) { *answer = v.toBool(); });
    return WaitUntil([answer] { return answer->has_value(); }, 2000) && **answer;
}

// Presses Tab (or Shift+Tab) until the focus reaches another control of
// `order`. Inside a page every press must move the page's own focus on.
// The control reached, or null when a press moved nothing.
QWidget* PressUntilNextControl(const QList<QWidget*>& order, bool forward)
{
    QWidget* from = FocusOwner(order);
    auto* page = qobject_cast<QWebEngineView*>(from);
    for (int press = 0; press < 100; ++press) {
        const QString before = page ? PageFocus(page) : QString();
        QTest::keyClick(QApplication::focusWidget(), forward ? Qt::Key_Tab : Qt::Key_Backtab,
                        forward ? Qt::NoModifier : Qt::ShiftModifier);
        const bool moved = WaitUntil([&] {
            QWidget* now = FocusOwner(order);
            return (now && now != from) || (page && PageFocus(page) != before);
        }, 10000);
        if (!moved)
            return nullptr;
        if (QWidget* now = FocusOwner(order); now != from)
            return now;
    }
    return nullptr;
}

// Each control by its place in `order`; "stuck" where the focus stayed.
std::string Places(const QList<QWidget*>& controls, const QList<QWidget*>& order)
{
    std::string places;
    for (QWidget* control : controls)
        places += control ? std::to_string(order.indexOf(control)) + ' ' : std::string("stuck");
    return places;
}

// Goes round `order` twice each way from its first control.
void ExpectTabGoesRound(QWidget* window, const QList<QWidget*>& order)
{
    window->activateWindow();
    order.first()->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(WaitUntil([&] { return FocusOwner(order) == order.first(); }));
    for (bool forward : {true, false}) {
        QList<QWidget*> expected;
        QList<QWidget*> visited;
        for (int round = 0; round < 2; ++round) {
            for (qsizetype i = 1; i <= order.size(); ++i)
                expected.append(order[forward ? i % order.size() : order.size() - i]);
        }
        for (qsizetype step = 0; step < expected.size(); ++step) {
            QWidget* reached = PressUntilNextControl(order, forward);
            visited.append(reached);
            if (!reached)
                break;
        }
        EXPECT_EQ(Places(visited, order), Places(expected, order)) << (forward ? "Tab" : "Shift+Tab");
    }
}

TEST(Keyboard, TabGoesRoundBothWindowsAndNothingTrapsIt)
{
    ScriptedRuntimeScope runtime;
    Form1 form1;
    // The player keeps every key it is given: walk with the movie playing.
    QSignalSpy shown(form1.ShockwaveFlash1, &platform::ShockwaveFlash::movieShown);
    form1.Show();
    ASSERT_TRUE(WaitUntil([&] { return shown.count() > 0; }));
    // The covered forum browser is no stop of its own.
    ExpectTabGoesRound(&form1, {form1.Text1, form1.Command1, form1.Command2, form1.Text2, form1.Command3,
                                form1.ShockwaveFlash1, form1.Command4});
    // The preview's page shows no focus of its own: a mark is drawn over it, on screen.
    form1.Command3->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form1.Command3, Qt::Key_Tab);
    const QPoint corner = form1.ShockwaveFlash1->mapToGlobal(QPoint(1, 1));
    const QColor highlight = form1.ShockwaveFlash1->palette().highlight().color();
    EXPECT_TRUE(WaitUntil([&] {
        return form1.screen()->grabWindow(0, corner.x(), corner.y(), 1, 1).toImage().pixelColor(0, 0) == highlight;
    })) << "no focus mark on the preview";

    form1.Command2->click();
    Form2& f = *form1.BrowserWindow();
    ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser1->LocationURL() == Q(site::PageHostPrefix); }));
    ASSERT_TRUE(WaitUntil([&] { return !f.WebBrowser1->page()->isLoading(); }));
    // The home page's links are walked on the way; the second tab's browser
    // is no stop while its tab is hidden.
    ExpectTabGoesRound(&f, {f.SSTab1, f.WebBrowser1, f.Text2, f.Command1, f.Command2, f.Command3, f.Command4,
                            f.Picture1, f.Picture2, f.Picture3, f.Picture4});
}

TEST(Keyboard, F6AndCtrlLLeaveAPageThatKeepsEveryKey)
{
    ScriptedRuntimeScope runtime;
    Form1 form1;
    form1.Show();
    form1.Command2->click();
    Form2& f = *form1.BrowserWindow();
    const QString keeper = Q(site::PageHostPrefix) + QStringLiteral("hostile/keys.html");
    f.WebBrowser1->Navigate(keeper);
    ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser1->LocationURL() == keeper && !f.WebBrowser1->page()->isLoading(); }));
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    struct Row { Qt::Key key; Qt::KeyboardModifiers modifiers; const char* name; };
    int kept = 0;
    for (const Row& row : {Row{Qt::Key_F6, Qt::NoModifier, "F6"}, Row{Qt::Key_L, Qt::ControlModifier, "Ctrl+L"}}) {
        f.WebBrowser1->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(WaitUntil([&] { return FocusOwner({f.WebBrowser1, f.Text2}) == f.WebBrowser1; })) << row.name;
        // A key pressed before the page itself has the focus would be lost on the way.
        ASSERT_TRUE(WaitUntil([&] { return PageHasFocus(f.WebBrowser1); })) << row.name;
        // The page has Tab and keeps it.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QString title = QStringLiteral("kept %1").arg(++kept);
        ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser1->title() == title; })) << row.name;
        ASSERT_EQ(FocusOwner({f.WebBrowser1, f.Text2}), f.WebBrowser1) << row.name;

        QTest::keyClick(QApplication::focusWidget(), row.key, row.modifiers);
        EXPECT_TRUE(WaitUntil([&] { return f.Text2->hasFocus(); })) << row.name;
        EXPECT_EQ(f.Text2->selectedText(), f.Text2->text()) << row.name;  // ready to be typed over
    }
}

} // namespace
} // namespace vidlatch::ui
