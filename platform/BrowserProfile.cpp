#include "BrowserProfile.h"

#include <QCoreApplication>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace vidlatch::platform {

QWebEngineProfile* BrowserProfile()
{
    static QWebEngineProfile* profile = [] {
        auto* created = new QWebEngineProfile(QCoreApplication::instance());  // no name: off the record
        created->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        created->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        created->setSpellCheckEnabled(false);
        QObject::connect(created, &QWebEngineProfile::downloadRequested,
                         [](QWebEngineDownloadRequest* download) { download->cancel(); });
        return created;
    }();
    return profile;
}

} // namespace vidlatch::platform
