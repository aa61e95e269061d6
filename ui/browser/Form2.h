#pragma once

#include <QWidget>

#include "TabOrder.h"

#include <functional>
#include <memory>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace vidlatch::platform {
class Announcer;
class FormLabel;
class PictureButton;
class StatusBar;
class TabControl;
class WebBrowser;
}

namespace vidlatch::ui {

class AttentionJiggle;
class ControlPosition;

// The window that opens the browser window, as the browser window knows it:
// a code taken goes into its code field, and it is shown again when the
// browser window goes.
struct Form2Opener {
    QLineEdit* codeField;
    std::function<void()> show;
};

// The browser window: two browsers on two tabs, the address field the watch
// keeps up to date, the automatic fetch that hands a code back to its opener.
class Form2 : public QWidget {
    Q_OBJECT

public:
    explicit Form2(Form2Opener opener);
    ~Form2() override;

    // Loads the window (Form_Load) the first time, then shows it centred.
    void Show();

    // Controls, in the order the window creates them.
    QGroupBox* Frame4;
    platform::PictureButton* Picture4;
    platform::PictureButton* Picture3;
    platform::PictureButton* Picture2;
    platform::PictureButton* Picture1;
    QGroupBox* Frame3;
    QPushButton* Command4;
    QPushButton* Command3;
    QPushButton* Command2;
    QPushButton* Command1;
    QLineEdit* Text2;
    platform::FormLabel* Label3;
    platform::FormLabel* Label4;
    QGroupBox* Frame1;
    platform::FormLabel* Label2;
    platform::FormLabel* Label1;
    platform::TabControl* SSTab1;
    platform::WebBrowser* WebBrowser1;
    platform::WebBrowser* WebBrowser2;
    platform::StatusBar* St1;

    // Command1's Left and Top in twips, as the shake moves them.
    ControlPosition& Command1Position() { return *command1Position_; }
    AttentionJiggle& Command1Jiggle() { return *command1Jiggle_; }

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Picture1_Click();
    void Picture2_Click();
    void Picture3_Click();
    void Picture4_Click();
    void SSTab1_Click(int previousTab);
    void Form_QueryUnload(bool& cancel);
    void WebBrowser1_DownloadBegin();
    void WebBrowser2_DownloadBegin();
    void WebBrowser1_NewWindow2(QObject*& ppDisp, bool& cancel);
    void WebBrowser2_NewWindow2(QObject*& ppDisp, bool& cancel);

signals:
    // The window has unloaded itself; it is deleted when control returns to
    // the event loop.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void CreateControls();
    void ConnectHandlers();
    void ArrangeStackingAndTabOrder();
    void WatchDownload(int browser);
    // The browser of the current tab.
    platform::WebBrowser* CurrentBrowser() const;
    void Unload();

    Form2Opener opener_;
    std::unique_ptr<ControlPosition> command1Position_;
    AttentionJiggle* command1Jiggle_;
    platform::Announcer* captionNews_;  // the status caption's changes, to screen readers
    platform::TabOrder tabOrder_;
    bool loaded_ = false;
    bool unloaded_ = false;
};

} // namespace vidlatch::ui
