#include "DemoSite.h"

#include <QDir>
#include <QImage>
#include <QWidget>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vidlatch::test {
namespace {

pid_t serverPid = -1;
int serverPort = 0;
QString logPath;

} // namespace

bool DemoSite::Start(const QString& logFile)
{
    logPath = logFile.isEmpty() ? QDir::tempPath() + QStringLiteral("/vidlatch-demo-%1.log").arg(::getpid()) : logFile;
    QFile::remove(logPath);
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return false;
    const QByteArray script = QByteArray(VIDLATCH_SOURCE_DIR) + "/tools/demo-site/demo_site.py";
    const QByteArray log = logPath.toLocal8Bit();
    serverPid = ::fork();
    if (serverPid == 0) {
        // A test binary killed at its time-out takes the site with it.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::dup2(pipeFds[1], 1);
        ::close(pipeFds[0]);
        ::execlp("python3", "python3", script.constData(), "--log", log.constData(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    char line[320] = {};
    char loopbackName[256] = {};
    FILE* out = ::fdopen(pipeFds[0], "r");
    const bool ok = out && std::fgets(line, sizeof line, out)
        && std::sscanf(line, "PORT %d %255s", &serverPort, loopbackName) == 2;
    if (out)
        std::fclose(out);
    if (!ok) {
        Stop();
        return false;
    }
    const QByteArray proxy = "http://127.0.0.1:" + QByteArray::number(serverPort);
    ::setenv("http_proxy", proxy.constData(), 1);
    ::setenv("HTTP_PROXY", proxy.constData(), 1);
    // This machine by its other name too, left out of the proxy as desktops do.
    const QByteArray direct = QByteArray("127.0.0.1,localhost,") + loopbackName;
    ::setenv("no_proxy", direct.constData(), 1);
    ::setenv("NO_PROXY", direct.constData(), 1);
    std::atexit(Stop);
    return true;
}

void DemoSite::Stop()
{
    if (serverPid > 0) {
        ::kill(serverPid, SIGTERM);
        int status = 0;
        while (::waitpid(serverPid, &status, 0) < 0 && errno == EINTR) {
        }
        serverPid = -1;
    }
}

int DemoSite::Port() { return serverPort; }

QString DemoSite::Log()
{
    QFile file(logPath);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void DemoSite::ClearLog()
{
    QFile file(logPath);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool CentreShows(QWidget* widget, const QColor& colour)
{
    const QImage image = widget->grab().toImage();
    const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
    return demo::SameColour(centre, colour);
}

} // namespace vidlatch::test
