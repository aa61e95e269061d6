#include "BuildPlayerAddress.h"
#include "DemoSite.h"
#include "DropOn.h"
#include "Form1.h"
#include "Form2.h"
#include "FormLabel.h"
#include "FormTimer.h"
#include "Inet.h"
#include "QtText.h"
#include "ScriptedRuntime.h"
#include "ShockwaveFlash.h"
#include "SiteConstants.h"
#include "SkinEngine.h"
#include "StatusBar.h"
#include "UiWait.h"
#include "WebBrowser.h"
#include "WindowStyle.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

namespace vidlatch::ui {
namespace {

using platform::vbCancel;
using platform::vbNo;
using platform::vbYes;
using test::DropOn;
using test::ScriptedRuntimeScope;
using test::WaitUntil;

const QString Prefix = Q(site::PlayerAddressPrefix);
const QString Title = QStringLiteral("QuorinVelmo提示");

struct Placement {
    const char* name;
    QWidget* control;
    QWidget* container;
    QRect place;  // pixels: twips / 15
};

std::vector<Placement> Placements(Form1& f)
{
    return {
        {"Frame4", f.Frame4, &f, {16, 144, 657, 369}},
        {"ShockwaveFlash1", f.ShockwaveFlash1, f.Frame4, {8, 16, 641, 345}},
        {"St1", f.St1, &f, {0, 609, 690, 41}},
        {"Frame5", f.Frame5, &f, {16, 520, 657, 73}},
        {"Command3", f.Command3, f.Frame5, {560, 24, 89, 33}},
        {"Text2", f.Text2, f.Frame5, {104, 32, 441, 18}},
        {"Label2", f.Label2, f.Frame5, {16, 32, 78, 12}},
        {"Frame2", f.Frame2, &f, {304, 16, 377, 121}},
        {"Command2", f.Command2, f.Frame2, {8, 88, 361, 25}},
        {"Frame3", f.Frame3, f.Frame2, {8, 16, 361, 65}},
        {"Frame1", f.Frame1, &f, {16, 16, 281, 121}},
        {"Command4", f.Command4, f.Frame1, {16, 56, 249, 25}},
        {"Command1", f.Command1, f.Frame1, {16, 88, 249, 25}},
        {"Text1", f.Text1, f.Frame1, {16, 24, 249, 18}},
        {"WebBrowser1", f.WebBrowser1, &f, {448, 464, 57, 49}},
    };
}

// Index of a control among its container's children: higher lies on top.
int StackIndex(QWidget* control)
{
    return static_cast<int>(control->parentWidget()->children().indexOf(control));
}

struct StartedForm1 {
    ScriptedRuntimeScope runtime;
    Form1 form;
    StartedForm1() { form.Show(); }
};

TEST(Form1Layout, EveryControlInPlace)
{
    StartedForm1 s;
    Form1& f = s.form;
    EXPECT_EQ(f.size(), QSize(690, 650));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Ｋo.Vidlatch V4.0  - By：QuorinVelmo | IM：20090806"));
    for (const Placement& p : Placements(f)) {
        EXPECT_EQ(p.control->geometry(), p.place) << p.name;
        EXPECT_EQ(p.control->parentWidget(), p.container) << p.name;
    }
    // Captions and initial state.
    EXPECT_EQ(f.Frame4->title(), QStringLiteral("在线播放"));
    EXPECT_EQ(f.Frame5->title(), Q(site::BannerLine));
    EXPECT_EQ(f.Frame2->title(), QStringLiteral("视频代码辅助获取"));
    EXPECT_EQ(f.Frame3->title(), QStringLiteral("手动获取方法:"));
    EXPECT_EQ(f.Frame1->title(), QStringLiteral("请输入视频代码"));
    EXPECT_EQ(f.Command1->text(), QStringLiteral("获取视频真实地址"));
    EXPECT_EQ(f.Command2->text(), QStringLiteral("使用内置浏览器自动获取功能"));
    EXPECT_EQ(f.Command3->text(), QStringLiteral("复制"));
    EXPECT_EQ(f.Command4->text(), QStringLiteral("输入网址直接获取"));
    EXPECT_EQ(f.Label2->Caption(), QStringLiteral("当前播放地址:"));
    EXPECT_EQ(f.St1->PanelCount(), 1);
    EXPECT_EQ(f.St1->Panel(1)->text(), Q(site::CopyrightLine));
    EXPECT_TRUE(f.Text1->text().isEmpty());
    EXPECT_TRUE(f.Text2->text().isEmpty());
    EXPECT_TRUE(f.Text2->isReadOnly());
    EXPECT_FALSE(f.Text1->isReadOnly());
    for (QPushButton* button : {f.Command1, f.Command2, f.Command3, f.Command4})
        EXPECT_FALSE(button->isDefault() || button->autoDefault());
    EXPECT_EQ(f.Timer2->Interval(), 2000);
    EXPECT_EQ(f.Inet1->RemotePort, 80);
    EXPECT_EQ(f.Inet1->RequestTimeout, 60);

    // The hint: three whole lines, nothing clipped, clear of its frame's edge.
    EXPECT_EQ(f.Label1->Caption().count(u'\n'), 2);
    EXPECT_EQ(f.Label1->size(), f.Label1->sizeHint());
    EXPECT_GE(f.Label1->height(), 3 * 12);
    EXPECT_LT(f.Label1->geometry().right(), f.Frame3->contentsRect().right() - 4);

    // The covered browser lies under the preview frame, wholly inside it.
    EXPECT_TRUE(f.Frame4->geometry().contains(f.WebBrowser1->geometry()));
    EXPECT_GT(StackIndex(f.Frame4), StackIndex(f.WebBrowser1));
}

TEST(Form1Layout, Stacking)
{
    StartedForm1 s;
    Form1& f = s.form;
    const std::vector<std::vector<QWidget*>> topFirst = {
        {f.Frame4, f.St1, f.Frame5, f.Frame2, f.Frame1, f.WebBrowser1},
        {f.Command3, f.Text2, f.Label2},
        {f.Command2, f.Frame3},
        {f.Command4, f.Command1, f.Text1},
    };
    for (const auto& group : topFirst) {
        for (std::size_t i = 1; i < group.size(); ++i)
            EXPECT_GT(StackIndex(group[i - 1]), StackIndex(group[i])) << group[i - 1]->metaObject()->className();
    }
}

TEST(Form1Start, LoadRunsBeforeTheWindowShows)
{
    ScriptedRuntimeScope runtime;
    struct Recorded {
        QString path;
        QString password;
        bool visible = true;
        QList<int> hsv;
    };
    static Recorded recorded;
    static Form1* form = nullptr;
    recorded = {};
    const auto previous = platform::SetSkinLibrary({
        [](const char* path, const char* password) {
            recorded.path = QString::fromLocal8Bit(path);
            recorded.password = QString::fromLocal8Bit(password);
            recorded.visible = form->isVisible();
            return 0;
        },
        [](int h, int s, int v) {
            EXPECT_FALSE(recorded.path.isEmpty()) << "the skin is attached first";
            recorded.hsv = {h, s, v};
            return 0;
        },
    });
    Form1 f;
    form = &f;
    bool silentAtFirstDownload = false;
    bool sawDownload = false;
    QObject::connect(f.WebBrowser1, &platform::WebBrowser::DownloadBegin, [&] {
        if (!sawDownload)
            silentAtFirstDownload = f.WebBrowser1->Silent();
        sawDownload = true;
    });
    EXPECT_TRUE(f.Label1->Caption().isEmpty());
    f.Show();
    platform::SetSkinLibrary(previous);

    EXPECT_EQ(recorded.path, QCoreApplication::applicationDirPath() + QStringLiteral("/pf4.she"));
    EXPECT_EQ(recorded.password, QString());
    EXPECT_FALSE(recorded.visible);
    EXPECT_EQ(recorded.hsv, (QList<int>{160, 0, 0}));
    EXPECT_FALSE(platform::GetWindowLongA(&f, platform::GWL_STYLE) & platform::WS_THICKFRAME);
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
    EXPECT_EQ(f.Label1->Caption(), Q(site::HintText));
    EXPECT_EQ(f.ShockwaveFlash1->Movie(), Prefix);
    EXPECT_TRUE(f.isVisible());
    // The covered forum page waits for the preview.
    EXPECT_TRUE(f.WebBrowser1->page()->requestedUrl().isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return f.WebBrowser1->LocationURL() == Q(site::ForumAddress); }));
    EXPECT_TRUE(sawDownload);
    EXPECT_TRUE(silentAtFirstDownload);
    EXPECT_TRUE(runtime->calls.isEmpty());
}

