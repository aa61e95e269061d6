// Through real windows and real notice boxes, found and pressed as a user would.
#include "DemoSite.h"
#include "Form1.h"
#include "Form2.h"
#include "QtText.h"
#include "QtFormRuntime.h"
#include "ShockwaveFlash.h"
#include "SiteConstants.h"
#include "UiWait.h"
#include "WebBrowser.h"

#include <QApplication>
#include <QClipboard>
#include <QCryptographicHash>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace vidlatch::ui {
namespace {

using test::WaitUntil;

// The real runtime, except that ending the program leaves the test running.
struct RealRuntime : platform::QtFormRuntime {
    void QuitEventLoops(int) override {}
};

struct RealRuntimeScope {
    std::unique_ptr<platform::FormRuntime> previous = platform::SetRuntime(std::make_unique<RealRuntime>());
    ~RealRuntimeScope() { platform::SetRuntime(std::move(previous)); }
};

// Presses OK on the next notice box and keeps its text.
void PressOkOnNextNotice(QString* text)
{
    test::WhenModal<QMessageBox>([text](QMessageBox* box) {
        *text = box->text();
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == QStringLiteral("确定"))
                button->click();
        }
    });
}

TEST(EndToEnd, TypeFetchPreviewCopy)
{
    RealRuntimeScope runtime;
    Form1 form;
    form.Show();
    QTest::keyClicks(form.Text1, QStringLiteral("XqZ9fR2kLmN"));

    QString notice;
    PressOkOnNextNotice(&notice);
    form.Command1->click();
    EXPECT_TRUE(notice.startsWith(QStringLiteral("获取成功!地址已获取成功!!")));
    const QString address = Q(site::PlayerAddressPrefix) + QStringLiteral("XqZ9fR2kLmN");
    EXPECT_EQ(form.Text2->text(), address);
    EXPECT_TRUE(WaitUntil([&] { return test::CentreShows(form.ShockwaveFlash1, demo::PlayerColour(QStringLiteral("XqZ9fR2kLmN"))); }, 30000));

    PressOkOnNextNotice(&notice);
    form.Command3->click();
    EXPECT_TRUE(notice.startsWith(QStringLiteral("获取成功!地址已复制!")));
    EXPECT_EQ(QApplication::clipboard()->text(), address);
}

TEST(EndToEnd, BrowseFetchAutomaticallyThenPlay)
{
    RealRuntimeScope runtime;
    Form1 form;
    form.Show();
    form.Command2->click();
    Form2* browser = form.BrowserWindow();
    ASSERT_NE(browser, nullptr);
    EXPECT_FALSE(form.isVisible());
    ASSERT_TRUE(WaitUntil([&] { return browser->WebBrowser1->LocationURL() == Q(site::PageHostPrefix); }));
    // Follow a link to a single-video page; its frame brings the valid-page caption.
    ASSERT_TRUE(test::ClickInPage(browser->WebBrowser1, QStringLiteral("video-3")));
    ASSERT_TRUE(WaitUntil([&] { return browser->Frame3->title().startsWith(QStringLiteral("已检测到浏览页面【1】")); }));

    QString notice;
    PressOkOnNextNotice(&notice);
    QPointer<Form2> watched(browser);
    browser->Command1->click();
    EXPECT_EQ(notice, QStringLiteral("视频地址已获取成功!现转入主界面,请点击获取按钮获取真实视频地址!"));
    EXPECT_EQ(form.Text1->text(), QStringLiteral("k0LmN8vB2xC"));
    EXPECT_TRUE(WaitUntil([&] { return watched.isNull(); }, 10000));  // unloaded
    EXPECT_TRUE(form.isVisible());

    PressOkOnNextNotice(&notice);
    form.Command1->click();
    EXPECT_TRUE(WaitUntil([&] { return test::CentreShows(form.ShockwaveFlash1, demo::PlayerColour(QStringLiteral("k0LmN8vB2xC"))); }, 30000));
}

} // namespace
} // namespace vidlatch::ui
