#pragma once

#include <QColor>
#include <QString>

#include <QStringList>

namespace vidlatch::demo {

// Codes of the demo site's single-video pages.
QStringList Codes();

// The player address, less the code, at a second origin (another port): the
// same movies from a page that the preview cannot reuse.
QString OtherOriginPlayerPrefix();

// The demo site's player movie for a code shows one colour: the first three
// bytes of the code's MD5 (see demo_site.py).
QColor PlayerColour(const QString& code);

// Whether a pixel read off the screen shows `wanted`, within 3 a channel.
bool SameColour(const QColor& seen, const QColor& wanted);

} // namespace vidlatch::demo
