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

// Every request of a browsing page, before anything goes out: only the
// site's hosts are reached, for the page and for every part of it (frames,
// scripts, pictures, styles, fonts, media, WebSockets, workers, prefetches,
// icons). The program's own files (its Qt resources, which the web engine
// serves to any page unless stopped, and the preview's scheme) are no site's.
class SiteOnlyRequests : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        if (!MayRequest(info.requestUrl()))
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
        created->setUrlRequestInterceptor(new SiteOnlyRequests(created));
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
