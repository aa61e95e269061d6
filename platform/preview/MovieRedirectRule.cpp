#include "MovieRedirectRule.h"

#include "SchemeNames.h"

#include <QHostAddress>
#include <QStringList>
#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <array>
#include <cstdint>

namespace vidlatch::platform {
namespace {

struct Ipv4Block { std::uint32_t network; int bits; };
constexpr std::array RefusedIpv4 = {
    Ipv4Block{0x00000000, 8},   // unspecified, "this network"
    Ipv4Block{0x0A000000, 8},   // private
    Ipv4Block{0x64400000, 10},  // carrier-grade NAT, shared with the provider
    Ipv4Block{0x7F000000, 8},   // loopback
    Ipv4Block{0xA9FE0000, 16},  // link-local
    Ipv4Block{0xAC100000, 12},  // private
    Ipv4Block{0xC0000000, 24},  // protocol assignments
    Ipv4Block{0xC0A80000, 16},  // private
    Ipv4Block{0xC6120000, 15},  // benchmarking
    Ipv4Block{0xE0000000, 4},   // multicast
    Ipv4Block{0xF0000000, 4},   // reserved, and the broadcast 255.255.255.255
};

bool IsRefusedIpv4(std::uint32_t address)
{
    return std::any_of(RefusedIpv4.begin(), RefusedIpv4.end(), [address](const Ipv4Block& block) {
        return (address >> (32 - block.bits)) == (block.network >> (32 - block.bits));
    });
}

using Ipv6Bytes = std::array<std::uint8_t, 16>;

// A block refused outright, or one that carries an IPv4 address at byte
// `ipv4At` and is judged by it. The first block that holds an address decides.
struct Ipv6Block { Ipv6Bytes network; int bits; int ipv4At; };
constexpr int Refused = -1;
constexpr std::array RefusedIpv6 = {
    Ipv6Block{{}, 128, Refused},                                              // unspecified
    Ipv6Block{{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, 128, Refused},  // loopback
    Ipv6Block{{0xFC}, 7, Refused},                                            // unique local
    Ipv6Block{{0xFE, 0x80}, 10, Refused},                                     // link-local
    Ipv6Block{{0xFE, 0xC0}, 10, Refused},                                     // site-local
    Ipv6Block{{0xFF}, 8, Refused},                                            // multicast
    Ipv6Block{{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF}, 96, 12},            // IPv4-mapped
    Ipv6Block{{0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0}, 96, 12},            // IPv4-translated
    Ipv6Block{{}, 96, 12},                                                    // IPv4-compatible
    Ipv6Block{{0, 0x64, 0xFF, 0x9B}, 96, 12},                                 // NAT64
    Ipv6Block{{0, 0x64, 0xFF, 0x9B, 0, 1}, 48, Refused},                      // NAT64 of a local network
    Ipv6Block{{0x01, 0x00}, 64, Refused},                                     // discard-only
    Ipv6Block{{0x20, 0x01, 0, 0}, 32, Refused},                               // Teredo: a tunnel to anywhere
    Ipv6Block{{0x20, 0x02}, 16, 2},                                           // 6to4
};

bool InBlock(const Ipv6Bytes& address, const Ipv6Block& block)
{
    const int whole = block.bits / 8, rest = block.bits % 8;
    if (!std::equal(address.begin(), address.begin() + whole, block.network.begin()))
        return false;
    const int mask = (0xFF00 >> rest) & 0xFF;
    return rest == 0 || (address[whole] & mask) == (block.network[whole] & mask);
}

bool IsRefusedIpv6(const Ipv6Bytes& address)
{
    for (const Ipv6Block& block : RefusedIpv6) {
        if (!InBlock(address, block))
            continue;
        if (block.ipv4At == Refused)
            return true;
        const std::uint8_t* v4 = address.data() + block.ipv4At;
        return IsRefusedIpv4(std::uint32_t{v4[0]} << 24 | std::uint32_t{v4[1]} << 16 | std::uint32_t{v4[2]} << 8 | v4[3]);
    }
    return false;
}

bool IsRefusedAddress(const QHostAddress& address)
{
    if (!address.scopeId().isEmpty())
        return true;
    bool isIpv4 = false;
    const std::uint32_t v4 = address.toIPv4Address(&isIpv4);
    if (isIpv4)
        return IsRefusedIpv4(v4);
    if (address.protocol() != QAbstractSocket::IPv6Protocol)
        return true;
    const Q_IPV6ADDR v6 = address.toIPv6Address();
    Ipv6Bytes bytes{};
    std::copy(std::begin(v6.c), std::end(v6.c), bytes.begin());
    return IsRefusedIpv6(bytes);
}

// Names that only a local network answers: this machine's, its network's
// own domains, and a single label, which the resolver may complete with the
// local domain or find in the hosts file.
constexpr std::array LocalNameEndings = {
    QLatin1StringView(".localhost"), QLatin1StringView(".local"), QLatin1StringView(".localdomain"),
    QLatin1StringView(".internal"), QLatin1StringView(".home.arpa"),
};

// Refused by how it is written: a name of this machine or its network, an
// address (in any form the resolver takes) that the rule refuses, or a zone.
bool IsRefusedHost(QString host)
{
    if (host.endsWith(u'.'))
        host.chop(1);
    if (host.isEmpty() || host == QLatin1String("localhost") || host.contains(u'%'))
        return true;
    const QByteArray text = host.toLatin1();
    in_addr v4{};
    // inet_aton takes every form the resolver takes for a numeric host.
    if (::inet_aton(text.constData(), &v4) != 0)
        return IsRefusedIpv4(ntohl(v4.s_addr));
    Ipv6Bytes v6{};
    if (::inet_pton(AF_INET6, text.constData(), v6.data()) == 1)
        return IsRefusedIpv6(v6);
    return !host.contains(u'.') || std::any_of(LocalNameEndings.begin(), LocalNameEndings.end(),
                                               [&host](QLatin1StringView ending) { return host.endsWith(ending); });
}

// Every address the resolver answered passes; where it was not asked (a
// proxy resolves the name), how the name is written has been judged.
bool LeadsOut(const std::optional<QList<QHostAddress>>& resolved)
{
    return !resolved || (!resolved->isEmpty() && std::none_of(resolved->begin(), resolved->end(), IsRefusedAddress));
}

bool IsWebScheme(const QString& scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

// The ports that browsers refuse to send web requests to, as the Fetch
// standard lists them: other protocols' servers that a request's bytes
// could be made to speak to (mail, shells, file shares, chat, ...).
constexpr std::array BadPorts = {
    0,    1,    7,    9,    11,   13,   15,   17,   19,   20,   21,   22,   23,   25,   37,   42,   43,   53,   69,
    77,   79,   87,   95,   101,  102,  103,  104,  109,  110,  111,  113,  115,  117,  119,  123,  135,  137,  139,
    143,  161,  179,  389,  427,  465,  512,  513,  514,  515,  526,  530,  531,  532,  540,  548,  554,  556,  563,
    587,  601,  636,  989,  990,  993,  995,  1719, 1720, 1723, 2049, 3659, 4045, 4190, 5060, 5061, 6000, 6566, 6665,
    6666, 6667, 6668, 6669, 6679, 6697, 10080,
};

// A web address, to a port that a web request may go to.
bool IsWebAddress(const QUrl& to)
{
    return to.isValid() && IsWebScheme(to.scheme()) &&
           std::find(BadPorts.begin(), BadPorts.end(), to.port(to.scheme() == QLatin1String("https") ? 443 : 80)) ==
               BadPorts.end();
}

} // namespace

bool MayFollowMovieRedirect(const QUrl& from, const QUrl& to, const std::optional<QList<QHostAddress>>& resolved)
{
    if (!IsWebAddress(to))
        return false;
    if (from.scheme() == QLatin1String("https") && to.scheme() == QLatin1String("http"))
        return false;
    return !IsRefusedHost(to.host(QUrl::FullyDecoded).toLower()) && LeadsOut(resolved);
}

bool IsSameOrigin(const QUrl& page, const QUrl& to)
{
    const auto port = [](const QUrl& url) { return url.port(url.scheme() == QLatin1String("https") ? 443 : 80); };
    return page.scheme() == to.scheme() && !to.host().isEmpty() &&
           page.host(QUrl::FullyDecoded).toLower() == to.host(QUrl::FullyDecoded).toLower() && port(page) == port(to);
}

bool LandsHere(const QUrl& to, const std::optional<QList<QHostAddress>>& resolved)
{
    return IsRefusedHost(to.host(QUrl::FullyDecoded).toLower()) || !LeadsOut(resolved);
}

bool MayMovieRequest(const QUrl& page, const QUrl& to, const std::optional<QList<QHostAddress>>& resolved,
                     bool movieCameFromHere)
{
    if (!IsWebAddress(to))
        return false;
    const bool here = LandsHere(to, resolved);
    // A name of its own origin that led the movie off this machine may lead
    // here a moment later: judged by where it leads now, as the movie was.
    return IsSameOrigin(page, to) ? here == movieCameFromHere : !here;
}

bool LeavesThePlayer(const QUrl& address)
{
    static const QStringList local{QStringLiteral("data"), QStringLiteral("blob"), QStringLiteral("about"),
                                   QLatin1String(PlayerScheme)};
    return !local.contains(address.scheme());
}

} // namespace vidlatch::platform
