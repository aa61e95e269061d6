#include "FormDefaults.h"
#include "FormRuntime.h"
#include "FormTimer.h"
#include "StatusBar.h"
#include "UiWait.h"
#include "WindowStyle.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>

#include <gtest/gtest.h>

namespace vidlatch::platform {
namespace {

TEST(FormDefaults, FontGivesTheDesignedCells)
{
    ASSERT_TRUE(QFontDatabase::families().contains(QString::fromLatin1(DefaultFontFamily)))
        << "install fonts-arphic-uming";
    const QFont font = QApplication::font();
    EXPECT_EQ(font.family(), QString::fromLatin1(DefaultFontFamily));
    EXPECT_EQ(font.pixelSize(), 12);
    EXPECT_EQ(font.styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
    QLabel label(QStringLiteral("当前播放地址:"));
    label.adjustSize();
    EXPECT_EQ(label.size(), QSize(78, 12));
    // Traditional characters in the Taiwan and Hong Kong faces take the same cells.
    for (ProgramLanguage language :
         {ProgramLanguage::Chinese, ProgramLanguage::TaiwanChinese, ProgramLanguage::HongKongChinese}) {
        const QFont face = FormFont(language);
        EXPECT_TRUE(QFontDatabase::families().contains(face.family())) << face.family().toStdString();
        const QFontMetrics metrics(face);
        EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("视視")), 24) << face.family().toStdString();
        EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("a")), 6) << face.family().toStdString();
    }
}

TEST(FormDefaults, QtsOwnTextsAreInTheProgramsLanguage)
{
    struct Row {
        ProgramLanguage language;
        QString copy;
    };
    // Debian has no Qt catalog for Hong Kong: Taiwan's characters serve.
    const Row rows[] = {{ProgramLanguage::TaiwanChinese, QStringLiteral("複製(&C)")},
                        {ProgramLanguage::HongKongChinese, QStringLiteral("複製(&C)")},
                        {ProgramLanguage::English, QStringLiteral("&Copy")},
                        {ProgramLanguage::Chinese, QStringLiteral("复制(&C)")}};
    for (const Row& row : rows) {
        UseLanguage(row.language);
        EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Copy"), row.copy) << int(row.language);
    }
}

TEST(WindowStyle, ClearingTheSizingBorderFixesTheSize)
{
    QWidget window;
    InitFormWindow(&window);
    window.resize(300, 200);
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);

    const std::int32_t style = GetWindowLongA(&window, GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    SetWindowLongA(&window, GWL_STYLE, style & ~WS_THICKFRAME);
    EXPECT_EQ(GetWindowLongA(&window, GWL_STYLE), style & ~WS_THICKFRAME);
    EXPECT_EQ(window.minimumSize(), QSize(300, 200));
    EXPECT_EQ(window.maximumSize(), QSize(300, 200));
    SetWindowLongA(&window, GWL_STYLE, style);
    EXPECT_EQ(window.minimumSize(), QSize(0, 0));
    EXPECT_THROW(GetWindowLongA(nullptr, GWL_STYLE), ComponentError);
}

TEST(StatusBar, StaysAtTheBottomAcrossTheWidth)
{
    QWidget window;
    window.resize(690, 650);
    StatusBar bar(41, 1, &window);
    EXPECT_EQ(bar.geometry(), QRect(0, 609, 690, 41));
    bar.Panel(1)->setText(QStringLiteral("Copyright"));
    window.show();
    window.resize(500, 400);
    EXPECT_TRUE(test::WaitUntil([&] { return bar.geometry() == QRect(0, 359, 500, 41); }, 10000))
        << bar.geometry().width() << "x" << bar.geometry().height() << "+" << bar.geometry().top();
    EXPECT_EQ(bar.PanelCount(), 1);
}

TEST(FormTimer, TicksWhileEnabled)
{
    FormTimer timer;
    int ticks = 0;
    QObject::connect(&timer, &FormTimer::Timer, [&] {
        if (++ticks == 3)
            timer.setEnabled(false);
    });
    timer.setInterval(20);
    EXPECT_TRUE(test::WaitUntil([&] { return ticks == 3; }, 10000));
    ASSERT_TRUE(test::IntervalsPassed(20, 3));
    EXPECT_EQ(ticks, 3);  // disabled inside its own tick: no fourth
    timer.setEnabled(true);
    EXPECT_TRUE(test::WaitUntil([&] { return ticks == 4; }, 10000));
    timer.setInterval(0);
    ASSERT_TRUE(test::IntervalsPassed(20, 3));
    EXPECT_EQ(ticks, 4);
}

} // namespace
} // namespace vidlatch::platform
