#include "FormDefaults.h"

#include "RuffleScheme.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vidlatch::platform {

void PrepareApplication()
{
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    RegisterRuffleScheme();
}

bool ApplyFormDefaults()
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
    return QFontDatabase::families().contains(QString::fromLatin1(DefaultFontFamily));
}

} // namespace vidlatch::platform