struct FetchCase {
    const char* name;
    QString code;
    QString notice;
    int style;
    bool ready;
    bool byEnter = false;  // Enter in the code field instead of the button
};

void PrintTo(const FetchCase& c, std::ostream* os) { *os << c.name; }

class Form1Fetch : public testing::TestWithParam<FetchCase> {};

TEST_P(Form1Fetch, NoticeThenAddressThenPreview)
{
    const FetchCase& c = GetParam();
    StartedForm1 s;
    Form1& f = s.form;
    const QString before = Prefix + QStringLiteral("previous000");
    f.Text2->setText(before);
    f.ShockwaveFlash1->setMovie(before);
    f.Text1->setText(c.code);
    QString fieldWhileOpen;
    s.runtime->whileOpen = [&](const auto&) { fieldWhileOpen = f.Text2->text(); };
    if (c.byEnter)
        QTest::keyClick(f.Text1, Qt::Key_Return);
    else
        f.Command1->click();
    ASSERT_EQ(s.runtime->Notices().size(), 1);
    EXPECT_EQ(s.runtime->Notices()[0].text, c.notice);
    EXPECT_EQ(s.runtime->Notices()[0].style, c.style);
    EXPECT_EQ(s.runtime->Notices()[0].title, Title);
    EXPECT_EQ(fieldWhileOpen, before);
    const QString expected = c.ready ? Prefix + c.code : before;
    EXPECT_EQ(f.Text2->text(), expected);
    EXPECT_EQ(f.ShockwaveFlash1->Movie(), expected);
    EXPECT_EQ(f.Text1->text(), c.code);
}

