#include "DemoSite.h"
#include "ShockwaveFlash.h"
#include "SiteConstants.h"
#include "UiWait.h"

#include <QCryptographicHash>
#include <QImage>
#include <QRegularExpression>
#include <QWebEnginePage>

#include <csignal>
#include <functional>

#include <gtest/gtest.h>

namespace vidlatch::platform {
namespace {

using test::WaitUntil;

QString PlayerAddress(const QString& code)
{
    return QString::fromStdU16String(std::u16string(site::PlayerAddressPrefix)) + code;
}

QColor CentrePixel(QWidget* widget)
{
    const QImage image = widget->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

// The preview at its size in the main window, shown, counting the movies it shows.
struct Preview {
    QWidget window;
    ShockwaveFlash* flash;
    int shown = 0;

    Preview()
    {
        window.resize(641, 345);
        flash = new ShockwaveFlash(&window);
        flash->setGeometry(0, 0, 641, 345);
        window.show();
        QObject::connect(flash, &ShockwaveFlash::movieShown, [this] { ++shown; });
    }
};

TEST(ShockwaveFlash, PlaysTheMovieOfEachCodeInItsColour)
{
    Preview preview;
    ShockwaveFlash* flash = preview.flash;
    int& shown = preview.shown;

    for (const QString& code : {QStringLiteral("a1b2c3d4e5f"), QStringLiteral("XqZ9fR2kLmN")}) {
        const int before = shown;
        flash->setMovie(PlayerAddress(code));
        EXPECT_EQ(flash->Movie(), PlayerAddress(code));
        ASSERT_TRUE(WaitUntil([&] { return shown > before; }, 30000)) << code.toStdString();
        EXPECT_TRUE(WaitUntil([&] { return test::CentreShows(flash, demo::PlayerColour(code)); }, 10000))
            << code.toStdString() << ": " << CentrePixel(flash).name().toStdString() << " wanted "
            << demo::PlayerColour(code).name().toStdString();
    }
    // The same movie again is played again.
    const int before = shown;
    flash->setMovie(flash->Movie());
    EXPECT_TRUE(WaitUntil([&] { return shown > before; }, 30000));
}

TEST(ShockwaveFlash, MoviesSwitchInTheRunningPlayerOrInANewPage)
{
    Preview preview;
    ShockwaveFlash* flash = preview.flash;
    int& shown = preview.shown;
    int pages = 0;
    QObject::connect(flash->page(), &QWebEnginePage::loadStarted, [&] { ++pages; });
    const QString otherOrigin = demo::OtherOriginPlayerPrefix();

    struct Step { const char* what; std::function<void()> before; QString address; QString code; bool newPage; };
    const Step steps[] = {
        {"first movie", {}, PlayerAddress(QStringLiteral("a1b2c3d4e5f")), QStringLiteral("a1b2c3d4e5f"), true},
        {"same origin", {}, PlayerAddress(QStringLiteral("XqZ9fR2kLmN")), QStringLiteral("XqZ9fR2kLmN"), false},
        {"same movie again", {}, PlayerAddress(QStringLiteral("XqZ9fR2kLmN")), QStringLiteral("XqZ9fR2kLmN"), false},
        {"another origin", {}, otherOrigin + QStringLiteral("Tb7_wE3-pQs"), QStringLiteral("Tb7_wE3-pQs"), true},
        {"its origin again", {}, otherOrigin + QStringLiteral("k0LmN8vB2xC"), QStringLiteral("k0LmN8vB2xC"), false},
        {"after the renderer died",
         [&] {
             bool gone = false;
             QObject::connect(flash->page(), &QWebEnginePage::renderProcessTerminated, [&] { gone = true; });
             ::kill(static_cast<pid_t>(flash->page()->renderProcessPid()), SIGKILL);
             ASSERT_TRUE(WaitUntil([&] { return gone; }));
         },
         otherOrigin + QStringLiteral("a1b2c3d4e5f"), QStringLiteral("a1b2c3d4e5f"), true},
    };
    for (const Step& step : steps) {
        if (step.before)
            step.before();
        const int shownBefore = shown, pagesBefore = pages;
        flash->setMovie(step.address);
        ASSERT_TRUE(WaitUntil([&] { return shown > shownBefore; }, 30000)) << step.what;
        EXPECT_TRUE(WaitUntil([&] { return test::CentreShows(flash, demo::PlayerColour(step.code)); }, 10000))
            << step.what << ": " << CentrePixel(flash).name().toStdString();
        EXPECT_EQ(pages > pagesBefore, step.newPage) << step.what;
    }
}

TEST(ShockwaveFlash, MovieAddressTravelsAsDataOnly)
{
    ShockwaveFlash flash;
    const QString hostile = QStringLiteral("http://x/</script><script>alert(1)</script>\"'&");
    const QString page = flash.PlayerPage(hostile);
    EXPECT_FALSE(page.contains(QStringLiteral("</script><script>alert(1)")));
    EXPECT_EQ(page.count(QStringLiteral("</script>")), 4);  // only our own four script elements close
    // The defaults reach Ruffle's configuration.
    for (const char* setting : {"\"autoplay\":\"on\"", "\"unmuteOverlay\":\"hidden\"", "\"splashScreen\":false",
                                "\"quality\":\"high\"", "\"scale\":\"showAll\"", "\"menu\":true",
                                "\"backgroundColor\":null"})
        EXPECT_TRUE(page.contains(QLatin1String(setting))) << setting;
}

} // namespace
} // namespace vidlatch::platform
