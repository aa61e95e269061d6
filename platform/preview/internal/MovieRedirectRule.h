#pragma once

#include <QList>

#include <optional>

class QHostAddress;
class QUrl;

namespace vidlatch::platform {

// Whether the movie fetch may follow a site's redirect from `from` to `to`,
// as no web page could be sent either: http and https only, never from https
// back to http, and never to this machine or a network it may stand in, by
// name or by address in any form the resolver takes ("127.1", "0x7f000001",
// "[::ffff:127.0.0.1]"): loopback, private (RFC 1918, fc00::/7, CGN),
// link-local, site-local, multicast, reserved, benchmarking and unspecified
// addresses, and IPv6 forms that carry one of those IPv4 addresses (mapped,
// translated, NAT64, 6to4). A host with a zone is refused.
//
// `resolved` is the system resolver's answer for the host of `to` where the
// fetch connects there itself: every address in it must pass, and an empty
// answer does not. Without it only what the address says is judged (a proxy
// resolves the name).
[[nodiscard]] bool MayFollowMovieRedirect(const QUrl& from, const QUrl& to,
                                          const std::optional<QList<QHostAddress>>& resolved = std::nullopt);

// Whether the movie playing in a preview page of `page`'s origin may send a
// request to `to`: never to this machine or a network it may stand in, judged
// as a redirect is by how the address is written (a page's request cannot
// wait for the resolver), unless that is where the movie itself came from:
// the same origin. Addresses with no host (the player's own files, data:)
// reach no network.
[[nodiscard]] bool MayMovieRequest(const QUrl& page, const QUrl& to);

} // namespace vidlatch::platform
