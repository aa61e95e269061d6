#pragma once

#include <QString>
#include <QStringList>

class QTranslator;

#include <string_view>

namespace vidlatch::platform {

// The program's texts are written in Simplified Chinese (`Chinese`), its
// default language; catalogs translate every one of them into Traditional
// Chinese, Taiwan's and Hong Kong's (for Macau as well), and English.
enum class ProgramLanguage { Chinese, TaiwanChinese, HongKongChinese, English };

// The first of the user's interface languages, in order, that is Chinese (or
// the C and POSIX locales) or English decides; a list with neither gets
// English. Chinese in Traditional characters (Taiwan, Hong Kong, Macau, any
// zh-Hant) gets Traditional Chinese; the rest gets the texts as written.
[[nodiscard]] ProgramLanguage LanguageFor(const QStringList& uiLanguages);

// Installs the catalogs of `language`, ours and Qt's own (its dialogs and the
// web engine's menus), in place of those installed before, and makes it the
// default locale.
void UseLanguage(ProgramLanguage language);

// Loads the program's catalog of `language` into `catalog`; false for the
// texts as written, which need none, or when it cannot.
bool LoadCatalog(ProgramLanguage language, QTranslator& catalog);

// A text of the address core, line by line, through `catalog` (null: the
// catalogs installed in the application). A line the catalog does not hold
// (an address, a line of one space) stays.
[[nodiscard]] QString Translated(std::u16string_view text, const QTranslator* catalog = nullptr);

} // namespace vidlatch::platform
