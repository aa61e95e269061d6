#include "FormDefaults.h"

#include "ProgramLanguage.h"

#include <QApplication>
#include <QFont>
#include <QLocale>


namespace vidlatch::platform {
QFont FormFont(ProgramLanguage language)
{
    if (language == ProgramLanguage::English) {
        QFont font(QString::fromLatin1(EnglishFontFamily));
        font.setPixelSize(EnglishFontPixels);
        return font;
    }
    QFont font(QString::fromLatin1(language == ProgramLanguage::TaiwanChinese     ? TaiwanFontFamily
                                   : language == ProgramLanguage::HongKongChinese ? HongKongFontFamily
                                                                                  : DefaultFontFamily));
    font.setPixelSize(DefaultFontPixels);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QFont AddressFont(int pixels)
{
    QFont font(QString::fromLatin1(AddressFontFamily));
    font.setPixelSize(pixels);
    font.setStyleHint(QFont::Monospace);
    return font;
}

void ApplyFormDefaults()
{
    const ProgramLanguage language = LanguageFor(QLocale::system().uiLanguages());
    UseLanguage(language);
    QApplication::setFont(FormFont(language));
}

} // namespace vidlatch::platform
