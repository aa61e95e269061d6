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

// The hosts the built-in browsers show: the web engine they run gets no
// security updates from the distribution, so it is kept to the video site
// and the program's own forum.
bool IsSiteHost(QString host)
{
    if (host.endsWith(u'.'))
        host.chop(1);  // the same name, written as fully qualified
    static const QStringList hosts{FromCore(site::PageHost), FromCore(site::BlogHost), FromCore(site::StaticHost),
                                   QUrl(FromCore(site::ForumAddress)).host()};
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

} // namespace vidlatch::platform
