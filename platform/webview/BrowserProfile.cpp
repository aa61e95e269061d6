#include "BrowserProfile.h"

#include "AddressRule.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineUrlRequestInterceptor>

namespace vidlatch::platform {
namespace {

// Keeps the program's own files from the pages' requests: the web engine
// serves the program's Qt resources (qrc:) to any page unless stopped, and
// the preview's scheme belongs to the preview alone. (Navigations do not
// come here for every scheme: BrowserPage refuses those.)
class PrivateFilesGuard : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        if (IsPrivateFile(info.requestUrl()))
            info.block(true);
    }
};

} // namespace

QWebEngineProfile* NewOffTheRecordProfile()
{
    auto* profile = new QWebEngineProfile(QCoreApplication::instance());  // no name: off the record
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile->setSpellCheckEnabled(false);
    QObject::connect(profile, &QWebEngineProfile::downloadRequested,
                     [](QWebEngineDownloadRequest* download) { download->cancel(); });
    return profile;
}

QWebEngineProfile* BrowserProfile()
{
    static QWebEngineProfile* profile = [] {
        QWebEngineProfile* created = NewOffTheRecordProfile();
        created->setUrlRequestInterceptor(new PrivateFilesGuard(created));
        QFile guard(QStringLiteral(":/vidlatch/browser/page-guard.js"));
        guard.open(QIODevice::ReadOnly);
        QWebEngineScript script;
        script.setName(QStringLiteral("vidlatch-page-guard"));
        script.setSourceCode(QString::fromUtf8(guard.readAll()));
        script.setInjectionPoint(QWebEngineScript::DocumentCreation);
        script.setWorldId(QWebEngineScript::MainWorld);
        script.setRunsOnSubFrames(true);
        created->scripts()->insert(script);
        return created;
    }();
    return profile;
}

} // namespace vidlatch::platform
