// An English-speaking user: every text of both windows, and every notice
// the address core and the preview hand them, is English, the windows' own
// titles aside (they are the program's name and its author's).
#include "Form1.h"
#include "BuildPlayerAddress.h"
#include "Form2.h"
#include "MovieCheck.h"
#include "ParsePageAddress.h"
#include "ProgramLanguage.h"
#include "ScriptedRuntime.h"
#include "SiteConstants.h"
#include "TabControl.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>

#include <gtest/gtest.h>

namespace vidlatch::ui {
namespace {

// The texts a user reads or hears of `window` and its controls: captions,
// tool tips, names and descriptions for screen readers.
QStringList TextsOf(QWidget* window)
{
    QStringList texts = {window->accessibleName(), window->accessibleDescription()};
    for (QWidget* w : window->findChildren<QWidget*>()) {
        texts << w->toolTip() << w->accessibleName() << w->accessibleDescription();
        if (auto* button = qobject_cast<QAbstractButton*>(w)) texts << button->text();
        if (auto* frame = qobject_cast<QGroupBox*>(w)) texts << frame->title();
        if (auto* label = qobject_cast<QLabel*>(w)) texts << label->text();
        if (auto* field = qobject_cast<QLineEdit*>(w)) texts << field->placeholderText();
        if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i) << tabs->tabToolTip(i);
        }
    }
    texts.removeAll(QString());
    return texts;
}

// Every text the windows take from the core or the preview, in the language in use.
QStringList CoreAndPreviewTexts()
{
    QStringList texts;
    for (std::size_t i = 0; i < ParseOutcomeCount; ++i)
        texts << platform::Translated(ParseResult{static_cast<ParseOutcome>(i), {}}.notice().text);
    for (std::size_t i = 0; i < BuildOutcomeCount; ++i)
        texts << platform::Translated(BuildOutcome{static_cast<BuildOutcomeKind>(i), {}}.notice().text);
    for (std::u16string_view text : {NoticeTitle, DirectAddressPrompt, DirectAddressTitle, site::BannerLine,
                                     site::CopyrightLine, std::u16string_view(site::HintText)})
        texts << platform::Translated(text);
    texts << platform::Translated(InvitationNotice(CopySuccessHeadline));
    for (int problem = int(platform::MovieProblem::Unreachable); problem <= int(platform::MovieProblem::Unplayable); ++problem)
        texts << platform::MovieProblemText(static_cast<platform::MovieProblem>(problem), 404);
    return texts;
}

TEST(Language, BothWindowsInEnglish)
{
    static const QRegularExpression han(QStringLiteral("\\p{sc=Han}"));
    const QStringList chinese = CoreAndPreviewTexts();
    platform::UseLanguage(platform::ProgramLanguage::English);
    const QStringList english = CoreAndPreviewTexts();
    ASSERT_EQ(english.size(), chinese.size());
    for (qsizetype i = 0; i < english.size(); ++i) {
        EXPECT_FALSE(english[i].contains(han)) << english[i].toStdString();
        EXPECT_TRUE(chinese[i].contains(han)) << chinese[i].toStdString();
        // Line breaks lay a notice out: the translation keeps them.
        EXPECT_EQ(english[i].count(u'\r'), chinese[i].count(u'\r')) << english[i].toStdString();
    }
    {
        test::ScriptedRuntimeScope runtime;
        Form1 form1;
        form1.Show();
        form1.Command2->click();
        Form2* form2 = form1.BrowserWindow();
        ASSERT_NE(form2, nullptr);
        for (QWidget* window : {static_cast<QWidget*>(&form1), static_cast<QWidget*>(form2)}) {
            const QStringList texts = TextsOf(window);
            EXPECT_GT(texts.size(), 10) << window->objectName().toStdString();
            for (const QString& text : texts)
                EXPECT_FALSE(text.contains(han)) << window->objectName().toStdString() << ": " << text.toStdString();
        }
    }
    platform::UseLanguage(platform::ProgramLanguage::Chinese);
}

} // namespace
} // namespace vidlatch::ui
