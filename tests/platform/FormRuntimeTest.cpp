#include "FormRuntime.h"
#include "QtFormRuntime.h"
#include "UiWait.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QWindow>

#include <gtest/gtest.h>

namespace vidlatch::platform {
namespace {

using test::WhenModal;

struct NoticeCase {
    const char* name;
    int style;
    QMessageBox::Icon icon;
    QStringList labels;  // in the order shown
    QString press;       // label of the button pressed; empty: close the box
    int answer;
};

void PrintTo(const NoticeCase& c, std::ostream* os) { *os << c.name; }

class NoticeBox : public testing::TestWithParam<NoticeCase> {};

TEST_P(NoticeBox, IconButtonsAndAnswer)
{
    const NoticeCase& c = GetParam();
    QtFormRuntime runtime;
    // The window the notice is for: on screen, but not said to be active.
    QWidget form;
    form.setProperty("vidlatchForm", true);
    form.setAttribute(Qt::WA_ShowWithoutActivating);
    form.show();
    QWindow* transientFor = nullptr;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList labels;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        transientFor = box->windowHandle()->transientParent();
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        QAbstractButton* pressed = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            labels.append(button->text());
            if (button->text() == c.press)
                pressed = button;
        }
        if (pressed)
            pressed->click();
        else
            box->reject();  // the close box
    });
    const int answer = runtime.MsgBox(QStringLiteral("第一行\r\n<b>不是粗体</b>"), c.style, QStringLiteral("QuorinVelmo提示"));
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(transientFor, form.windowHandle());
    EXPECT_EQ(title, QStringLiteral("QuorinVelmo提示"));
    EXPECT_EQ(text, QStringLiteral("第一行\r\n<b>不是粗体</b>"));
    EXPECT_EQ(icon, c.icon);
    labels.sort();
    QStringList expected = c.labels;
    expected.sort();
    EXPECT_EQ(labels, expected);
}

INSTANTIATE_TEST_SUITE_P(Styles, NoticeBox, testing::Values(
    NoticeCase{"warning_ok", 48, QMessageBox::Warning, {QStringLiteral("确定")}, QStringLiteral("确定"), vbOK},
    NoticeCase{"information_ok", 64, QMessageBox::Information, {QStringLiteral("确定")}, QStringLiteral("确定"), vbOK},
    NoticeCase{"warning_closed", 48, QMessageBox::Warning, {QStringLiteral("确定")}, QString(), vbOK},
    NoticeCase{"question_yes", 67, QMessageBox::Information, {QStringLiteral("是(&Y)"), QStringLiteral("否(&N)"), QStringLiteral("取消")}, QStringLiteral("是(&Y)"), vbYes},
    NoticeCase{"question_no", 67, QMessageBox::Information, {QStringLiteral("是(&Y)"), QStringLiteral("否(&N)"), QStringLiteral("取消")}, QStringLiteral("否(&N)"), vbNo},
    NoticeCase{"question_cancel", 67, QMessageBox::Information, {QStringLiteral("是(&Y)"), QStringLiteral("否(&N)"), QStringLiteral("取消")}, QStringLiteral("取消"), vbCancel},
    NoticeCase{"question_closed", 67, QMessageBox::Information, {QStringLiteral("是(&Y)"), QStringLiteral("否(&N)"), QStringLiteral("取消")}, QString(), vbCancel}
), [](const testing::TestParamInfo<NoticeCase>& info) { return std::string(info.param.name); });

TEST(InputBox, OkGivesTheTextCancelGivesNothing)
{
    QtFormRuntime runtime;
    struct Row { bool accept; QString typed; QString answer; };
    for (const Row& row : {Row{true, QStringLiteral("http://v.vidsite.example/x"), QStringLiteral("http://v.vidsite.example/x")},
                           Row{false, QStringLiteral("typed then cancelled"), QString()}}) {
        QString prompt, title, initial;
        WhenModal<QInputDialog>([&](QInputDialog* dialog) {
            prompt = dialog->labelText();
            title = dialog->windowTitle();
            initial = dialog->textValue();
            dialog->setTextValue(row.typed);
            row.accept ? dialog->accept() : dialog->reject();
        });
        EXPECT_EQ(runtime.InputBox(QStringLiteral("请在此处粘贴您的视频网页地址"), QStringLiteral("直接获取视频代码")), row.answer);
        EXPECT_EQ(prompt, QStringLiteral("请在此处粘贴您的视频网页地址"));
        EXPECT_EQ(title, QStringLiteral("直接获取视频代码"));
        EXPECT_TRUE(initial.isEmpty());
    }
}

TEST(Clipboard, PlainTextReplacesEveryFormat)
{
    QtFormRuntime runtime;
    auto* before = new QMimeData;
    before->setHtml(QStringLiteral("<b>old</b>"));
    before->setText(QStringLiteral("old"));
    QApplication::clipboard()->setMimeData(before);
    runtime.ClipboardClear();
    runtime.ClipboardSetText(QStringLiteral("http://static.vidsite.example/v1/res/vidplayer.swf?f=3&vid=a1b2c3d4e5f"));
    const QMimeData* now = QApplication::clipboard()->mimeData();
    EXPECT_EQ(now->text(), QStringLiteral("http://static.vidsite.example/v1/res/vidplayer.swf?f=3&vid=a1b2c3d4e5f"));
    EXPECT_FALSE(now->hasHtml());
}

