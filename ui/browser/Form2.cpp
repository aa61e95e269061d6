#include "Form2.h"

#include "AddressWatch.h"
#include "AttentionJiggle.h"
#include "FormDefaults.h"
#include "FormLabel.h"
#include "FormPlacement.h"
#include "FormRuntime.h"
#include "ParsePageAddress.h"
#include "PictureButton.h"
#include "ProgramLanguage.h"
#include "QtText.h"
#include "RenderedImage.h"
#include "ScreenReader.h"
#include "ShowNotice.h"
#include "SiteConstants.h"
#include "StatusBar.h"
#include "TabControl.h"
#include "Twips.h"
#include "WebBrowser.h"
#include "WindowStyle.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>

#include <utility>

namespace vidlatch::ui {

using namespace platform;

namespace {

// What the status line says of a page off the site, by what became of it.
struct OffSiteNews { OffSiteOutcome outcome; const char* text; bool counted = false; };
constexpr OffSiteNews OffSiteNewsTable[] = {
    {OffSiteOutcome::Opening, QT_TRANSLATE_NOOP("vidlatch::ui::Form2", "正在您的浏览器中打开：")},
    {OffSiteOutcome::Opened, QT_TRANSLATE_NOOP("vidlatch::ui::Form2", "已在您的浏览器中打开：")},
    {OffSiteOutcome::NotOpened, QT_TRANSLATE_NOOP("vidlatch::ui::Form2", "无法在您的浏览器中打开：")},
    {OffSiteOutcome::NotWebPage, QT_TRANSLATE_NOOP("vidlatch::ui::Form2", "已拒绝打开，这不是网页地址：")},
    {OffSiteOutcome::WithoutAction, QT_TRANSLATE_NOOP("vidlatch::ui::Form2", "页面未经您的操作要打开其他网站，已阻止（共 %1 次）："), true},
    {OffSiteOutcome::FormNotSent, QT_TRANSLATE_NOOP("vidlatch::ui::Form2", "提交到其他网站的表单未发送：")},
};

PictureButton* MakePicture(QWidget* container, const char* picture, const QString& toolTip, int left, int top)
{
    auto* button = new PictureButton(RenderedImage(QString::fromLatin1(picture), 60), toolTip, HandCursor(), container);
    button->setGeometry(TwipsRect(left, top, 900, 900));
    return button;
}

} // namespace

Form2::Form2(Form2Opener opener) : opener_(std::move(opener))
{
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    InitFormWindow(this);
    setProperty("vidlatchForm", true);
    setWindowTitle(Q(site::BrowserWindowCaption));
    // Both windows' titles read nearly alike.
    setAccessibleDescription(tr("内置浏览器窗口：浏览视频网站，检测视频页面"));
    setWindowIcon(opener_.codeField->window()->windowIcon());  // the opener's
    resize(Px(16530), Px(10020));
    CreateControls();
    ArrangeStackingAndTabOrder();
    ConnectHandlers();
}

Form2::~Form2() = default;

void Form2::CreateControls()
{
    Frame4 = MakeFrame(this, QString(), TwipsRect(10920, 120, 5415, 1455));
    Picture4 = MakePicture(Frame4, "picture-close", tr("关闭"), 4320, 240);
    Picture3 = MakePicture(Frame4, "picture-refresh", tr("刷新"), 1560, 240);
    Picture2 = MakePicture(Frame4, "picture-back", tr("后退"), 3000, 240);
    Picture1 = MakePicture(Frame4, "picture-reset", tr("初始化"), 120, 240);

    Frame3 = MakeFrame(this, tr("正在检测地址..."), TwipsRect(3120, 120, 7695, 1455));
    Command4 = MakeButton(Frame3, tr("浏览页面【2】回到主页"), TwipsRect(5160, 1035, 2415, 300));
    Command3 = MakeButton(Frame3, tr("浏览页面【1】回到主页"), TwipsRect(2640, 1080, 2415, 255));
    Command2 = MakeButton(Frame3, tr("检测当前地址是否有效"), TwipsRect(120, 1080, 2415, 255));
    Command1 = MakeButton(Frame3, tr("自动获取"), TwipsRect(6600, 240, 975, 375));
    Text2 = MakeTextBox(Frame3, TwipsRect(2400, 320, 4095, 270));
    Text2->setFont(AddressFont());
    Label3 = MakeLabel(Frame3, TwipsRect(120, 720, 7530, 180), false, Qt::AlignHCenter);
    Label3->setCaption(tr("↑友情提示:如果进入视频页面后,地址没有检测到,请刷新页面即可↑"));
    Label4 = MakeLabel(Frame3, TwipsRect(120, 360, 2070, 180), true);
    Label4->setCaption(tr("自动检测:[不需手动操作]"));

    Frame1 = MakeFrame(this, QString(), TwipsRect(120, 120, 2895, 1455));
    Label2 = MakeLabel(Frame1, TwipsRect(0, 720, 2895, 615), false, Qt::AlignHCenter);
    Label2->setCaption(tr("您仅需在网页中选择视频\r\n程序会自动检测当前页面\r\n选中后点击自动获取按钮\r\n"));
    Label1 = MakeLabel(Frame1, TwipsRect(0, 240, 2880, 180), false, Qt::AlignHCenter);
    Label1->setCaption(tr("使用方法"));

    const QString brand = Q(site::BrandName);
    SSTab1 = new TabControl({brand + tr("浏览页面【1】"), brand + tr("浏览页面【2】")}, this);
    SSTab1->setGeometry(TwipsRect(120, 1680, 16215, 7455));
    WebBrowser1 = new WebBrowser;
    SSTab1->PlaceOnTab(0, WebBrowser1);
    WebBrowser1->setGeometry(TwipsRect(120, 480, 15975, 6855));
    WebBrowser2 = new WebBrowser;
    SSTab1->PlaceOnTab(1, WebBrowser2);
    WebBrowser2->setGeometry(TwipsRect(120, 480, 15975, 8655));  // reaches below the tab control: cut off there

    // Names for screen readers: the field by the label beside it, each
    // browser by its tab.
    Text2->setAccessibleName(Label4->Caption());
    SSTab1->TabStrip()->setAccessibleName(tr("浏览页面"));
    SSTab1->setAccessibleName(SSTab1->TabStrip()->accessibleName());
    Frame1->setAccessibleName(Label1->Caption());
    Frame4->setAccessibleName(tr("页面操作"));
    WebBrowser1->setAccessibleName(SSTab1->TabCaption(0));
    WebBrowser2->setAccessibleName(SSTab1->TabCaption(1));

    St1 = new StatusBar(Px(735), 1, this);
    St1->Panel(1)->setText(Translated(site::CopyrightLine));

    command1Position_ = std::make_unique<ControlPosition>(Command1);
    command1Jiggle_ = new AttentionJiggle(*command1Position_, this);
    captionNews_ = new Announcer(Frame3);
}

void Form2::ArrangeStackingAndTabOrder()
{
    StackTopFirst({Frame4, Frame3, Frame1, SSTab1, St1});
    StackTopFirst({Picture4, Picture3, Picture2, Picture1});
    StackTopFirst({Command4, Command3, Command2, Command1, Text2, Label3, Label4});
    StackTopFirst({Label2, Label1});
    tabOrder_ = TabOrder({SSTab1, WebBrowser1, WebBrowser2, Text2, Command1, Command2, Command3, Command4,
                 Picture1, Picture2, Picture3, Picture4});
}

void Form2::ConnectHandlers()
{
    connect(Command1, &QPushButton::clicked, this, Guarded([this] { Command1_Click(); }));
    connect(Command2, &QPushButton::clicked, this, Guarded([this] { Command2_Click(); }));
    connect(Command3, &QPushButton::clicked, this, Guarded([this] { Command3_Click(); }));
    connect(Command4, &QPushButton::clicked, this, Guarded([this] { Command4_Click(); }));
    connect(Picture1, &PictureButton::Click, this, Guarded([this] { Picture1_Click(); }));
    connect(Picture2, &PictureButton::Click, this, Guarded([this] { Picture2_Click(); }));
    connect(Picture3, &PictureButton::Click, this, Guarded([this] { Picture3_Click(); }));
    connect(Picture4, &PictureButton::Click, this, Guarded([this] { Picture4_Click(); }));
    // The tab control and the browsers raise their events through the form runtime already.
    connect(SSTab1, &TabControl::Click, this, &Form2::SSTab1_Click);
    connect(WebBrowser1, &WebBrowser::DownloadBegin, this, &Form2::WebBrowser1_DownloadBegin);
    connect(WebBrowser2, &WebBrowser::DownloadBegin, this, &Form2::WebBrowser2_DownloadBegin);
    connect(WebBrowser1, &WebBrowser::NewWindow2, this, &Form2::WebBrowser1_NewWindow2);
    connect(WebBrowser2, &WebBrowser::NewWindow2, this, &Form2::WebBrowser2_NewWindow2);
    // Pages off the site open in the user's own browser, kept up to date by
    // the system; the status line says what became of each.
    for (WebBrowser* browser : {WebBrowser1, WebBrowser2}) {
        browser->setOffSitePages(WebBrowser::OffSitePages::UsersBrowser);
        connect(browser, &WebBrowser::OffSitePage, this, [this](OffSiteOutcome outcome, const QString& address, int stopped) {
            for (const OffSiteNews& news : OffSiteNewsTable) {
                if (news.outcome == outcome)
                    St1->Panel(1)->setText((news.counted ? tr(news.text).arg(stopped) : tr(news.text)) + address);
            }
        });
    }
    // Esc does what the close picture does, wherever the focus is in the window.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, Guarded([this] { Picture4_Click(); }));
    // As in any browser, F6 and Ctrl+L take the focus to the address field:
    // a page that keeps every key it is given (Tab included) cannot keep these.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_F6), QKeySequence(Qt::CTRL | Qt::Key_L)}) {
        new QShortcut(keys, this, this, [this] {
            Text2->setFocus(Qt::ShortcutFocusReason);
            Text2->selectAll();
        });
    }
}

