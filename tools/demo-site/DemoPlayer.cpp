#include "DemoPlayer.h"

#include <QCryptographicHash>

#include <cstdlib>

namespace vidlatch::demo {

QStringList Codes()
{
    return {QStringLiteral("a1b2c3d4e5f"), QStringLiteral("XqZ9fR2kLmN"), QStringLiteral("Tb7_wE3-pQs"),
            QStringLiteral("k0LmN8vB2xC")};
}

QString OtherOriginPlayerPrefix()
{
    return QStringLiteral("http://static.vidsite.example:8080/v1/res/vidplayer.swf?f=3&vid=");
}

QColor PlayerColour(const QString& code)
{
    const QByteArray digest = QCryptographicHash::hash(code.toUtf8(), QCryptographicHash::Md5);
    return QColor(static_cast<uchar>(digest[0]), static_cast<uchar>(digest[1]), static_cast<uchar>(digest[2]));
}

bool SameColour(const QColor& seen, const QColor& wanted)
{
    return std::abs(seen.red() - wanted.red()) <= 3 && std::abs(seen.green() - wanted.green()) <= 3 &&
           std::abs(seen.blue() - wanted.blue()) <= 3;
}

} // namespace vidlatch::demo
