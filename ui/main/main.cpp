// Vidlatch: the address of a video site's embeddable player for one video.
#include "Form1.h"
#include "FormDefaults.h"
#include "FormRuntime.h"
#include "ProgramIcon.h"
#include "ProgramStart.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv)
{
    // Everything settled before the QApplication exists, in one place.
    vidlatch::ui::ProgramStart start(argc, argv);
    if (const std::optional<int> status = start.ExitStatus())
        return *status;
    QApplication app(start.QtArgc(), start.QtArgv());
    // Qt's xcb plugin takes the WM_CLASS class from the application's name.
    QApplication::setApplicationName(QString::fromLatin1(vidlatch::ui::DesktopId));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(vidlatch::ui::DesktopId));
    QApplication::setQuitOnLastWindowClosed(false);  // the windows say when the program ends
    vidlatch::platform::ApplyFormDefaults();
    QApplication::setWindowIcon(vidlatch::ui::ProgramIcon());

    auto form1 = std::make_unique<vidlatch::ui::Form1>();
    form1->Show();
    // A load that failed has ended the program already, with its status.
    const int status = vidlatch::platform::RunEventLoop();
    form1.reset();  // the windows and their web views go before the web engine
    return status;
}
