#include "AddressRule.h"

#include "SchemeNames.h"
#include "SiteConstants.h"

#include <QStringList>
#include <QUrl>

namespace vidlatch::platform {
namespace {

QString FromCore(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsSiteHost(QString host)
{
    if (host.endsWith(u'.'))
        host.chop(1);  // the same name, written as fully qualified
    static const QStringList hosts = [] {
        QStringList names;
        for (std::u16string_view name : site::BrowsingHosts)
            names.append(FromCore(name));
        return names;
    }();
    return hosts.contains(host);
}

} // namespace

AddressKind KindOfAddress(const QUrl& url)
{
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("qrc") || scheme == QLatin1String(PlayerScheme))
        return AddressKind::PrivateFile;
    if (!url.isValid())
        return AddressKind::Other;
    if (url.toEncoded().size() > MaxAddressLength)
        return AddressKind::TooLong;
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return IsSiteHost(url.host()) ? AddressKind::Site : AddressKind::Elsewhere;
    if (url == QUrl(QStringLiteral("about:blank")))
        return AddressKind::Blank;
    return AddressKind::Other;
}

bool MayRequest(const QUrl& url)
{
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("data") || scheme == QLatin1String("blob") || scheme == QLatin1String("about"))
        return KindOfAddress(url) != AddressKind::TooLong;  // held by the engine already: nothing goes out
    QUrl judged = url;
    if (scheme == QLatin1String("ws") || scheme == QLatin1String("wss"))
        judged.setScheme(scheme == QLatin1String("ws") ? QStringLiteral("http") : QStringLiteral("https"));  // the same host and port
    return KindOfAddress(judged) == AddressKind::Site;
}

} // namespace vidlatch::platform
