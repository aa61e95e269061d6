#pragma once

#include "Notice.h"

#include <QString>

namespace vidlatch::ui {

// A notice box with the program's common title; returns the button pressed.
int ShowNotice(const QString& text, NoticeStyle style);

} // namespace vidlatch::ui