void Form2::Show()
{
    if (!loaded_) {
        loaded_ = true;
        RunHandler([this] { Form_Load(); });
        CentreOnScreen(this);
    }
    show();
    raise();
    activateWindow();
    SSTab1->setFocus();
}

void Form2::Form_Load()
{
    WebBrowser1->setSilent(true);
    WebBrowser1->Navigate(Q(site::PageHostPrefix));

    const std::int32_t style = GetWindowLongA(this, GWL_STYLE);
    SetWindowLongA(this, GWL_STYLE, style & ~WS_THICKFRAME);
}

void Form2::Command1_Click()
{
    const ParseResult result = ParseBrowserAddress(U16(Text2->text()));
    if (result.outcome != ParseOutcome::CodeTaken) {
        ShowNotice(Translated(NoticeText(result.outcome)), NoticeStyleOf(result.outcome));
        return;
    }
    opener_.codeField->setText(Q(result.code));
    ShowNotice(Translated(NoticeText(result.outcome)), NoticeStyleOf(result.outcome));
    Unload();
}

void Form2::Command2_Click()
{
    const ValidityNotice notice = CheckValidity(Text2->text());
    ShowNotice(notice.text, notice.style);
}

void Form2::Command3_Click()
{
    SSTab1->setTab(0);
    WebBrowser1->Navigate(Q(site::PageHostPrefix));
}

