#pragma once

#include "DemoPlayer.h"

#include <QColor>
#include <QString>

class QWidget;

#include <sys/types.h>

namespace vidlatch::test {

// The demo video site, started as a loopback HTTP proxy for the whole test
// run. Start() sets http_proxy (and no_proxy for loopback, by address and by
// a name the site gives) so that the web engine and libcurl both reach it;
// call it before the QApplication exists.
class DemoSite {
public:
    static bool Start(const QString& logFile = {});
    static void Stop();
    static int Port();
    // The requests the site has seen, one "METHOD hostpath" a line.
    static QString Log();
    static void ClearLog();
};

// Whether the centre of `widget`, grabbed, shows `colour` (within 3 a channel).
bool CentreShows(QWidget* widget, const QColor& colour);

} // namespace vidlatch::test
