#include "FormDefaults.h"

#include "RuffleScheme.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vidlatch::platform {

void PrepareApplication()
{
    // The program writes no files. Qt's shader cache and Mesa's (which Mesa
    // keeps under the account's cache folder, found even past a changed HOME)
    // are switched off here, before any window, for the web engine's helper
    // processes too: they inherit the environment.
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    qputenv("MESA_SHADER_CACHE_DISABLE", "true");
    qputenv("MESA_GLSL_CACHE_DISABLE", "true");
    RegisterRuffleScheme();
}

void ApplyFormDefaults()
{
    QFont font(QString::fromLatin1(DefaultFontFamily));
    font.setPixelSize(DefaultFontPixels);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    QApplication::setFont(font);

    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China));
    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* catalogue : {"qtbase_zh_CN", "qtwebengine_zh_CN"}) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(QString::fromLatin1(catalogue), translations))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}

} // namespace vidlatch::platform
