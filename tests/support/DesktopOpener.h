#pragma once

#include <QStringList>

namespace vidlatch::test {

// Stands for the desktop's opener (xdg-open) in every window test, first on
// PATH: no test starts a real browser. It records each address it is given
// and ends with the status a test sets (0, the desktop took it, by default).
class DesktopOpener {
public:
    // Before the QApplication exists.
    static bool Install();
    static QStringList Opened();
    static void Clear();
    static void SetStatus(int status);
};

} // namespace vidlatch::test
