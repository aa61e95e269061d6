// Both windows as a screen reader sees them: every control that takes the
// focus has a name and a role, every button can be pressed through the
// accessibility action interface, the picture buttons answer Space and
// Enter, the pages' content is in the tree and the status caption's changes
// are spoken.
#include "Form1.h"
#include "Form2.h"
#include "PictureButton.h"
#include "ScriptedRuntime.h"
#include "ShockwaveFlash.h"
#include "UiWait.h"
#include "WebBrowser.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QWebEngineView>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <algorithm>
#include <functional>
#include <initializer_list>

#include <gtest/gtest.h>

namespace vidlatch::ui {
namespace {

using test::ClickInPage;
using test::ScriptedRuntimeScope;
using test::WaitUntil;

struct Control {
    QWidget* widget;
    QString name;
    QAccessible::Role role;
};

// The focusable controls of `window`, as its accessibility tree has them.
// (A web view's page content is the page's business, not the window's.)
void CollectFocusable(QAccessibleInterface* node, QList<Control>& out)
{
    if (!node)
        return;
    auto* widget = qobject_cast<QWidget*>(node->object());
    if (widget && node->state().focusable && widget->isVisibleTo(widget->window()))
        out.append({widget, node->text(QAccessible::Name), node->role()});
    if (qobject_cast<QWebEngineView*>(node->object()))
        return;
    for (int i = 0; i < node->childCount(); ++i)
        CollectFocusable(node->child(i), out);
}

QList<Control> FocusableControls(QWidget* window)
{
    QList<Control> controls;
    CollectFocusable(QAccessible::queryAccessibleInterface(window), controls);
    return controls;
}

void ExpectNamedAndPressable(QWidget* window, int expectedAtLeast)
{
    const QList<Control> controls = FocusableControls(window);
    QStringList seen;
    for (const Control& c : controls)
        seen.append(QString::fromLatin1(c.widget->metaObject()->className()) + u' ' + c.name);
    EXPECT_GE(controls.size(), expectedAtLeast) << seen.join(QStringLiteral(", ")).toStdString();
    for (const Control& c : controls) {
        const std::string what = c.widget->metaObject()->className() + std::string(" ") +
                                 c.widget->objectName().toStdString() + " \"" + c.name.toStdString() + "\"";
        EXPECT_FALSE(c.name.trimmed().isEmpty()) << what;
        EXPECT_NE(c.role, QAccessible::NoRole) << what;
        EXPECT_NE(c.role, QAccessible::Client) << what;
        if (auto* button = qobject_cast<QAbstractButton*>(c.widget)) {
            EXPECT_EQ(c.role, QAccessible::Button) << what;
            QAccessibleInterface* node = QAccessible::queryAccessibleInterface(button);
            QAccessibleActionInterface* actions = node ? node->actionInterface() : nullptr;
            ASSERT_NE(actions, nullptr) << what;
            EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction())) << what;
        }
    }
}

TEST(Accessibility, EveryFocusableControlOfBothWindowsHasANameAndARole)
{
    ScriptedRuntimeScope runtime;
    Form1 form1;
    form1.Show();
    ExpectNamedAndPressable(&form1, 6);
    form1.Command2->click();
    Form2* form2 = form1.BrowserWindow();
    ASSERT_NE(form2, nullptr);
    ExpectNamedAndPressable(form2, 10);  // (the browsers: their pages speak for themselves)
    form2->close();
}

TEST(Accessibility, ButtonsArePressedThroughTheActionInterface)
{
    ScriptedRuntimeScope runtime;
    Form1 form1;
    form1.Show();
    form1.Command2->click();
    Form2* form2 = form1.BrowserWindow();
    ASSERT_NE(form2, nullptr);
    // Buttons whose press leaves both windows in place.
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             form2->Command2, form2->Command1, form2->Picture1, form2->Picture2, form2->Picture3, form1.Command3,
             form1.Command1}) {
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        QAccessibleInterface* node = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(node, nullptr);
        node->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_TRUE(WaitUntil([&] { return clicked.size() == 1; }, 10000)) << button->accessibleName().toStdString();
    }
    // The close picture, last: it unloads the browser window.
    QSignalSpy closed(form2->Picture4, &platform::PictureButton::Click);
    QAccessible::queryAccessibleInterface(form2->Picture4)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(WaitUntil([&] { return closed.size() == 1 && form1.isVisible(); }, 10000));
}

TEST(Accessibility, PictureButtonsAnswerSpaceAndEnterAndShowTheirFocus)
{
    QWidget window;
    QPixmap picture(60, 60);
    picture.fill(Qt::white);
    auto* button = new platform::PictureButton(picture, QStringLiteral("刷新"), QCursor(), &window);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    button->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return button->hasFocus(); }));
    QSignalSpy clicks(button, &platform::PictureButton::Click);
    struct Row { Qt::Key key; const char* name; };
    for (const Row& row : {Row{Qt::Key_Space, "Space"}, Row{Qt::Key_Return, "Return"}, Row{Qt::Key_Enter, "Enter"}}) {
        const qsizetype before = clicks.size();
        QTest::keyClick(button, row.key);
        EXPECT_TRUE(WaitUntil([&] { return clicks.size() == before + 1; }, 10000)) << row.name;
    }
    QTest::keyClick(button, Qt::Key_A);
    EXPECT_EQ(clicks.size(), 3);
    // The focus frame: the focused button is drawn differently from the picture alone.
    const QImage focused = button->grab().toImage();
    button->clearFocus();
    ASSERT_TRUE(WaitUntil([&] { return !button->hasFocus(); }));
    EXPECT_NE(button->grab().toImage(), focused);
    EXPECT_EQ(button->grab().toImage(), picture.toImage().convertToFormat(focused.format()));
}

