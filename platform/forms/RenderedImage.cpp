#include "RenderedImage.h"

#include <QFile>

namespace vidlatch::platform {

QIcon RenderedImage(QStringView name, int size)
{
    QIcon icon;
    for (const int halves : {2, 3, 4}) {
        const int pixels = size * halves / 2;
        const QString file = QStringLiteral(":/vidlatch/%1-%2.png").arg(name, QString::number(pixels));
        if (QFile::exists(file))
            icon.addFile(file, QSize(pixels, pixels));
    }
    return icon;
}

} // namespace vidlatch::platform
