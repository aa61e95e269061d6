#include "PermissionRefusal.h"

#include <QWebEnginePage>
#include <QtGlobal>

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEnginePermission>
#endif

namespace vidlatch::platform {

void RefuseEveryPermission(QWebEnginePage& page)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QObject::connect(&page, &QWebEnginePage::permissionRequested, &page,
                     [](QWebEnginePermission permission) { permission.deny(); });
#else
    QObject::connect(&page, &QWebEnginePage::featurePermissionRequested, &page,
                     [&page](const QUrl& origin, QWebEnginePage::Feature feature) {
                         page.setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
                     });
#endif
}

} // namespace vidlatch::platform