const QString FetchSuccess = Q(BuildPlayerAddress(u"a1b2c3d4e5f").notice().text);

INSTANTIATE_TEST_SUITE_P(Codes, Form1Fetch, testing::Values(
    FetchCase{"empty", QString(), QStringLiteral("请输入视频代码!再进行获取!"), 48, false},
    FetchCase{"ten", QStringLiteral("a1b2c3d4e5"), QStringLiteral("视频代码位数不正确!请重新输入!"), 48, false},
    FetchCase{"twelve", QStringLiteral("a1b2c3d4e5f6"), QStringLiteral("视频代码位数不正确!请重新输入!"), 48, false},
    FetchCase{"eleven", QStringLiteral("a1b2c3d4e5f"), FetchSuccess, 64, true},
    FetchCase{"eleven_spaces", QStringLiteral("           "), FetchSuccess, 64, true},
    FetchCase{"empty_by_enter", QString(), QStringLiteral("请输入视频代码!再进行获取!"), 48, false, true},
    FetchCase{"eleven_by_enter", QStringLiteral("a1b2c3d4e5f"), FetchSuccess, 64, true, true}
), [](const testing::TestParamInfo<FetchCase>& info) { return std::string(info.param.name); });

TEST(Form1DirectAddress, EachParserOutcome)
{
    struct Row { const char* name; QString answer; QString text1; QString notice; int style; };
    const QString H = Q(site::PageHostPrefix);
    const Row rows[] = {
        {"cancel", QString(), QStringLiteral("keep"), QStringLiteral("您未输入视频网页地址"), 48},
        {"wrong_page", QStringLiteral("http://example.org/a.html"), QStringLiteral("keep"), QStringLiteral("您当前获取的视频地址页面有误!请您检查!"), 48},
        {"album", H + QStringLiteral("p/q/r/index.html"), QStringLiteral("keep"), QStringLiteral("抱歉!本程序不支持专辑视频地址获取"), 48},
        {"film", H + QStringLiteral("p/q/abcdefghijklmno.html"), QStringLiteral("keep"), QStringLiteral("抱歉!不支持电影地址的获取!"), 48},
        {"unsupported", H + QStringLiteral("p/q/r/s.php"), QStringLiteral("keep"), QStringLiteral("抱歉!不支持此页面地址的获取!"), 48},
        {"video", H + QStringLiteral("page/W/f/t/a1b2c3d4e5f.html"), QStringLiteral("a1b2c3d4e5f"),
         QStringLiteral("视频地址已获取成功!现转入主界面,请点击获取按钮获取真实视频地址!"), 64},
        {"cover", H + QStringLiteral("cover/x/abcdefghijklm.html?vid=XqZ9fR2kLmN"), QStringLiteral("XqZ9fR2kLmN"),
         QStringLiteral("视频地址已获取成功!现转入主界面,请点击获取按钮获取真实视频地址!"), 64},
    };
    for (const Row& row : rows) {
        StartedForm1 s;
        s.form.Text1->setText(QStringLiteral("keep"));
        s.form.Text2->setText(QStringLiteral("address"));
        s.runtime->inputs = {row.answer};
        QString codeWhileNoticeOpen;
        s.runtime->whileOpen = [&](const auto& call) {
            if (call.kind == QLatin1String("MsgBox"))
                codeWhileNoticeOpen = s.form.Text1->text();
        };
        s.form.Command4->click();
        ASSERT_EQ(s.runtime->Kinds(), (QStringList{QStringLiteral("InputBox"), QStringLiteral("MsgBox")})) << row.name;
        EXPECT_EQ(s.runtime->calls[0].text, QStringLiteral("请在此处粘贴您的视频网页地址"));
        EXPECT_EQ(s.runtime->calls[0].title, QStringLiteral("直接获取视频代码"));
        EXPECT_EQ(s.runtime->calls[1].text, row.notice) << row.name;
        EXPECT_EQ(s.runtime->calls[1].style, row.style) << row.name;
        EXPECT_EQ(codeWhileNoticeOpen, row.text1) << row.name;  // the code lands before the notice
        EXPECT_EQ(s.form.Text1->text(), row.text1) << row.name;
        EXPECT_EQ(s.form.Text2->text(), QStringLiteral("address"));
    }
}