void Form2::Command4_Click()
{
    SSTab1->setTab(1);
    WebBrowser2->Navigate(Q(site::PageHostPrefix));
}

void Form2::Picture1_Click()
{
    WebBrowser1->Navigate(Q(site::PageHostPrefix));
    WebBrowser2->Navigate(Q(site::PageHostPrefix));
    Text2->setText(QString());
}

WebBrowser* Form2::CurrentBrowser() const
{
    if (SSTab1->Tab() == 0)
        return WebBrowser1;
    if (SSTab1->Tab() == 1)
        return WebBrowser2;
    return nullptr;
}

void Form2::Picture2_Click()
{
    // Nothing to go back to is no error worth a word.
    try {
        if (WebBrowser* browser = CurrentBrowser())
            browser->GoBack();
    } catch (const std::exception&) {
    }
}

void Form2::Picture3_Click()
{
    try {
        if (WebBrowser* browser = CurrentBrowser())
            browser->Refresh();
    } catch (const std::exception&) {
    }
}

void Form2::Picture4_Click()
{
    Unload();
}

void Form2::SSTab1_Click(int /*previousTab*/)
{
    if (WebBrowser* browser = CurrentBrowser())
        Text2->setText(browser->LocationURL());
}

void Form2::Form_QueryUnload(bool& /*cancel: never set, closing always completes*/)
{
    Unload();
}

void Form2::WebBrowser1_DownloadBegin()
{
    WatchDownload(1);
}

void Form2::WebBrowser2_DownloadBegin()
{
    WatchDownload(2);
}

void Form2::WatchDownload(int browser)
{
    WebBrowser* watched = browser == 1 ? WebBrowser1 : WebBrowser2;
    const QString field = Text2->text();
    const WatchVerdict verdict = Watch(browser, field, browser == 2 ? WebBrowser2->LocationURL() : QString());
    Frame3->setTitle(verdict.caption);
    captionNews_->Say(Frame3->title());  // the jiggle says it only to the eye
    if (verdict.shake) {
        Shake(*command1Position_);
        command1Jiggle_->Start();
    }
    Text2->setText(watched->LocationURL());
}

void Form2::WebBrowser1_NewWindow2(QObject*& ppDisp, bool& /*cancel: left as passed*/)
{
    ppDisp = WebBrowser2->Application();
    SSTab1->setTab(1);
}

void Form2::WebBrowser2_NewWindow2(QObject*& ppDisp, bool& /*cancel: left as passed*/)
{
    ppDisp = WebBrowser1->Application();
    SSTab1->setTab(0);
}

void Form2::Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    // Gone for good: its browsers raise nothing more, the next opening starts afresh.
    WebBrowser1->disconnect(this);
    WebBrowser2->disconnect(this);
    WebBrowser1->stop();
    WebBrowser2->stop();
    hide();
    emit unloaded();
    deleteLater();
    opener_.show();
}

bool Form2::focusNextPrevChild(bool next)
{
    return tabOrder_.Move(next) || QWidget::focusNextPrevChild(next);
}

void Form2::closeEvent(QCloseEvent* event)
{
    bool cancel = false;
    RunHandler([&] { Form_QueryUnload(cancel); });
    event->accept();
}

} // namespace vidlatch::ui
