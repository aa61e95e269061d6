// Vidlatch: the address of a video site's embeddable player for one video.
#include "Form1.h"
#include "FormDefaults.h"
#include "ProgramIcon.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv)
{
    vidlatch::platform::PrepareApplication();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vidlatch"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.brightfold.vidlatch"));
    QApplication::setQuitOnLastWindowClosed(false);  // the windows say when the program ends
    vidlatch::platform::ApplyFormDefaults();
    QApplication::setWindowIcon(vidlatch::ui::ProgramIcon());

    auto form1 = std::make_unique<vidlatch::ui::Form1>();
    form1->Show();
    const int status = QApplication::exec();
    form1.reset();  // the windows and their web views go before the web engine
    return status;
}
