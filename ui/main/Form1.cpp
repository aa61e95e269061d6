#include "Form1.h"

#include "BuildPlayerAddress.h"
#include "DroppedAddress.h"
#include "EmbedCode.h"
#include "Form2.h"
#include "FormDefaults.h"
#include "FormLabel.h"
#include "FormPlacement.h"
#include "FormRuntime.h"
#include "FormTimer.h"
#include "Inet.h"
#include "ParsePageAddress.h"
#include "ProgramIcon.h"
#include "ProgramLanguage.h"
#include "QtText.h"
#include "ScreenReader.h"
#include "ShockwaveFlash.h"
#include "SiteConstants.h"
#include "ShowNotice.h"
#include "SkinEngine.h"
#include "StatusBar.h"
#include "Twips.h"
#include "WebBrowser.h"
#include "WindowStyle.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include <memory>

namespace vidlatch::ui {

using namespace platform;

Form1::Form1()
{
    setObjectName(QStringLiteral("Form1"));
    InitFormWindow(this);
    setProperty("vidlatchForm", true);
    setWindowTitle(Q(site::MainWindowCaption));
    // Both windows' titles read nearly alike.
    setAccessibleDescription(tr("主窗口：输入视频代码，获取并预览播放地址"));
    setWindowIcon(ProgramIcon());
    resize(Px(10350), Px(9750));
    CreateControls();
    ArrangeStackingAndTabOrder();
}

Form1::~Form1()
{
    delete form2_.data();
}

Form2* Form1::BrowserWindow() const
{
    return form2_.data();
}

void Form1::CreateControls()
{
    Timer2 = new FormTimer(this);
    Timer2->setInterval(2000);
    connect(Timer2, &FormTimer::Timer, this, [this] { Timer2_Timer(); });

    Frame4 = MakeFrame(this, tr("在线播放"), TwipsRect(240, 2160, 9855, 5535));
    ShockwaveFlash1 = new ShockwaveFlash(Frame4);
    ShockwaveFlash1->setGeometry(TwipsRect(120, 240, 9615, 5175));

    St1 = new StatusBar(Px(615), 1, this);
    St1->Panel(1)->setText(Translated(site::CopyrightLine));

    Frame5 = MakeFrame(this, Translated(site::BannerLine), TwipsRect(240, 7800, 9855, 1095));
    Command3 = MakeButton(Frame5, tr("复制"), TwipsRect(8400, 360, 1335, 495));
    Text2 = MakeTextBox(Frame5, TwipsRect(1560, 480, 6615, 270));
    Text2->setReadOnly(true);  // locked: select and copy, never edit
    Text2->setFont(AddressFont());
    Label2 = MakeLabel(Frame5, TwipsRect(240, 480, 1170, 180), true);
    Label2->setCaption(tr("当前播放地址:"));
    Text2->setAccessibleName(Label2->Caption());  // the label beside it, not the frame's banner
    Frame5->setAccessibleName(tr("播放地址"));  // what it holds, not the forum's banner

    Frame2 = MakeFrame(this, tr("视频代码辅助获取"), TwipsRect(4560, 240, 5655, 1815));
    Command2 = MakeButton(Frame2, tr("使用内置浏览器自动获取功能"), TwipsRect(120, 1320, 5415, 375));
    Frame3 = MakeFrame(Frame2, tr("手动获取方法:"), TwipsRect(120, 240, 5415, 975));
    Frame3->setAccessibleName(Frame3->title());  // Qt would lend it the outer frame's title
    Inet1 = std::make_unique<Inet>();
    Inet1->RemotePort = 80;
    Inet1->RequestTimeout = 60;
    Label1 = MakeLabel(Frame3, TwipsRect(720, 240, 3960, 540), true);
    // The hint's example address, a little smaller than in the fields: at
    // 6-pixel cells its 52 characters would reach the frame's edge.
    Label1->setAddressFont(AddressFont(9));

    Frame1 = MakeFrame(this, tr("请输入视频代码"), TwipsRect(240, 240, 4215, 1815));
    Command4 = MakeButton(Frame1, tr("输入网址直接获取"), TwipsRect(240, 840, 3735, 375));
    Command1 = MakeButton(Frame1, tr("获取视频真实地址"), TwipsRect(240, 1320, 3735, 375));
    Text1 = MakeTextBox(Frame1, TwipsRect(240, 360, 3735, 270));
    Text1->setAccessibleName(Frame1->title());

    WebBrowser1 = new WebBrowser(this);
    WebBrowser1->setGeometry(TwipsRect(6720, 6960, 855, 735));
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    // Covered by the preview and never seen: it must never hold the focus,
    // nor let its page take it.
    WebBrowser1->setEnabled(false);
    HideFromScreenReaders(WebBrowser1);  // the forum page, covered: nobody ever sees it

    connect(Command1, &QPushButton::clicked, this, Guarded([this] { Command1_Click(); }));
    connect(Command2, &QPushButton::clicked, this, Guarded([this] { Command2_Click(); }));
    connect(Command3, &QPushButton::clicked, this, Guarded([this] { Command3_Click(); }));
    connect(Command4, &QPushButton::clicked, this, Guarded([this] { Command4_Click(); }));
    CreateCopyMenus();
    ConnectKeys();

    // Every drop goes to the window's one rule, the code field's and the preview's included.
    setAcceptDrops(true);
    Text1->setAcceptDrops(false);
}

void Form1::CreateCopyMenus()
{
    copyMenu_ = new QMenu(Command3);
    copyMenu_->setAccessibleName(tr("复制为"));
    AddCopyForms(copyMenu_);
    Command3->setAccessibleDescription(tr("右键、菜单键或 Shift+F10：复制为 HTML、BBCode 或 Markdown"));
    Command3->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Command3, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { copyMenu_->popup(Command3->mapToGlobal(at)); });

