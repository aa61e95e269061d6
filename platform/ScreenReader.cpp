#include "ScreenReader.h"

#include <QByteArray>
#include <QtGlobal>

namespace vidlatch::platform {

void ExposeWebPagesToScreenReaders()
{
    // The web engine reads it once, when it starts; a user's own setting stays.
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
        qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
}

} // namespace vidlatch::platform
