#include "MovieRedirectRule.h"

#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <array>
#include <cstdint>

namespace vidlatch::platform {
namespace {

struct Ipv4Block { std::uint32_t network; int bits; };
constexpr std::array LocalIpv4 = {
    Ipv4Block{0x00000000, 8},   // unspecified, "this network"
    Ipv4Block{0x0A000000, 8},   // private
    Ipv4Block{0x7F000000, 8},   // loopback
    Ipv4Block{0xA9FE0000, 16},  // link-local
    Ipv4Block{0xAC100000, 12},  // private
    Ipv4Block{0xC0A80000, 16},  // private
};

bool IsLocalIpv4(std::uint32_t address)
{
    for (const Ipv4Block& block : LocalIpv4) {
        if ((address >> (32 - block.bits)) == (block.network >> (32 - block.bits)))
            return true;
    }
    return false;
}

bool IsLocalIpv6(const in6_addr& address)
{
    const std::uint8_t* b = address.s6_addr;
    if (IN6_IS_ADDR_UNSPECIFIED(&address) || IN6_IS_ADDR_LOOPBACK(&address))
        return true;
    if ((b[0] & 0xFE) == 0xFC || (b[0] == 0xFE && (b[1] & 0xC0) == 0x80))
        return true;  // unique local fc00::/7, link-local fe80::/10
    // An IPv4 address inside IPv6 (mapped, or the old compatible form) is that address.
    if (IN6_IS_ADDR_V4MAPPED(&address) || IN6_IS_ADDR_V4COMPAT(&address))
        return IsLocalIpv4(static_cast<std::uint32_t>(b[12]) << 24 | b[13] << 16 | b[14] << 8 | b[15]);
    return false;
}

bool IsLocalHost(QString host)
{
    if (host.endsWith(u'.'))
        host.chop(1);
    if (host.isEmpty() || host == QLatin1String("localhost") || host.endsWith(QLatin1String(".localhost")))
        return true;
    const QByteArray text = host.toLatin1();
    in_addr v4{};
    // inet_aton takes every form the resolver takes for a numeric host.
    if (::inet_aton(text.constData(), &v4) != 0)
        return IsLocalIpv4(ntohl(v4.s_addr));
    in6_addr v6{};
    if (::inet_pton(AF_INET6, text.constData(), &v6) == 1)
        return IsLocalIpv6(v6);
    return false;
}

} // namespace

bool MayFollowMovieRedirect(const QUrl& from, const QUrl& to)
{
    const QString scheme = to.scheme();
    if (!to.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return false;
    if (from.scheme() == QLatin1String("https") && scheme == QLatin1String("http"))
        return false;
    return !IsLocalHost(to.host(QUrl::FullyDecoded).toLower());
}

} // namespace vidlatch::platform
