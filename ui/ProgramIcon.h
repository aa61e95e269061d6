#pragma once

#include <QIcon>

namespace vidlatch::ui {

// The program's icon, at every size from 16 to 256 pixels: the desktop
// picks the window's icon from these for its switcher and task bar.
QIcon ProgramIcon();

} // namespace vidlatch::ui
