#pragma once

#include <QPointer>
#include <QWidget>

#include "EmbedCode.h"
#include "TabOrder.h"

#include <memory>

class QGroupBox;
class QLineEdit;
class QMenu;
class QPushButton;

namespace vidlatch::platform {
class FormLabel;
class FormTimer;
class Inet;
class ShockwaveFlash;
class StatusBar;
class WebBrowser;
}

namespace vidlatch::ui {

class Form2;

// The main window: the code field, fetch and preview of the player address,
// copy, the direct-address command and the way into the browser window.
class Form1 : public QWidget {
    Q_OBJECT

public:
    Form1();
    ~Form1() override;

    // Loads the window (Form_Load) the first time, then shows it centred.
    void Show();

    // Controls, in the order the window creates them.
    platform::FormTimer* Timer2;
    QGroupBox* Frame4;
    platform::ShockwaveFlash* ShockwaveFlash1;
    platform::StatusBar* St1;
    QGroupBox* Frame5;
    QPushButton* Command3;
    QLineEdit* Text2;
    platform::FormLabel* Label2;
    QGroupBox* Frame2;
    QPushButton* Command2;
    QGroupBox* Frame3;
    std::unique_ptr<platform::Inet> Inet1;
    platform::FormLabel* Label1;
    QGroupBox* Frame1;
    QPushButton* Command4;
    QPushButton* Command1;
    QLineEdit* Text1;
    platform::WebBrowser* WebBrowser1;

    // The browser window while it is open.
    Form2* BrowserWindow() const;

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Timer2_Timer();
    void Form_QueryUnload(bool& cancel);

protected:
    void closeEvent(QCloseEvent* event) override;
    // A dropped link or text is taken as the direct-address command's answer.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // The covered forum browser waits this long at most for the preview's first frame.
    static constexpr int ForumDelayMs = 2000;

    void CreateControls();
    void SendForumBrowserAfterPreview();
    void ConnectKeys();
    void ArrangeStackingAndTabOrder();
    void CreateCopyMenus();
    // One item for each form of the address, in `menu`.
    void AddCopyForms(QMenu* menu);
    void CopyForm(EmbedForm form);
    void CopyToClipboard(const QString& text);
    // The direct-address command on `answer`: a page address whose code goes into Text1.
    void TakeCodeFrom(const QString& answer);
    void TakeDropped(const QString& text, bool link);

    platform::TabOrder tabOrder_;
    QMenu* copyMenu_ = nullptr;  // Command3's
    bool loaded_ = false;
    QPointer<Form2> form2_;
};

} // namespace vidlatch::ui
