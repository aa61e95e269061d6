#include "QtFormRuntime.h"

#include "FormDefaults.h"
#include "NoticeIconStyle.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QUrl>
#include <QWidget>

namespace vidlatch::platform {
namespace {

constexpr int IconMask = 0xF0;
constexpr int ButtonMask = 0x0F;
constexpr int IconInformation = 64;
constexpr int IconExclamation = 48;
constexpr int IconQuestion = 32;
constexpr int IconCritical = 16;
constexpr int ButtonsYesNoCancel = 3;

QMessageBox::Icon IconOf(int style)
{
    switch (style & IconMask) {
    case IconInformation: return QMessageBox::Information;
    case IconExclamation: return QMessageBox::Warning;
    case IconQuestion: return QMessageBox::Question;
    case IconCritical: return QMessageBox::Critical;
    default: return QMessageBox::NoIcon;
    }
}

// The window a notice or dialog belongs to: the active one, or else the
// form on screen. A compositor need not say which window is active, and a
// box with no parent is not kept over its window nor centred on it.
QWidget* ActiveParent()
{
    if (QWidget* active = QApplication::activeWindow(); active && active->isVisible())
        return active;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->property("vidlatchForm").toBool())
            return window;
    }
    return nullptr;
}

// The answer asked for is a page address: the field shows a typical one
// whole, in the address font, and the window manager has room for the
// title beside its buttons.
void FitForAnAddress(QInputDialog& dialog)
{
    constexpr int AddressChars = 56;
    constexpr int TitleBarButtons = 120;
    QLineEdit* field = dialog.findChild<QLineEdit*>();
    if (!field)
        return;
    field->setFont(AddressFont());
    const int fieldWidth = field->fontMetrics().horizontalAdvance(QString(AddressChars, u'x'));
    QFont titleFont = dialog.font();
    titleFont.setBold(true);
    const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(dialog.windowTitle()) + TitleBarButtons;
    field->setMinimumWidth(fieldWidth);
    dialog.setMinimumWidth(titleWidth);
}

} // namespace

int QtFormRuntime::MsgBox(const QString& text, int style, const QString& title)
{
    if (ending_)
        return vbCancel;
    NoticeIconStyle icons;  // outlives the box
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, ActiveParent());
    box.setStyle(&icons);
    box.setIcon(IconOf(style));
    box.setTextFormat(Qt::PlainText);  // page addresses and codes are shown as they are
    box.setObjectName(QStringLiteral("noticeBox"));
    box.setProperty("noticeStyle", style);
    if ((style & ButtonMask) == ButtonsYesNoCancel) {
        QPushButton* yes = box.addButton(QCoreApplication::translate("Vidlatch", "是(&Y)"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QCoreApplication::translate("Vidlatch", "否(&N)"), QMessageBox::NoRole);
        QPushButton* cancel = box.addButton(QCoreApplication::translate("Vidlatch", "取消"), QMessageBox::RejectRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(cancel);
        box.exec();
        if (ending_) return vbCancel;
        if (box.clickedButton() == yes) return vbYes;
        if (box.clickedButton() == no) return vbNo;
        return vbCancel;  // Cancel, Escape or the close box
    }
    QPushButton* ok = box.addButton(QCoreApplication::translate("Vidlatch", "确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return vbOK;
}

QString QtFormRuntime::InputBox(const QString& prompt, const QString& title)
{
    if (ending_)
        return {};
    QInputDialog dialog(ActiveParent());
    dialog.setObjectName(QStringLiteral("inputBox"));
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(QString());
    dialog.setOkButtonText(QCoreApplication::translate("Vidlatch", "确定"));
    dialog.setCancelButtonText(QCoreApplication::translate("Vidlatch", "取消"));
    FitForAnAddress(dialog);
    if (dialog.exec() != QDialog::Accepted || ending_)
        return {};
    return dialog.textValue();
}

void QtFormRuntime::ClipboardClear()
{
    QApplication::clipboard()->clear(QClipboard::Clipboard);
}

void QtFormRuntime::ClipboardSetText(const QString& text)
{
    // Plain text alone: whatever formats the clipboard held are replaced.
    auto* data = new QMimeData;
    data->setText(text);
    QApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}

QString QtFormRuntime::AppPath()
{
    QString folder = QCoreApplication::applicationDirPath();
    while (folder.size() > 1 && (folder.endsWith(u'/') || folder.endsWith(u'\\')))
        folder.chop(1);
    return folder;
}

QStringList SplitCommandLine(const QString& commandLine)
{
    QStringList words;
    QString word;
    bool quoted = false;
    bool inWord = false;
    for (QChar c : commandLine) {
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == u' ' || c == u'\t')) {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else {
            word.append(c);
            inWord = true;
        }
    }
    if (inWord)
        words.append(word);
    return words;
}

void QtFormRuntime::Shell(const QString& commandLine, int /*showState: the desktop decides*/)
{
    QStringList words = SplitCommandLine(commandLine);
    if (words.isEmpty())
        throw ComponentError("文件未找到");
    const QString program = words.takeFirst();
    // Linux has no explorer: its job, opening an address, goes to the desktop.
    if (program.compare(QStringLiteral("explorer.exe"), Qt::CaseInsensitive) == 0) {
        if (!words.isEmpty())
            QDesktopServices::openUrl(QUrl::fromUserInput(words.join(u' ')));
        return;
    }
    if (!QProcess::startDetached(program, words))
        throw ComponentError("文件未找到");
}

void QtFormRuntime::End()
{
    EndWithStatus(0);
}

void QtFormRuntime::EndWithStatus(int status)
{
    if (ending_)
        return;
    ending_ = true;
    status_ = status;
    // Hiding sends no close event; every event loop, modal ones included,
    // returns, and main() tears the windows and the web engine down in order.
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    QuitEventLoops(status);
}

void QtFormRuntime::QuitEventLoops(int status)
{
    QCoreApplication::exit(status);
}

void QtFormRuntime::ReportUnhandledError(const QString& what)
{
    if (!ending_) {
        NoticeIconStyle icons;
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Vidlatch"),
                        QCoreApplication::translate("Vidlatch", "运行时错误：%1").arg(what), QMessageBox::NoButton, ActiveParent());
        box.setStyle(&icons);
        box.setIcon(QMessageBox::Critical);
        box.setTextFormat(Qt::PlainText);
        box.setObjectName(QStringLiteral("errorBox"));
        box.addButton(QCoreApplication::translate("Vidlatch", "确定"), QMessageBox::AcceptRole);
        box.exec();
    }
    EndWithStatus(1);
}

} // namespace vidlatch::platform
