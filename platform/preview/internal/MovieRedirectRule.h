#pragma once

class QUrl;

namespace vidlatch::platform {

// Whether the movie fetch may follow a site's redirect from `from` to `to`,
// as no web page could be sent either: http and https only, never from https
// back to http, and never to this machine or its private network, by name
// or by address in any form the resolver takes ("127.1", "0x7f000001",
// "[::ffff:127.0.0.1]"): loopback, private (RFC 1918, fc00::/7), link-local
// and unspecified addresses.
[[nodiscard]] bool MayFollowMovieRedirect(const QUrl& from, const QUrl& to);

} // namespace vidlatch::platform
