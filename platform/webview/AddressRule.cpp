#include "AddressRule.h"

#include "SchemeNames.h"

#include <QUrl>

namespace vidlatch::platform {

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
        return AddressKind::Web;
    if (url == QUrl(QStringLiteral("about:blank")))
        return AddressKind::Blank;
    return AddressKind::Other;
}

} // namespace vidlatch::platform
