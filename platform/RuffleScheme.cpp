#include "RuffleScheme.h"

#include <QFile>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace vidlatch::platform {
namespace {

QByteArray MimeTypeOf(const QString& name)
{
    if (name.endsWith(QLatin1String(".wasm"))) return "application/wasm";
    if (name.endsWith(QLatin1String(".js"))) return "text/javascript";
    if (name.endsWith(QLatin1String(".map")) || name.endsWith(QLatin1String(".json"))) return "application/json";
    return "application/octet-stream";
}

} // namespace

void RegisterRuffleScheme()
{
    QWebEngineUrlScheme scheme(RuffleScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}

RuffleSchemeHandler::RuffleSchemeHandler(QString folder, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), folder_(std::move(folder))
{
}

void RuffleSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    // Plain file names only: nothing outside the player's folder is served.
    const QString name = job->requestUrl().path().mid(1);
    if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\') || name.startsWith(u'.')) {
        job->fail(QWebEngineUrlRequestJob::UrlInvalid);
        return;
    }
    auto* file = new QFile(folder_ + u'/' + name, job);
    if (!file->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    job->reply(MimeTypeOf(name), file);
}

} // namespace vidlatch::platform
