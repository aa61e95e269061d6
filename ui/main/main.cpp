// Vidlatch: the address of a video site's embeddable player for one video.
#include "Form1.h"
#include "FormDefaults.h"
#include "ProgramIcon.h"
#include "ProgramStart.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv)
{
    vidlatch::ui::ProgramStart start(argc, argv);
    if (const std::optional<int> status = start.ExitStatus())
        return *status;
    vidlatch::platform::PrepareApplication();
    QApplication app(start.QtArgc(), start.QtArgv());
    // Qt's xcb plugin takes the WM_CLASS class from the application's name.
    QApplication::setApplicationName(QString::fromLatin1(vidlatch::ui::DesktopId));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(vidlatch::ui::DesktopId));
    QApplication::setQuitOnLastWindowClosed(false);  // the windows say when the program ends
    vidlatch::platform::ApplyFormDefaults();
    QApplication::setWindowIcon(vidlatch::ui::ProgramIcon());

    auto form1 = std::make_unique<vidlatch::ui::Form1>();
    form1->Show();
    const int status = QApplication::exec();
    form1.reset();  // the windows and their web views go before the web engine
    return status;
}
