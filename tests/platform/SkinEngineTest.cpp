#include "FormRuntime.h"
#include "SkinEngine.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace vidlatch::platform {
namespace {

TEST(SkinEngine, AdjustTurnsHueAndShiftsSaturationAndValue)
{
    struct Row { QColor in; int h, s, v; QColor out; };
    const Row rows[] = {
        {QColor::fromHsv(0, 255, 255), 160, 0, 0, QColor::fromHsv(160, 255, 255)},
        {QColor::fromHsv(300, 200, 100), 160, 0, 0, QColor::fromHsv(100, 200, 100)},  // wraps past 360
        {QColor::fromHsv(100, 200, 100), -160, 0, 0, QColor::fromHsv(300, 200, 100)},
        {QColor(128, 128, 128), 160, 0, 0, QColor(128, 128, 128)},                     // grey has no hue
        {QColor::fromHsv(40, 100, 100), 0, 100, -100, QColor::fromHsv(40, 255, 0)},    // clamped
        {QColor::fromHsv(40, 100, 100), 0, 10, 20, QColor::fromHsv(40, 125, 151)},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SkinEngine::Adjust(row.in, row.h, row.s, row.v).name(), row.out.name())
            << row.in.name().toStdString() << " " << row.h;
}

TEST(SkinEngine, MalformedSkinsAreRefused)
{
    const char* bad[] = {
        "",
        "@a: #112233;\nQWidget { color: @a; }",              // no %% line
        "@a: #11223;\n%%\nQWidget { color: @a; }",             // short colour
        "@a #112233\n%%\nQWidget { color: @a; }",              // no colon
        "@a: #112233;\n%%\nQWidget { color: @b; }",            // unknown colour
        "@a: #112233;\n%%\n   \n",                             // no sheet
        "%%\nQWidget { color: red; }",                          // no colours
    };
    for (const char* text : bad)
        EXPECT_FALSE(SkinEngine::Parse(QString::fromUtf8(text)).has_value()) << text;
    const auto good = SkinEngine::Parse(QStringLiteral("; comment\n@a: #112233;\n@ab: #445566\n%%\nX { color: @ab; background: @a; }\n"));
    ASSERT_TRUE(good.has_value());
    EXPECT_EQ(good->colours.size(), 2);
}

TEST(SkinEngine, ShippedSkinAttachesAndTurns)
{
    const QString skin = Runtime().AppPath() + QStringLiteral("/pf4.she");
    EXPECT_EQ(SkinH_AttachEx(skin.toLocal8Bit().constData(), ""), 0);
    EXPECT_EQ(SkinH_AdjustHSV(160, 0, 0), 0);
    auto& engine = SkinEngine::Instance();
    ASSERT_TRUE(engine.attached());
    // Stored 160 degrees before the blue that is seen.
    const QColor face = *engine.Colour(QStringLiteral("face"));
    EXPECT_GT(face.hue(), 190);
    EXPECT_LT(face.hue(), 230);
    EXPECT_TRUE(qApp->styleSheet().contains(face.name()));
    EXPECT_FALSE(qApp->styleSheet().contains(u'@'));

    // A missing file leaves the plain style; the caller goes on.
    EXPECT_NE(SkinH_AttachEx("/nonexistent/pf4.she", ""), 0);
    EXPECT_FALSE(engine.attached());
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_NE(SkinH_AttachEx(nullptr, ""), 0);
}

} // namespace
} // namespace vidlatch::platform