// What the accessibility bridge gets while a screen reader runs: each event
// with its node's role and name as they were then.
struct Heard {
    QAccessible::Event type;
    QObject* object;
    QAccessible::Role role;
    QString name;
};
QList<Heard> heard;

void Hear(QAccessibleEvent* event)
{
    // Only these are asked about: other events come from objects being destroyed.
    const bool ask = event->type() == QAccessible::NameChanged || event->type() == QAccessible::ObjectShow;
    QAccessibleInterface* node = ask ? event->accessibleInterface() : nullptr;
    heard.append({event->type(), event->object(), node ? node->role() : QAccessible::NoRole,
                  node ? node->text(QAccessible::Name) : QString()});
}

// As if a screen reader were running: Qt and the web engine build the trees,
// and the events come to Hear. Only the platform switches accessibility on
// (when a screen reader asks over D-Bus); Qt's own tests do it as here.
struct ScreenReaderOn {
    QPlatformAccessibility* platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
    QAccessible::UpdateHandler bridge = QAccessible::installUpdateHandler(Hear);
    ScreenReaderOn() { platform->setActive(true); }
    ~ScreenReaderOn()
    {
        platform->setActive(false);
        QAccessible::installUpdateHandler(bridge);
    }
};

// The nodes from `node` down to the first with `role` and `name`; empty when there is none.
QList<QAccessibleInterface*> PathTo(QAccessibleInterface* node, QAccessible::Role role, const QString& name)
{
    if (node->role() == role && node->text(QAccessible::Name) == name)
        return {node};
    for (int i = 0; i < node->childCount(); ++i) {
        if (QList<QAccessibleInterface*> path = PathTo(node->child(i), role, name); !path.isEmpty()) {
            path.prepend(node);
            return path;
        }
    }
    return {};
}

bool Passes(const QList<QAccessibleInterface*>& path, QWidget* widget)
{
    return path.contains(QAccessible::queryAccessibleInterface(widget));
}

TEST(Accessibility, PagesAreReadInTheTreeAndTheStatusCaptionIsSpoken)
{
    ScreenReaderOn reader;
    ASSERT_TRUE(QAccessible::isActive());
    ScriptedRuntimeScope runtime;
    Form1 form1;
    form1.Show();
    QAccessibleInterface* mainWindow = QAccessible::queryAccessibleInterface(&form1);
    // The forum page is read in its browser, yet is no part of the main window's tree.
    const QString forum = QStringLiteral("Brightfold 论坛");
    QAccessibleInterface* forumBrowser = QAccessible::queryAccessibleInterface(form1.WebBrowser1);
    ASSERT_TRUE(WaitUntil([&] { return !PathTo(forumBrowser, QAccessible::Heading, forum).isEmpty(); }, 30000));
    EXPECT_FALSE(Passes(PathTo(mainWindow, QAccessible::Heading, forum), form1.WebBrowser1));
    // The preview's page goes by the preview's name, not by its title.
    EXPECT_TRUE(WaitUntil([&] {
        return Passes(PathTo(mainWindow, QAccessible::WebDocument, form1.ShockwaveFlash1->accessibleName()),
                      form1.ShockwaveFlash1);
    }, 30000));

    form1.Command2->click();
    Form2* f = form1.BrowserWindow();
    ASSERT_NE(f, nullptr);
    QAccessibleInterface* browserWindow = QAccessible::queryAccessibleInterface(f);
    EXPECT_EQ(mainWindow->role(), QAccessible::Window);
    EXPECT_EQ(browserWindow->role(), QAccessible::Window);
    EXPECT_NE(mainWindow->text(QAccessible::Description), browserWindow->text(QAccessible::Description));
    // The home page's first link, from the window down through the first tab's browser.
    EXPECT_TRUE(WaitUntil([&] {
        return Passes(PathTo(browserWindow, QAccessible::Link, QStringLiteral("视频 a1b2c3d4e5f")), f->WebBrowser1);
    }, 30000));

    // Following it, the video page is found: the caption says so and a notification speaks it.
    heard.clear();
    ASSERT_TRUE(ClickInPage(f->WebBrowser1, QStringLiteral("video-0")));
    const QString found = QStringLiteral("已检测到浏览页面【1】存在有效地址!现在您可以进行获取了!");
    ASSERT_TRUE(WaitUntil([&] { return f->Frame3->title() == found; }, 30000));
    const auto wasHeard = [&](QAccessible::Event type, const std::function<bool(const Heard&)>& from) {
        return std::any_of(heard.begin(), heard.end(),
                           [&](const Heard& e) { return e.type == type && e.name == found && from(e); });
    };
    EXPECT_TRUE(wasHeard(QAccessible::NameChanged, [&](const Heard& e) { return e.object == f->Frame3; }));
    EXPECT_TRUE(wasHeard(QAccessible::ObjectShow, [](const Heard& e) { return e.role == QAccessible::Notification; }));
    f->close();
}

} // namespace
} // namespace vidlatch::ui
