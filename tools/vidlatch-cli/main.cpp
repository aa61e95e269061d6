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
    QTranslator catalog;
    cli::NoticeLanguage language;
    if (platform::LoadCatalog(platform::LanguageFor(QLocale::system().uiLanguages()), catalog)) {
        language = [&catalog](std::u16string_view text) {
            return platform::Translated(text, &catalog).toStdU16String();
        };
    }
    return cli::RunCli(argc, argv, STDIN_FILENO, stdout, stderr, language);
}
