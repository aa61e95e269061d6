#include "ProgramLanguage.h"

#include "ProgramText.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include <algorithm>
#include <iterator>

namespace vidlatch::platform {
namespace {

// What each language installs: its locale, our catalog (none for the texts
// as written) and Qt's own from Debian (its dialogs and the web engine's
// menus). Debian has no Traditional catalog for the web engine, nor one for
// Hong Kong, whose readers read Taiwan's characters; in English Qt's texts
// are its source texts already.
struct Setting {
    ProgramLanguage language;
    QLocale::Language localeLanguage;
    QLocale::Script script;
    QLocale::Territory territory;
    const char* catalog;
    const char* qtCatalogs[2];
};
constexpr Setting Settings[] = {
    {ProgramLanguage::Chinese, QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China, nullptr,
     {"qtbase_zh_CN", "qtwebengine_zh_CN"}},
    {ProgramLanguage::TaiwanChinese, QLocale::Chinese, QLocale::TraditionalHanScript, QLocale::Taiwan,
     "vidlatch_zh_TW", {"qtbase_zh_TW", nullptr}},
    {ProgramLanguage::HongKongChinese, QLocale::Chinese, QLocale::TraditionalHanScript, QLocale::HongKong,
     "vidlatch_zh_HK", {"qtbase_zh_TW", nullptr}},
    {ProgramLanguage::English, QLocale::English, QLocale::LatinScript, QLocale::UnitedStates, "vidlatch_en", {}},
};
constexpr char CatalogFolder[] = ":/vidlatch/translations";
constexpr char Context[] = "Vidlatch";

// "C" and "POSIX", with or without a codeset ("C.UTF-8"); QLocale maps an
// unknown name to C as well, and that is no choice of Chinese.
bool IsCLocale(const QString& entry)
{
    const QStringView name = QStringView(entry).left(entry.indexOf(u'.'));
    return name == u"C" || name == u"POSIX";
}

const Setting& SettingOf(ProgramLanguage language)
{
    return *std::find_if(std::begin(Settings), std::end(Settings),
                         [language](const Setting& setting) { return setting.language == language; });
}

// Chinese in Traditional characters, by the script the locale names or
// implies (zh_TW, zh_HK, zh_MO, zh-Hant): Hong Kong's for Hong Kong and Macau.
ProgramLanguage ChineseOf(const QLocale& locale)
{
    if (locale.script() != QLocale::TraditionalHanScript)
        return ProgramLanguage::Chinese;
    const QLocale::Territory territory = locale.territory();
    return territory == QLocale::HongKong || territory == QLocale::Macao ? ProgramLanguage::HongKongChinese
                                                                          : ProgramLanguage::TaiwanChinese;
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
        if (IsCLocale(entry))
            return ProgramLanguage::Chinese;
        const QLocale locale(entry);
        const QLocale::Language language = locale.language();
        if (language == QLocale::Chinese)
            return ChineseOf(locale);
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

    const Setting& setting = SettingOf(language);
    QLocale::setDefault(QLocale(setting.localeLanguage, setting.script, setting.territory));
    const auto install = [](QTranslator* translator, bool loaded) {
        if (!loaded) {
            delete translator;
            return;
        }
        QCoreApplication::installTranslator(translator);
        Installed().append(translator);
    };
    auto* own = new QTranslator(QCoreApplication::instance());
    install(own, LoadCatalog(language, *own));
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : setting.qtCatalogs) {
        if (name) {
            auto* translator = new QTranslator(QCoreApplication::instance());
            install(translator, translator->load(QString::fromLatin1(name), qtFolder));
        }
    }
}

bool LoadCatalog(ProgramLanguage language, QTranslator& catalog)
{
    const char* name = SettingOf(language).catalog;
    return name && catalog.load(QString::fromLatin1(name), QString::fromLatin1(CatalogFolder));
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
