#include "Inet.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <netinet/in.h>
#include <unistd.h>

namespace vidlatch::platform {
namespace {

TEST(Inet, FetchesThroughTheProxyAndFailsQuietly)
{
    Inet inet;
    EXPECT_EQ(inet.RemotePort, 80);
    EXPECT_EQ(inet.RequestTimeout, 60);

    struct Row { const char* address; bool text; };
    const Row rows[] = {
        {"www.baidu.com", true},                              // no scheme: http
        {"http://bbs.brightfold.example/", true},
        {"http://v.vidsite.example/missing.html", true},      // an error page still has a body
        {"http://v.vidsite.example/error-without-body", false},
        {"http://unknown.invalid/", true},                    // the demo proxy's own error page
        {"", false},
        {"ftp://v.vidsite.example/", false},
        {"::not an address::", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(!inet.OpenURL(QString::fromLatin1(row.address)).isEmpty(), row.text) << row.address;
}

TEST(Inet, RefusedPortGivesNothing)
{
    // A port that was just free and is closed again: the connection is refused.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    Inet inet;
    EXPECT_TRUE(inet.OpenURL(QStringLiteral("127.0.0.1:%1/").arg(ntohs(address.sin_port))).isEmpty());
}

TEST(Inet, ServerThatNeverAnswersTimesOut)
{
    // Accepts the connection and says nothing, from its own thread.
    QThread thread;
    QTcpServer* server = new QTcpServer;
    ASSERT_TRUE(server->listen(QHostAddress::LocalHost));
    const quint16 port = server->serverPort();
    server->moveToThread(&thread);
    thread.start();

    Inet inet;
    inet.RequestTimeout = 1;  // the test's own short wait
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(inet.OpenURL(QStringLiteral("http://127.0.0.1:%1/").arg(port)).isEmpty());
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_LT(clock.elapsed(), 5000);
    QMetaObject::invokeMethod(server, [server] { delete server; }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
}

TEST(Inet, LargeBodiesAreCutAtOneMebibyte)
{
    Inet inet;
    EXPECT_EQ(inet.OpenURL(QStringLiteral("http://v.vidsite.example/big")).size(), Inet::MaxBody);
}

} // namespace
} // namespace vidlatch::platform
