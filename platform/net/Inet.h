#pragma once

#include <QString>

namespace vidlatch::platform {

// The internet transfer control: one synchronous fetch of a document.
class Inet {
public:
    int RemotePort = 80;
    int RequestTimeout = 60;  // seconds

    // Fetches `address` (http when it names no scheme) and returns the document
    // as text. Any failure (no route, refused, time-out, an HTTP error without
    // a body) gives the empty string. Bodies are kept up to 1 MiB.
    [[nodiscard]] QString OpenURL(const QString& address);

    static constexpr long MaxBody = 1 << 20;
};

} // namespace vidlatch::platform
