// Loads a page that sets cookies and local storage in our browser, then ends
// the way the program does. The off-the-record test runs it with HOME in a
// temporary folder and looks for what it left there.
#include "ProcessSetup.h"
#include "WebBrowser.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    vidlatch::platform::PrepareApplication();
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    auto* browser = new vidlatch::platform::WebBrowser;
    browser->resize(400, 300);
    browser->show();
    QObject::connect(browser, &QWebEngineView::loadFinished, [](bool ok) {
        // Give the page's script a moment to store what it stores.
        QTimer::singleShot(500, [ok] { QCoreApplication::exit(ok ? 0 : 3); });
    });
    QTimer::singleShot(20000, [] { QCoreApplication::exit(4); });
    browser->Navigate(QString::fromLocal8Bit(argv[1]));
    const int status = app.exec();
    delete browser;
    return status;
}
