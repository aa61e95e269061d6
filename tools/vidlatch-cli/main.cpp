#include "ProgramLanguage.h"
#include "RunCli.h"

#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <unistd.h>

using namespace vidlatch;

int main(int argc, char** argv)
{
    // The notices in the user's language, as the program's windows show them.
    QTranslator english;
    cli::NoticeLanguage language;
    if (platform::LanguageFor(QLocale::system().uiLanguages()) == platform::ProgramLanguage::English &&
        platform::LoadEnglishCatalog(english)) {
        language = [&english](std::u16string_view text) {
            return platform::Translated(text, &english).toStdU16String();
        };
    }
    return cli::RunCli(argc, argv, STDIN_FILENO, stdout, stderr, language);
}