// Chooses `item` (counted from the end) of the popup menu that `open` shows,
// as the user would: with a click on it, or with the arrow keys and Return
// (the way of a menu opened from the keyboard).
void ChooseFromMenu(const std::function<void()>& open, int itemFromEnd, bool withKeys = false)
{
    open();
    QMenu* menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return menu && menu->isVisible();
    }));
    EXPECT_FALSE(menu->accessibleName().isEmpty());
    const QList<QAction*> actions = menu->actions();
    QAction* item = actions[actions.size() - 1 - itemFromEnd];
    if (!withKeys) {
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        return;
    }
    for (int up = 0; up <= itemFromEnd; ++up)  // from no item, Up comes to the last
        QTest::keyClick(menu, Qt::Key_Up);
    ASSERT_EQ(menu->activeAction(), item);
    QTest::keyClick(menu, Qt::Key_Return);
}

struct CopyCase {
    const char* name;
    std::function<void(Form1&)> copy;
    QString copied;  // what lands on the clipboard, the address being a1b2c3d4e5f
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }

class Form1Copy : public testing::TestWithParam<CopyCase> {};

TEST_P(Form1Copy, WithAndWithoutAnAddress)
{
    const CopyCase& c = GetParam();
    StartedForm1 s;
    Form1& f = s.form;
    QApplication::clipboard()->setText(QStringLiteral("what the user had"));
    c.copy(f);
    ASSERT_TRUE(WaitUntil([&] { return !s.runtime->calls.isEmpty(); }));
    ASSERT_EQ(s.runtime->Kinds(), QStringList{QStringLiteral("MsgBox")});
    EXPECT_EQ(s.runtime->calls[0].text, QStringLiteral("请输入视频代码!再进行获取!"));
    EXPECT_EQ(s.runtime->calls[0].style, 48);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("what the user had"));

    s.runtime->calls.clear();
    f.Text2->setText(Prefix + QStringLiteral("a1b2c3d4e5f"));
    c.copy(f);
    ASSERT_TRUE(WaitUntil([&] { return s.runtime->calls.size() == 3; }));
    ASSERT_EQ(s.runtime->Kinds(), (QStringList{QStringLiteral("ClipboardClear"), QStringLiteral("ClipboardSetText"),
                                               QStringLiteral("MsgBox")}));
    EXPECT_EQ(s.runtime->calls[2].text, QStringLiteral("获取成功!地址已复制!您可直接粘贴到您需要的地方!\r\n \r\n"
                                                       "欢迎加入Brightfold：【http://bbs.brightfold.example/】"));
    EXPECT_EQ(s.runtime->calls[2].style, 64);
    EXPECT_EQ(QApplication::clipboard()->text(), c.copied);
}