TEST(FormRuntime, AppPathHasNoTrailingSeparator)
{
    QtFormRuntime runtime;
    const QString path = runtime.AppPath();
    EXPECT_FALSE(path.endsWith(u'/'));
    EXPECT_TRUE(QDir::isAbsolutePath(path)) << path.toStdString();
    // The folder that holds this very program.
    const QFileInfo program(QCoreApplication::applicationFilePath());
    EXPECT_TRUE(QFileInfo(path + u'/' + program.fileName()).isExecutable()) << path.toStdString();
    EXPECT_EQ(QFileInfo(path).canonicalFilePath(), program.canonicalPath());
}

TEST(FormRuntime, CommandLinesAreSplitWithoutAShell)
{
    struct Row { QString line; QStringList words; };
    const Row rows[] = {
        {QStringLiteral("explorer.exe http://bbs.brightfold.example/"), {QStringLiteral("explorer.exe"), QStringLiteral("http://bbs.brightfold.example/")}},
        {QStringLiteral("  a   b  "), {QStringLiteral("a"), QStringLiteral("b")}},
        {QStringLiteral("\"C:\\Program Files\\x.exe\" \"two words\" ;rm -rf"), {QStringLiteral("C:\\Program Files\\x.exe"), QStringLiteral("two words"), QStringLiteral(";rm")  , QStringLiteral("-rf")}},
        {QStringLiteral("\"\""), {QString()}},
        {QString(), {}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SplitCommandLine(row.line), row.words) << row.line.toStdString();
    QtFormRuntime runtime;
    EXPECT_THROW(runtime.Shell(QStringLiteral("/nonexistent/program --flag"), vbNormalFocus), ComponentError);
    EXPECT_THROW(runtime.Shell(QString(), vbNormalFocus), ComponentError);
}

// The real runtime, except that it leaves the test's event loops running.
struct StayingRuntime : QtFormRuntime {
    int* status;
    explicit StayingRuntime(int* s) : status(s) {}
    void QuitEventLoops(int s) override { *status = s; }
};

TEST(FormRuntime, EndHidesEveryWindowAndStopsHandlers)
{
    int status = -1;
    auto previous = SetRuntime(std::make_unique<StayingRuntime>(&status));
    struct Window : QWidget {
        bool* closed;
        explicit Window(bool* c) : closed(c) {}
        void closeEvent(QCloseEvent*) override { *closed = true; }
    };
    bool closeEvent = false;
    Window window(&closeEvent);
    window.show();
    Runtime().End();
    EXPECT_TRUE(Runtime().Ending());
    EXPECT_FALSE(window.isVisible());
    // Notices and handlers no longer run.
    EXPECT_EQ(Runtime().MsgBox(QStringLiteral("x"), 67, QStringLiteral("t")), vbCancel);
    bool ran = false;
    RunHandler([&] { ran = true; });
    EXPECT_FALSE(ran);
    EXPECT_FALSE(closeEvent);
    EXPECT_EQ(status, 0);
    SetRuntime(std::move(previous));
}

TEST(FormRuntime, UnhandledErrorShowsAnErrorBoxThenEnds)
{
    int status = -1;
    auto previous = SetRuntime(std::make_unique<StayingRuntime>(&status));
    QString shown;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        shown = box->text();
        box->accept();
    });
    RunHandler([] { throw ComponentError("未指定的错误"); });
    EXPECT_EQ(shown, QStringLiteral("运行时错误：未指定的错误"));
    EXPECT_TRUE(Runtime().Ending());
    EXPECT_EQ(status, 1);
    SetRuntime(std::move(previous));
}

// An error before the event loop runs (in the first window's load) ends the
// program with status 1 after its error box, without the loop; an end asked
// for by the program itself keeps its status 0.
TEST(FormRuntime, AnEndBeforeTheEventLoopIsTheProgramsExitStatus)
{
    struct Row { const char* what; std::function<void()> handler; int status; };
    const Row rows[] = {
        {"an error", [] { throw ComponentError("未指定的错误"); }, 1},
        {"an unknown error", [] { throw 42; }, 1},
        {"End", [] { Runtime().End(); }, 0},
    };
    for (const Row& row : rows) {
        int quit = -1;
        auto previous = SetRuntime(std::make_unique<StayingRuntime>(&quit));
        bool boxShown = false;
        if (row.status != 0) {
            WhenModal<QMessageBox>([&](QMessageBox* box) {
                boxShown = true;
                box->accept();
            });
        }
        RunHandler(row.handler);
        EXPECT_EQ(boxShown, row.status != 0) << row.what;
        // Should the loop run, it would wait for an exit that came before it.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        guard.start(5000);
        EXPECT_EQ(RunEventLoop(), row.status) << row.what;
        SetRuntime(std::move(previous));
    }
}

} // namespace
} // namespace vidlatch::platform
