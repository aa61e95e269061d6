// The program's language: which one a user gets, and that the English
// catalog holds every text the address core and the preview hand a window.
#include "BuildPlayerAddress.h"
#include "MovieCheck.h"
#include "ParsePageAddress.h"
#include "ProgramLanguage.h"
#include "SiteConstants.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace vidlatch::platform {
namespace {

bool HasChinese(const QString& text)
{
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return text.contains(han);
}

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

// Every text the windows take from the core or the preview, in both languages.
QList<QString> CoreAndPreviewTexts()
{
    QList<QString> texts;
    for (std::size_t i = 0; i < ParseOutcomeCount; ++i)
        texts.append(Translated(ParseResult{static_cast<ParseOutcome>(i), {}}.notice().text));
    for (std::size_t i = 0; i < BuildOutcomeCount; ++i)
        texts.append(Translated(BuildOutcome{static_cast<BuildOutcomeKind>(i), {}}.notice().text));
    for (std::u16string_view text : {NoticeTitle, DirectAddressPrompt, DirectAddressTitle, site::BannerLine,
                                     site::CopyrightLine, std::u16string_view(site::HintText)})
        texts.append(Translated(text));
    texts.append(Translated(InvitationNotice(CopySuccessHeadline)));
    for (int problem = static_cast<int>(MovieProblem::Unreachable); problem <= static_cast<int>(MovieProblem::Unplayable);
         ++problem)
        texts.append(MovieProblemText(static_cast<MovieProblem>(problem), 404));
    return texts;
}

TEST(ProgramLanguage, EveryCoreAndPreviewTextHasItsEnglish)
{
    UseLanguage(ProgramLanguage::English);
    const QList<QString> english = CoreAndPreviewTexts();
    UseLanguage(ProgramLanguage::Chinese);
    const QList<QString> chinese = CoreAndPreviewTexts();
    ASSERT_EQ(english.size(), chinese.size());
    for (qsizetype i = 0; i < english.size(); ++i) {
        EXPECT_FALSE(HasChinese(english[i])) << english[i].toStdString();
        EXPECT_TRUE(HasChinese(chinese[i])) << chinese[i].toStdString();
        // Line breaks lay a notice out: the translation keeps them.
        EXPECT_EQ(english[i].count(u'\r'), chinese[i].count(u'\r')) << english[i].toStdString();
    }
}

} // namespace
} // namespace vidlatch::platform
