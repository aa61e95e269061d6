// Which language a user gets, by the languages the desktop names first.
#include "ProgramLanguage.h"

#include <gtest/gtest.h>

namespace vidlatch::platform {
namespace {

TEST(ProgramLanguage, EnglishOnlyWhenItComesFirst)
{
    struct Row {
        QStringList uiLanguages;
        ProgramLanguage expected;
    };
    const Row rows[] = {
        {{QStringLiteral("en-US")}, ProgramLanguage::English},
        {{QStringLiteral("en")}, ProgramLanguage::English},
        {{QStringLiteral("en-GB"), QStringLiteral("zh-CN")}, ProgramLanguage::English},
        {{QStringLiteral("zh-CN"), QStringLiteral("en-US")}, ProgramLanguage::Chinese},
        {{QStringLiteral("de-DE"), QStringLiteral("en-US")}, ProgramLanguage::Chinese},  // no German: the default
        {{QStringLiteral("C")}, ProgramLanguage::Chinese},
        {{QStringLiteral("POSIX")}, ProgramLanguage::Chinese},
        {{}, ProgramLanguage::Chinese},
        {{QStringLiteral("")}, ProgramLanguage::Chinese},
    };
    for (const Row& row : rows)
        EXPECT_EQ(LanguageFor(row.uiLanguages), row.expected) << row.uiLanguages.join(u',').toStdString();
}

} // namespace
} // namespace vidlatch::platform
