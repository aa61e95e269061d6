// Which language a user gets, by the order of the languages the desktop names.
#include "ProgramLanguage.h"

#include <gtest/gtest.h>

namespace vidlatch::platform {
namespace {

TEST(ProgramLanguage, FirstChineseOrEnglishEntryDecides)
{
    struct Row {
        QStringList uiLanguages;
        ProgramLanguage expected;
    };
    // Lists as QLocale::uiLanguages() gives them, by environment.
    const Row rows[] = {
        {{QStringLiteral("en-US")}, ProgramLanguage::English},
        {{QStringLiteral("en")}, ProgramLanguage::English},
        {{QStringLiteral("en-GB"), QStringLiteral("zh-CN")}, ProgramLanguage::English},
        {{QStringLiteral("zh-CN"), QStringLiteral("en-US")}, ProgramLanguage::Chinese},
        // LANGUAGE=de:en: English is the fallback.
        {{QStringLiteral("de"), QStringLiteral("de-Latn-DE"), QStringLiteral("de-DE"), QStringLiteral("en"),
          QStringLiteral("en-Latn-US"), QStringLiteral("en-US")}, ProgramLanguage::English},
        // LANGUAGE=de, LANG=fr_FR.UTF-8, a name Qt does not know: neither language.
        {{QStringLiteral("de"), QStringLiteral("de-Latn-DE"), QStringLiteral("de-DE")}, ProgramLanguage::English},
        {{QStringLiteral("fr-FR"), QStringLiteral("fr-Latn-FR"), QStringLiteral("fr")}, ProgramLanguage::English},
        {{QStringLiteral("xx")}, ProgramLanguage::English},
        // LANG=zh_TW.UTF-8, LANGUAGE=zh_CN:en
        {{QStringLiteral("zh-TW"), QStringLiteral("zh-Hant-TW")}, ProgramLanguage::TaiwanChinese},
        {{QStringLiteral("zh-CN"), QStringLiteral("zh-Hans-CN"), QStringLiteral("zh"), QStringLiteral("en"),
          QStringLiteral("en-Latn-US"), QStringLiteral("en-US")}, ProgramLanguage::Chinese},
        {{QStringLiteral("fr"), QStringLiteral("zh-HK"), QStringLiteral("en")}, ProgramLanguage::HongKongChinese},
        // The script of the first Chinese entry decides; Macau reads Hong Kong's.
        {{QStringLiteral("zh_MO")}, ProgramLanguage::HongKongChinese},
        {{QStringLiteral("zh-Hant-HK")}, ProgramLanguage::HongKongChinese},
        {{QStringLiteral("zh-Hant")}, ProgramLanguage::TaiwanChinese},
        {{QStringLiteral("zh-Hant-CN")}, ProgramLanguage::TaiwanChinese},
        {{QStringLiteral("zh-Hans-HK")}, ProgramLanguage::Chinese},
        {{QStringLiteral("zh-Hans")}, ProgramLanguage::Chinese},
        {{QStringLiteral("zh-SG")}, ProgramLanguage::Chinese},
        {{QStringLiteral("zh")}, ProgramLanguage::Chinese},
        {{QStringLiteral("zh-CN"), QStringLiteral("zh-TW")}, ProgramLanguage::Chinese},
        {{QStringLiteral("de"), QStringLiteral("zh-TW"), QStringLiteral("zh-CN")}, ProgramLanguage::TaiwanChinese},
        {{QStringLiteral("en"), QStringLiteral("zh-TW")}, ProgramLanguage::English},
        {{QStringLiteral("C")}, ProgramLanguage::Chinese},
        {{QStringLiteral("POSIX")}, ProgramLanguage::Chinese},
        {{QStringLiteral("C.UTF-8")}, ProgramLanguage::Chinese},
        {{}, ProgramLanguage::Chinese},
        {{QStringLiteral("")}, ProgramLanguage::Chinese},
    };
    for (const Row& row : rows)
        EXPECT_EQ(LanguageFor(row.uiLanguages), row.expected) << row.uiLanguages.join(u',').toStdString();
}

} // namespace
} // namespace vidlatch::platform