    // The address field keeps its own items and gains the forms after them.
    Text2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Text2, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = Text2->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->setAccessibleName(Text2->accessibleName());
        menu->addSeparator();
        AddCopyForms(menu);
        menu->popup(Text2->mapToGlobal(at));
    });
}

void Form1::AddCopyForms(QMenu* menu)
{
    for (const EmbedFormInfo& info : EmbedForms) {
        connect(menu->addAction(Translated(info.command)), &QAction::triggered, this,
                Guarded([this, form = info.form] { CopyForm(form); }));
    }
}

void Form1::ConnectKeys()
{
    // Enter in the code field fetches, as a default button would.
    connect(Text1, &QLineEdit::returnPressed, Command1, &QPushButton::click);
    // Leaving the usual way asks the exit question, as the close box does.
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this, this, &QWidget::close);
    // X11 opens a context menu with the Menu key only: Shift+F10 does it too,
    // as on other desktops, for whichever control has the focus.
    new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this, this, [] {
        if (QWidget* focus = QApplication::focusWidget()) {
            const QPoint centre = focus->rect().center();
            QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, centre, focus->mapToGlobal(centre));
            QApplication::sendEvent(focus, &menuEvent);
        }
    });
}

void Form1::ArrangeStackingAndTabOrder()
{
    // Earlier in the layout lies on top.
    StackTopFirst({Frame4, St1, Frame5, Frame2, Frame1, WebBrowser1});
    StackTopFirst({Command3, Text2, Label2});
    StackTopFirst({Command2, Frame3});
    StackTopFirst({Command4, Command1, Text1});
    tabOrder_ = TabOrder({Text1, Command1, Command2, Text2, Command3, ShockwaveFlash1, Command4});
    Text1->setFocus();
}

void Form1::Show()
{
    if (!loaded_) {
        loaded_ = true;
        RunHandler([this] { Form_Load(); });
        if (Runtime().Ending())
            return;
        CentreOnScreen(this);
    }
    show();
    raise();
    activateWindow();
    Text1->setFocus();
}

void Form1::Form_Load()
{
    const QByteArray skinFile = (Runtime().AppPath() + QStringLiteral("/pf4.she")).toLocal8Bit();
    SkinH_AttachEx(skinFile.constData(), "");
    SkinH_AdjustHSV(160, 0, 0);

    const std::int32_t style = GetWindowLongA(this, GWL_STYLE);
    SetWindowLongA(this, GWL_STYLE, style & ~WS_THICKFRAME);

    Label1->setCaption(Translated(site::HintText));

    WebBrowser1->setSilent(true);
    SendForumBrowserAfterPreview();

    ShockwaveFlash1->setMovie(Q(site::PlayerAddressPrefix));
}

// The forum page is covered and never seen: it goes to the forum once the
// preview has its first frame or its sentence (ForumDelayMs at the latest),
// so that it does not hold up the preview's start. (Discarding it once
// loaded would free its renderer, but the engine then leaves shared memory
// files behind now and then.)
void Form1::SendForumBrowserAfterPreview()
{
    auto sent = std::make_shared<bool>(false);
    const auto send = [this, sent] {
        if (!std::exchange(*sent, true))
            WebBrowser1->Navigate(Q(site::ForumAddress));
    };
    connect(ShockwaveFlash1, &ShockwaveFlash::movieShown, this, send, Qt::SingleShotConnection);
    connect(ShockwaveFlash1, &ShockwaveFlash::movieFailed, this, send, Qt::SingleShotConnection);
    QTimer::singleShot(ForumDelayMs, this, send);
}

