#pragma once

#include <QString>
#include <QStringList>

class QTranslator;

#include <string_view>

namespace vidlatch::platform {

// The program's texts are written in Simplified Chinese, its default
// language; an English catalog translates every one of them.
enum class ProgramLanguage { Chinese, English };

// The first of the user's interface languages, in order, that is Chinese (of
// any region, or the C and POSIX locales) or English decides; a list with
// neither gets English.
[[nodiscard]] ProgramLanguage LanguageFor(const QStringList& uiLanguages);

// Installs the catalogs of `language`, ours and Qt's own (its dialogs and the
// web engine's menus), in place of those installed before, and makes it the
// default locale.
void UseLanguage(ProgramLanguage language);

// Loads the program's English catalog into `catalog`; false when it cannot.
bool LoadEnglishCatalog(QTranslator& catalog);

// A text of the address core, line by line, through `catalog` (null: the
// catalogs installed in the application). A line the catalog does not hold
// (an address, a line of one space) stays.
[[nodiscard]] QString Translated(std::u16string_view text, const QTranslator* catalog = nullptr);

} // namespace vidlatch::platform
