#pragma once

#include <QIcon>
#include <QStringView>

namespace vidlatch::platform {

// A picture the build renders from its SVG source at 1, 1.5 and 2 times
// `size` pixels square, so that it is drawn sharp at those scales. Null
// when the program was built without it.
[[nodiscard]] QIcon RenderedImage(QStringView name, int size);

} // namespace vidlatch::platform