void Form1::Command1_Click()
{
    const BuildOutcome built = BuildPlayerAddress(U16(Text1->text()));
    if (built.kind != BuildOutcomeKind::AddressReady) {
        ShowNotice(Translated(RejectionText(built.kind)), NoticeStyle::Warning);
        return;
    }
    // The movie is on its way while the notice is read; the preview shows it only after.
    ShockwaveFlash1->Prefetch(Q(built.address));
    ShowNotice(Translated(built.notice().text), NoticeStyle::Information);
    Text2->setText(Q(built.address));
    ShockwaveFlash1->setMovie(Text2->text());
}

void Form1::Command2_Click()
{
    if (!form2_)
        form2_ = new Form2({Text1, [this] { Show(); }});
    form2_->Show();
    hide();
}

void Form1::Command3_Click()
{
    CopyToClipboard(Text2->text());
}

void Form1::CopyForm(EmbedForm form)
{
    // Only the fetch writes Text2: it holds a player address or nothing.
    CopyToClipboard(Q(EmbedCode(U16(Text2->text()), form)));
}

void Form1::CopyToClipboard(const QString& text)
{
    // An empty address is no success: the clipboard keeps what it holds.
    if (text.isEmpty()) {
        ShowNotice(Translated(RejectionText(BuildOutcomeKind::CodeMissing)), NoticeStyle::Warning);
        return;
    }
    Runtime().ClipboardClear();
    Runtime().ClipboardSetText(text);
    ShowNotice(Translated(InvitationNotice(CopySuccessHeadline)), NoticeStyle::Information);
}

void Form1::Command4_Click()
{
    TakeCodeFrom(Runtime().InputBox(Translated(DirectAddressPrompt), Translated(DirectAddressTitle)));
}

void Form1::TakeCodeFrom(const QString& answer)
{
    const ParseResult result = ParsePageAddress(U16(answer), true);
    if (result.outcome == ParseOutcome::CodeTaken)
        Text1->setText(Q(result.code));
    ShowNotice(Translated(NoticeText(result.outcome)), NoticeStyleOf(result.outcome));
}

void Form1::Timer2_Timer()
{
    const QString page = Inet1->OpenURL(Q(site::ProbeHost));
    if (page.isEmpty()) {
        ShowNotice(tr("您未联网!本程序无法使用!"), NoticeStyle::Warning);
        Runtime().End();
        return;
    }
    Timer2->setEnabled(false);
}

void Form1::Form_QueryUnload(bool& cancel)
{
    // "\r" alone between the lines, as the question has always been written.
    const int answer = ShowNotice(tr("感谢您对Velmo、对Ko系列的软件的支持!\r \r"
                                     "是否退出并到论坛可以下载更多Velmo的原创免费软件?"),
                                  NoticeStyle::Question);
    if (answer == vbYes) {
        Runtime().Shell(QStringLiteral("explorer.exe ") + Q(site::ForumAddress), vbMinimizedFocus);
        Runtime().End();
    } else if (answer == vbNo) {
        Runtime().End();
    } else {
        cancel = true;
    }
}

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void Form1::dragMoveEvent(QDragMoveEvent* event)
{
    if (ReadDrop(event->mimeData()).kind == DroppedAddress::Kind::Refused)
        event->ignore();
    else
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event)
{
    const DroppedAddress dropped = ReadDrop(event->mimeData());
    if (dropped.kind == DroppedAddress::Kind::Refused) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // After the drop has ended: a notice must not hold up the application it came from.
    QMetaObject::invokeMethod(this, [this, dropped] {
        RunHandler([&] { TakeDropped(dropped.text, dropped.kind == DroppedAddress::Kind::WebLink); });
    }, Qt::QueuedConnection);
}

void Form1::TakeDropped(const QString& text, bool link)
{
    if (!link && text.size() == static_cast<qsizetype>(VideoCodeLength)) {
        Text1->setText(text);  // a code, as if typed
        return;
    }
    TakeCodeFrom(text);
}

bool Form1::focusNextPrevChild(bool next)
{
    return tabOrder_.Move(next) || QWidget::focusNextPrevChild(next);
}

void Form1::closeEvent(QCloseEvent* event)
{
    bool cancel = false;
    RunHandler([&] { Form_QueryUnload(cancel); });
    if (cancel && !Runtime().Ending())
        event->ignore();
    else
        event->accept();
}

} // namespace vidlatch::ui
