#pragma once

#include <QString>
#include <QStringList>

namespace vidlatch::ui {

// What the command line asks of the program. Read before the QApplication
// exists: --help and --version need no display.
struct ProgramOptions {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    QString text;  // the help or version text, or what is wrong with the command line
    // Qt's own options that decide where the windows go; Qt takes them itself.
    QString platform;            // -platform
    QString display;             // -display
    bool instanceNamed = false;  // -name: the user's WM_CLASS instance
};

// Only --help and --version are the program's; Qt's own options (-platform,
// -display, -style and the like) are let through. As with vidlatch-cli,
// --help and --version win over any error beside them.
[[nodiscard]] ProgramOptions ReadProgramOptions(const QStringList& arguments);

} // namespace vidlatch::ui
