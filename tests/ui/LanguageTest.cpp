// An English-speaking user: every text of both windows is English, the
// windows' own titles aside (they are the program's name and its author's).
#include "Form1.h"
#include "Form2.h"
#include "ProgramLanguage.h"
#include "ScriptedRuntime.h"
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

TEST(Language, BothWindowsInEnglish)
{
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    platform::UseLanguage(platform::ProgramLanguage::English);
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
