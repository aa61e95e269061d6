#pragma once

#include <QIcon>

namespace vidlatch::ui {

// The program's icon, at 16, 24, 32 and 48 pixels.
QIcon ProgramIcon();

} // namespace vidlatch::ui
