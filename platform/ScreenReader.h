#pragma once

class QWidget;

namespace vidlatch::platform {

// Lets screen readers into the web pages. Qt 6.4's web engine keeps a page's
// content from them on Linux unless QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY is
// set when it starts; even then it builds a page's accessibility tree only
// while an assistive technology is active. Must run before the web engine
// starts (before the QApplication is made).
void ExposeWebPagesToScreenReaders();

} // namespace vidlatch::platform
