#pragma once

#include <QByteArray>

#include <optional>
#include <vector>

namespace vidlatch::ui {

// The desktop entry's name, which also names the program's windows: their
// WM_CLASS on X11 and their app id on Wayland, so that the desktop puts them
// under the entry's icon.
inline constexpr char DesktopId[] = "org.brightfold.vidlatch";

// Everything settled before the QApplication exists, in this order: the
// command line, whether the web engine can start for this user, which display
// the windows go to, how quiet the web engine is, and then the process itself
// (PrepareApplication: no session bus launched, no shader caches, the heap's
// settings, the preview's scheme, screen readers). Where the program ends
// here, it has said why in one line (or printed the help or version).
class ProgramStart {
public:
    ProgramStart(int argc, char** argv);

    // The program's exit status when it ends before any window.
    [[nodiscard]] std::optional<int> ExitStatus() const { return exitStatus_; }

    // The command line for the QApplication: the user's, with the display
    // chosen and the WM_CLASS instance name added. Qt keeps both.
    int& QtArgc() { return qtArgc_; }
    char** QtArgv() { return qtArgv_.data(); }

private:
    std::optional<int> exitStatus_;
    std::vector<QByteArray> qtArguments_;
    std::vector<char*> qtArgv_;
    int qtArgc_ = 0;
};

} // namespace vidlatch::ui
