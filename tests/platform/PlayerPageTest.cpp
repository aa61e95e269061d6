#include "PlayerPage.h"

#include <gtest/gtest.h>

#include <functional>

namespace vidlatch::platform {
namespace {

const PlayerPageParts Pieces{QStringLiteral("<script>shim()</script><script>page()</script>"),
                            QStringLiteral("预览 <b>&\""), QStringLiteral("Flash 影片"),
                            QStringLiteral("AR PL UMing TW\"}</style><script>x()</script>"), QColor(0xe0, 0xe8, 0xf0),
                            7, QStringLiteral("key</script><script>y()")};

TEST(PlayerPage, SettingsTravelAsDataOnly)
{
    struct Row {
        const char* what;
        std::function<void(PlayerSettings&)> set;
        std::vector<const char*> holds;
        std::vector<const char*> lacks;
    };
    const Row rows[] = {
        // The defaults reach Ruffle's configuration; a movie calls into the page
        // only when the control says "always".
        {"defaults", [](PlayerSettings&) {},
         {"\"autoplay\":\"on\"", "\"unmuteOverlay\":\"hidden\"", "\"splashScreen\":false", "\"quality\":\"high\"",
          "\"scale\":\"showAll\"", "\"menu\":true", "\"contextMenu\":\"on\"", "\"wmode\":\"window\"",
          "\"allowScriptAccess\":false", "\"allowFullscreen\":false", "\"allowNetworking\":\"all\"",
          "\"backgroundColor\":null", "\"movieName\":\"Flash 影片\"", "\"build\":7",
          "\"askKey\":\"key\\u003c/script>\\u003cscript>y()\""},
         {}},
        {"a colour that tries to close the script",
         [](PlayerSettings& s) { s.BGColor = QStringLiteral("</script><script>alert(1)</script>\"'&"); },
         {"\"backgroundColor\":\"\\u003c/script>\\u003cscript>alert(1)\\u003c/script>\\\"'&\""},
         {"</script><script>alert(1)"}},
        {"script access always", [](PlayerSettings& s) { s.AllowScriptAccess = QStringLiteral("Always"); },
         {"\"allowScriptAccess\":true"}, {"\"allowScriptAccess\":false"}},
        {"script access same domain", [](PlayerSettings& s) { s.AllowScriptAccess = QStringLiteral("sameDomain"); },
         {"\"allowScriptAccess\":false"}, {}},
        {"not playing, no menu", [](PlayerSettings& s) { s.Playing = false; s.Menu = false; },
         {"\"autoplay\":\"off\"", "\"menu\":false", "\"contextMenu\":\"off\""}, {}},
        {"quality autolow", [](PlayerSettings& s) { s.Quality = QStringLiteral("AutoLow"); }, {"\"quality\":\"low\""}, {}},
        {"quality best", [](PlayerSettings& s) { s.Quality = QStringLiteral("Best"); }, {"\"quality\":\"best\""}, {}},
        {"quality unknown", [](PlayerSettings& s) { s.Quality = QStringLiteral("AutoHigh"); }, {"\"quality\":\"high\""}, {}},
        {"scale noborder", [](PlayerSettings& s) { s.ScaleMode = QStringLiteral("NoBorder"); }, {"\"scale\":\"noBorder\""}, {}},
        {"scale exactfit", [](PlayerSettings& s) { s.ScaleMode = QStringLiteral("ExactFit"); }, {"\"scale\":\"exactFit\""}, {}},
        {"scale noscale", [](PlayerSettings& s) { s.ScaleMode = QStringLiteral("NoScale"); }, {"\"scale\":\"noScale\""}, {}},
        {"full screen TRUE", [](PlayerSettings& s) { s.AllowFullScreen = QStringLiteral("TRUE"); }, {"\"allowFullscreen\":true"}, {}},
        {"transparent, no networking",
         [](PlayerSettings& s) { s.WMode = QStringLiteral("Transparent"); s.AllowNetworking = QStringLiteral("None"); },
         {"\"wmode\":\"transparent\"", "\"allowNetworking\":\"none\""}, {}},
    };
    for (const Row& row : rows) {
        PlayerSettings settings;
        row.set(settings);
        const QString page = PlayerPage(settings, Pieces);
        EXPECT_EQ(page.count(QStringLiteral("</script>")), 4) << row.what;  // only our own four script elements close
        EXPECT_TRUE(page.contains(Pieces.scripts)) << row.what;
        EXPECT_TRUE(page.contains(QStringLiteral("<html aria-label=\"预览 &lt;b&gt;&amp;&quot;\">"))) << row.what;
        // The font family cannot leave its CSS string, nor the style element.
        EXPECT_TRUE(page.contains(QStringLiteral("font:14px sans-serif,\"AR PL UMing TWstylescriptxscript\";")))
            << row.what;
        EXPECT_TRUE(page.contains(QStringLiteral("background:#e0e8f0}"))) << row.what;
        for (const char* text : row.holds)
            EXPECT_TRUE(page.contains(QString::fromUtf8(text))) << row.what << ": " << text << "\n" << page.toStdString();
        for (const char* text : row.lacks)
            EXPECT_FALSE(page.contains(QString::fromUtf8(text))) << row.what << ": " << text;
    }
}

} // namespace
} // namespace vidlatch::platform
