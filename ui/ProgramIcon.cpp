#include "ProgramIcon.h"

namespace vidlatch::ui {

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/vidlatch/vidlatch-icon-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace vidlatch::ui
