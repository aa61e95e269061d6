#pragma once

#include <QString>

#include <sys/types.h>

namespace vidlatch::test {

// The demo video site, started as a loopback HTTP proxy for the whole test
// run. Start() sets http_proxy (and no_proxy for loopback) so that the web
// engine and libcurl both reach it; call it before the QApplication exists.
class DemoSite {
public:
    static bool Start(const QString& logFile = {});
    static void Stop();
    static int Port();
    // The requests the site has seen, one "METHOD hostpath" a line.
    static QString Log();
    static void ClearLog();
};

} // namespace vidlatch::test
