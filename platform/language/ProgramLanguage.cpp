#include "ProgramLanguage.h"

#include "ProgramText.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include <span>

namespace vidlatch::platform {
namespace {

struct Catalog {
    const char* name;
    const char* folder;  // null: Qt's own translations
};

// Qt's own texts come in Chinese from Debian's catalogs; in English they
// are Qt's source texts already.
constexpr Catalog ChineseCatalogs[] = {{"qtbase_zh_CN", nullptr}, {"qtwebengine_zh_CN", nullptr}};
constexpr Catalog EnglishCatalogs[] = {{"vidlatch_en", ":/vidlatch/translations"}};
constexpr char Context[] = "Vidlatch";

// "C" and "POSIX", with or without a codeset ("C.UTF-8"); QLocale maps an
// unknown name to C as well, and that is no choice of Chinese.
bool IsCLocale(const QString& entry)
{
    const QStringView name = QStringView(entry).left(entry.indexOf(u'.'));
    return name == u"C" || name == u"POSIX";
}

QList<QPointer<QTranslator>>& Installed()
{
    static QList<QPointer<QTranslator>> installed;
    return installed;
}

} // namespace

ProgramLanguage LanguageFor(const QStringList& uiLanguages)
{
    // A desktop that names no language at all runs in the C locale.
    bool named = false;
    for (const QString& entry : uiLanguages) {
        if (entry.isEmpty())
            continue;
        named = true;
        const QLocale::Language language = QLocale(entry).language();
        if (language == QLocale::Chinese || IsCLocale(entry))
            return ProgramLanguage::Chinese;
        if (language == QLocale::English)
            return ProgramLanguage::English;
    }
    // Whoever reads neither reads English sooner than Chinese.
    return named ? ProgramLanguage::English : ProgramLanguage::Chinese;
}

void UseLanguage(ProgramLanguage language)
{
    for (const QPointer<QTranslator>& translator : Installed()) {
        QCoreApplication::removeTranslator(translator);
        delete translator.data();
    }
    Installed().clear();

    const bool english = language == ProgramLanguage::English;
    QLocale::setDefault(english ? QLocale(QLocale::English, QLocale::UnitedStates)
                                : QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China));
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const Catalog& catalog : english ? std::span<const Catalog>(EnglishCatalogs) : std::span<const Catalog>(ChineseCatalogs)) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(QString::fromLatin1(catalog.name),
                             catalog.folder ? QString::fromLatin1(catalog.folder) : qtFolder)) {
            QCoreApplication::installTranslator(translator);
            Installed().append(translator);
        } else {
            delete translator;
        }
    }
}

bool LoadEnglishCatalog(QTranslator& catalog)
{
    return catalog.load(QString::fromLatin1(EnglishCatalogs[0].name), QString::fromLatin1(EnglishCatalogs[0].folder));
}

QString Translated(std::u16string_view text, const QTranslator* catalog)
{
    const std::u16string translated = TranslateLines(text, [catalog](std::u16string_view line) {
        const QByteArray source = QString::fromUtf16(line.data(), static_cast<qsizetype>(line.size())).toUtf8();
        const QString target = catalog ? catalog->translate(Context, source.constData())
                                       : QCoreApplication::translate(Context, source.constData());
        return target.isEmpty() || target.toUtf8() == source ? std::u16string() : target.toStdU16String();
    });
    return QString::fromStdU16String(translated);
}

} // namespace vidlatch::platform
