#include "UsersBrowser.h"

#include "AddressRule.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace vidlatch::platform {

void OpenInUsersBrowser(const QUrl& url, QObject* context, std::function<void(bool opened)> told)
{
    if (!IsWebAddress(url)) {
        told(false);
        return;
    }
    // The desktop's own opener, as Qt would run it; where there is none, Qt
    // looks further (the BROWSER variable, a browser it knows), and says
    // only whether it started one.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        told(QDesktopServices::openUrl(url));
        return;
    }
    // The application's, not the window's: a browser the opener starts may
    // outlive the window that asked, and it is no child of ours to end.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(opener);
    process->setArguments({url.toString(QUrl::FullyEncoded)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, context, [told](int code, QProcess::ExitStatus status) {
        told(status == QProcess::NormalExit && code == 0);
    });
    QObject::connect(process, &QProcess::errorOccurred, context, [told](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            told(false);
    });
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            process->deleteLater();
    });
    process->start();
}

} // namespace vidlatch::platform
