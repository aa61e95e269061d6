#pragma once

#include <QList>

#include <optional>

class QHostAddress;
class QUrl;

namespace vidlatch::platform {

// Whether the movie fetch may follow a site's redirect from `from` to `to`,
// as no web page could be sent either: http and https only, to no port that
// browsers refuse (25, 6667, ...), never from https back to http, and never to this machine or a network it may stand in, by
// name (localhost, a single label, .localhost, .local, .localdomain,
// .internal, .home.arpa) or by address in any form the resolver takes ("127.1",
// "0x7f000001", "[::ffff:127.0.0.1]"): loopback, private (RFC 1918, fc00::/7, CGN),
// link-local, site-local, multicast, reserved, benchmarking and unspecified
// addresses, and IPv6 forms that carry one of those IPv4 addresses (mapped,
// translated, NAT64, 6to4), local-use NAT64, Teredo and discard-only addresses.
// A host with a zone is refused.
//
// `resolved` is the system resolver's answer for the host of `to`: every
// address in it must pass, and an empty answer does not. Without it only how
// the address is written is judged (the resolver knows no such name, and a
// proxy will resolve it).
[[nodiscard]] bool MayFollowMovieRedirect(const QUrl& from, const QUrl& to,
                                          const std::optional<QList<QHostAddress>>& resolved = std::nullopt);

// Whether `to` leads to this machine or a network it may stand in, by how it
// is written or by any address in `resolved` (as for a redirect).
[[nodiscard]] bool LandsHere(const QUrl& to, const std::optional<QList<QHostAddress>>& resolved);

// Whether the movie playing in a preview page of `page`'s origin may send a
// request to `to`: http and https only, to no port that browsers refuse, and never to this machine or a
// network it may stand in, judged as a redirect is (`resolved` alike: every
// address the name leads to); its own origin (the same scheme, host and
// port) only where it leads as the movie's own address did when the movie
// came (`movieCameFromHere`): here, or off this machine.
[[nodiscard]] bool MayMovieRequest(const QUrl& page, const QUrl& to,
                                   const std::optional<QList<QHostAddress>>& resolved, bool movieCameFromHere);

// The same scheme, host and port.
[[nodiscard]] bool IsSameOrigin(const QUrl& page, const QUrl& to);

// Whether the preview page's request for `address` would leave the player:
// all but the player's own scheme and what the page holds (data:, blob:)
// does, the network and the machine's files (file:) alike, and the page
// sends none of it itself; the program fetches what a movie asks of the
// web, judged by MayMovieRequest.
[[nodiscard]] bool LeavesThePlayer(const QUrl& address);

} // namespace vidlatch::platform
