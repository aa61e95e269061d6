// A whole session of the program's windows, driven without a user: the main
// window starts, the browser window opens and shows its home page, the
// browser window closes, the preview plays a movie (a hidden preview draws
// none), and the program ends the way it does. The no-files test runs it under strace.
#include "Form1.h"
#include "Form2.h"
#include "FormDefaults.h"
#include "ProcessSetup.h"
#include "ShockwaveFlash.h"
#include "WebBrowser.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    vidlatch::platform::PrepareApplication();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    vidlatch::platform::ApplyFormDefaults();

    auto form1 = std::make_unique<vidlatch::ui::Form1>();
    form1->Show();
    // Past the start-up probe of the connection, then the browser window.
    QTimer::singleShot(2500, [&] {
        form1->Command2->click();
        vidlatch::ui::Form2* form2 = form1->BrowserWindow();
        QObject::connect(form2->WebBrowser1, &QWebEngineView::loadFinished, form2, [&, form2](bool) {
            form2->close();
            QObject::connect(form1->ShockwaveFlash1, &vidlatch::platform::ShockwaveFlash::movieShown, [] {
                std::puts("movie shown");
                QTimer::singleShot(500, [] { QCoreApplication::exit(0); });
            });
            form1->ShockwaveFlash1->setMovie(
                QStringLiteral("http://static.vidsite.example/v1/res/vidplayer.swf?f=3&vid=a1b2c3d4e5f"));
        }, Qt::SingleShotConnection);
    });
    QTimer::singleShot(40000, [] { QCoreApplication::exit(3); });
    const int status = QApplication::exec();
    form1.reset();
    return status;
}