INSTANTIATE_TEST_SUITE_P(Ways, Form1Copy, testing::Values(
    CopyCase{"button", [](Form1& f) { f.Command3->click(); }, Prefix + QStringLiteral("a1b2c3d4e5f")},
    // The copy button's menu, from the keyboard; its last item is Markdown.
    CopyCase{"button_menu_markdown_by_keyboard", [](Form1& f) {
        ChooseFromMenu([&] {
            f.activateWindow();  // the key is the window's
            ASSERT_TRUE(WaitUntil([&] { return f.isActiveWindow(); }));
            f.Command3->setFocus();
            QTest::keyClick(f.Command3, Qt::Key_F10, Qt::ShiftModifier);
        }, 0, true);
    }, QStringLiteral("[Vidsite a1b2c3d4e5f](") + Prefix + QStringLiteral("a1b2c3d4e5f)")},
    // The address field's own menu, by a right click on the window; BBCode is second from its end.
    CopyCase{"field_menu_bbcode_by_right_click", [](Form1& f) {
        ChooseFromMenu([&] {
            QTest::mouseClick(f.windowHandle(), Qt::RightButton, {}, f.Text2->mapTo(&f, f.Text2->rect().center()));
        }, 1);
    }, QStringLiteral("[flash]") + Prefix + QStringLiteral("a1b2c3d4e5f[/flash]")}
), [](const testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

TEST(Form1Copy, AddressFieldIsLocked)
{
    StartedForm1 s;
    Form1& f = s.form;
    f.Text2->setText(Prefix + QStringLiteral("a1b2c3d4e5f"));
    // Typing changes nothing, copying by keyboard works.
    QApplication::clipboard()->clear();
    QTest::keyClicks(f.Text2, QStringLiteral("typed"));
    EXPECT_EQ(f.Text2->text(), Prefix + QStringLiteral("a1b2c3d4e5f"));
    f.Text2->selectAll();
    QTest::keySequence(f.Text2, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), Prefix + QStringLiteral("a1b2c3d4e5f"));
}

TEST(Form1Drop, LinksAndTextsTakenFilesRefused)
{
    const QString page = Q(site::PageHostPrefix) + QStringLiteral("page/W/f/t/a1b2c3d4e5f.html");
    const QString taken = QStringLiteral("视频地址已获取成功!现转入主界面,请点击获取按钮获取真实视频地址!");
    struct Row {
        const char* name;
        QList<QUrl> urls;
        QString text;
        QWidget* (*target)(Form1&);
        bool taken;
        QString text1;
        QString notice;  // none: the code goes in as if typed
    };
    const Row rows[] = {
        {"link_on_the_preview", {QUrl(page)}, page, [](Form1& f) -> QWidget* { return f.ShockwaveFlash1; }, true,
         QStringLiteral("a1b2c3d4e5f"), taken},
        {"code_text_on_the_code_field", {}, QStringLiteral("XqZ9fR2kLmN"), [](Form1& f) -> QWidget* { return f.Text1; },
         true, QStringLiteral("XqZ9fR2kLmN"), QString()},
        {"other_text_as_the_command_answers", {}, QStringLiteral("hello"), [](Form1& f) -> QWidget* { return f.Text2; },
         true, QStringLiteral("keep"), QStringLiteral("您当前获取的视频地址页面有误!请您检查!")},
        {"file_with_its_path_as_text", {QUrl::fromLocalFile(QStringLiteral("/etc/hostname"))}, QStringLiteral("/etc/hostname"),
         [](Form1& f) -> QWidget* { return f.Text1; }, false, QStringLiteral("keep"), QString()},
        {"other_scheme", {QUrl(QStringLiteral("ftp://v.vidsite.example/page/W/f/t/a1b2c3d4e5f.html"))}, QString(),
         [](Form1& f) -> QWidget* { return f.Frame1; }, false, QStringLiteral("keep"), QString()},
    };
    for (const Row& row : rows) {
        StartedForm1 s;
        s.form.Text1->setText(QStringLiteral("keep"));
        QMimeData data;
        if (!row.urls.isEmpty())
            data.setUrls(row.urls);
        if (!row.text.isEmpty())
            data.setText(row.text);
        EXPECT_EQ(DropOn(row.target(s.form), data), row.taken) << row.name;
        if (!row.notice.isEmpty()) {
            ASSERT_TRUE(WaitUntil([&] { return !s.runtime->calls.isEmpty(); })) << row.name;
            ASSERT_EQ(s.runtime->Kinds(), QStringList{QStringLiteral("MsgBox")}) << row.name;
            EXPECT_EQ(s.runtime->calls[0].text, row.notice) << row.name;
        } else if (row.taken) {
            ASSERT_TRUE(WaitUntil([&] { return s.form.Text1->text() == row.text1; })) << row.name;
        }
        EXPECT_EQ(s.form.Text1->text(), row.text1) << row.name;
        if (row.notice.isEmpty()) {
            EXPECT_TRUE(s.runtime->calls.isEmpty()) << row.name;
        }
    }
}

TEST(Form1Probe, ConnectedDisablesTheTimerForGood)
{
    StartedForm1 s;
    ASSERT_TRUE(WaitUntil([&] { return !s.form.Timer2->Enabled(); }, 30000));
    EXPECT_TRUE(s.runtime->calls.isEmpty());
    QSignalSpy ticks(s.form.Timer2, &platform::FormTimer::Timer);
    ASSERT_TRUE(test::IntervalsPassed(s.form.Timer2->Interval()));
    EXPECT_EQ(ticks.count(), 0);  // no second probe
    EXPECT_TRUE(s.runtime->calls.isEmpty());  // no notice
}

// Sends libcurl's requests to a port that refuses them, for one scope.
struct Offline {
    QByteArray saved = qgetenv("http_proxy");
    Offline() { qputenv("http_proxy", "http://127.0.0.1:9"); }
    ~Offline() { qputenv("http_proxy", saved); }
};

TEST(Form1Probe, NoConnectionWarnsThenEndsEvenWhileHidden)
{
    for (bool hidden : {false, true}) {
        StartedForm1 s;
        Offline offline;
        if (hidden)
            s.form.hide();
        ASSERT_TRUE(WaitUntil([&] { return s.runtime->Ending(); }, 30000)) << hidden;
        ASSERT_EQ(s.runtime->Kinds(), (QStringList{QStringLiteral("MsgBox"), QStringLiteral("End")}));
        EXPECT_EQ(s.runtime->calls[0].text, QStringLiteral("您未联网!本程序无法使用!"));
        EXPECT_EQ(s.runtime->calls[0].style, 48);
    }
}

TEST(Form1Exit, EachAnswer)
{
    struct Row { const char* name; int answer; QStringList after; bool stays; bool byCtrlQ = false; };
    const Row rows[] = {
        {"yes", vbYes, {QStringLiteral("Shell"), QStringLiteral("End")}, false},
        {"no", vbNo, {QStringLiteral("End")}, false},
        {"cancel", vbCancel, {}, true},
        {"Ctrl+Q, no", vbNo, {QStringLiteral("End")}, false, true},
    };
    for (const Row& row : rows) {
        StartedForm1 s;
        s.form.Text1->setText(QStringLiteral("a1b2c3d4e5f"));
        s.form.Text2->setText(QStringLiteral("address"));
        s.runtime->answers = {row.answer};
        if (row.byCtrlQ) {
            s.form.activateWindow();  // the key is the window's
            ASSERT_TRUE(WaitUntil([&] { return s.form.isActiveWindow(); }));
            QTest::keyClick(s.form.Text1, Qt::Key_Q, Qt::ControlModifier);
        } else {
            s.form.close();
        }
        ASSERT_FALSE(s.runtime->calls.isEmpty()) << row.name;
        const auto question = s.runtime->calls.takeFirst();
        EXPECT_EQ(question.text, QStringLiteral("感谢您对Velmo、对Ko系列的软件的支持!\r \r是否退出并到论坛可以下载更多Velmo的原创免费软件?"));
        EXPECT_EQ(question.style, 67);
        EXPECT_EQ(s.runtime->Kinds(), row.after) << row.name;
        if (row.answer == vbYes) {
            EXPECT_EQ(s.runtime->calls[0].text, QStringLiteral("explorer.exe http://bbs.brightfold.example/"));
            EXPECT_EQ(s.runtime->calls[0].style, 2);
        }
        EXPECT_EQ(s.form.isVisible(), row.stays) << row.name;
        EXPECT_EQ(s.form.Text1->text(), QStringLiteral("a1b2c3d4e5f"));
        EXPECT_EQ(s.form.Text2->text(), QStringLiteral("address"));
    }
}

} // namespace
} // namespace vidlatch::ui
