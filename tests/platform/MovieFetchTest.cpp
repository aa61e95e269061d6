#include "DemoSite.h"
#include "MovieFetch.h"
#include "RuleClock.h"
#include "UiWait.h"

#include <QFile>
#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QProcess>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace vidlatch::platform {
namespace {

// What a movie asks, as the program fetches it for its page: answered as
// the site sends it, with its method and body, where it leads off this
// machine and its network; refused (before any request) where it leads here,
// unless it is the movie's own origin.
TEST(MovieFetch, AsksOnlyWhereItMayGo)
{
    const QString port = QString::number(test::DemoSite::Port());
    const QString site = QStringLiteral("http://static.vidsite.example");
    const QString here = QStringLiteral("http://127.0.0.1:") + port;
    struct Row {
        const char* what; QString page; QString address; QByteArray method; QByteArray body;
        MovieProblem problem;  // None: answered
        const char* request;   // the request the site sees, or never sees where refused
        bool movieCameFromHere = false;
        const char* resolvesTo = nullptr;  // every name, to the fetch alone (a list), with no proxy between
    };
    // A name of the site's own, which the system resolver does not know.
    const QString pinned = QStringLiteral("http://static.vidsite.example:") + port;
    const Row rows[] = {
        {"its own site", site, site + "/v1/res/vidplayer.swf?vid=asked-get", "GET", {}, MovieProblem::None, "GET static.vidsite.example/v1/res/vidplayer.swf?vid=asked-get"},
        {"another host of the site, by POST", site, "http://cdn.vidsite.example/v1/res/vidplayer.swf?vid=asked-post", "POST", "a=1",
         MovieProblem::None, "POST cdn.vidsite.example/v1/res/vidplayer.swf?vid=asked-post"},
        {"this machine", site, here + "/v1/res/vidplayer.swf?vid=asked-here", "GET", {}, MovieProblem::Refused, "vid=asked-here"},
        {"this machine by a single name", site, "http://vm:" + port + "/v1/res/vidplayer.swf?vid=asked-vm", "GET", {}, MovieProblem::Refused, "vid=asked-vm"},
        {"this machine, where the movie came from", here, here + "/v1/res/vidplayer.swf?vid=asked-own", "GET", {}, MovieProblem::None,
         "GET 127.0.0.1/v1/res/vidplayer.swf?vid=asked-own", true},
        {"its own origin, connected where it was judged", pinned, pinned + "/v1/res/vidplayer.swf?vid=asked-pinned", "GET", {},
         MovieProblem::None, "GET static.vidsite.example/v1/res/vidplayer.swf?vid=asked-pinned", true, "127.0.0.1"},
        {"its own origin, its first address not answering", pinned, pinned + "/v1/res/vidplayer.swf?vid=asked-next", "GET", {},
         MovieProblem::None, "GET static.vidsite.example/v1/res/vidplayer.swf?vid=asked-next", true, "127.0.0.3,127.0.0.1"},
        {"its own origin, leading here now, the movie having come from elsewhere", pinned, pinned + "/v1/res/vidplayer.swf?vid=asked-rebound",
         "GET", {}, MovieProblem::Refused, "vid=asked-rebound", false, "127.0.0.1"},
        {"sent here by its site", site, site + "/fail/redirect-loopback.swf?vid=asked-sent", "GET", {}, MovieProblem::Refused,
         "GET 127.0.0.1/v1/res/vidplayer.swf"},
        {"not there", site, site + "/fail/404.swf", "GET", {}, MovieProblem::HttpError, nullptr},
        {"not the web", site, QStringLiteral("file:///etc/passwd"), "GET", {}, MovieProblem::Refused, nullptr},
    };
    for (const Row& row : rows) {
        test::DemoSite::ClearLog();
        QNetworkAccessManager direct;
        direct.setProxy(QNetworkProxy::NoProxy);
        MovieFetch fetch(nullptr, row.resolvesTo ? &direct : nullptr);
        if (row.resolvesTo) {
            fetch.setResolver([&row](const QString&, std::function<void(const QHostInfo&)> answer) {
                QHostInfo info;
                QList<QHostAddress> addresses;
                for (const QString& address : QString::fromLatin1(row.resolvesTo).split(u','))
                    addresses.append(QHostAddress(address));
                info.setAddresses(addresses);
                QTimer::singleShot(0, [answer = std::move(answer), info] { answer(info); });
            });
        }
        QSignalSpy answered(&fetch, &MovieFetch::answered), failed(&fetch, &MovieFetch::failed);
        fetch.Ask({QUrl(row.address), QUrl(row.page), row.method, row.body, "application/x-www-form-urlencoded", row.movieCameFromHere});
        ASSERT_TRUE(QTest::qWaitFor([&] { return !answered.isEmpty() || !failed.isEmpty(); }, 10000)) << row.what;
        const MovieProblem problem = failed.isEmpty() ? MovieProblem::None : failed.at(0).at(0).value<MovieProblem>();
        EXPECT_EQ(problem, row.problem) << row.what;
        if (row.request) {
            EXPECT_EQ(test::DemoSite::Log().contains(QLatin1String(row.request)), row.problem != MovieProblem::Refused)
                << row.what << ": " << test::DemoSite::Log().toStdString();
        }
    }
}

// A loopback server over TLS, with the certificate it is given: it answers
// every request with `answer` and counts the requests that reached it.
class TlsSite {
public:
    TlsSite(const QString& folder, const QString& certificate, const QHostAddress& at, QByteArray answer)
    {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        QFile cert(folder + u'/' + certificate + QStringLiteral(".crt")), key(folder + u'/' + certificate + QStringLiteral(".key"));
        if (!cert.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
            return;
        tls.setLocalCertificate(QSslCertificate(&cert));
        tls.setPrivateKey(QSslKey(&key, QSsl::Ec));
        server_.setSslConfiguration(tls);
        QObject::connect(&server_, &QSslServer::pendingConnectionAvailable, [this, answer] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                auto request = std::make_shared<QByteArray>();
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request, answer] {
                    *request += socket->readAll();
                    if (!request->contains("\r\n\r\n"))
                        return;
                    ++requests;
                    socket->write(answer);
                    socket->disconnectFromHost();
                });
            }
        });
        server_.listen(at);
    }
    quint16 port() const { return server_.serverPort(); }
    int requests = 0;

private:
    QSslServer server_;
};

// Makes a test CA (ca.crt), a certificate it signs for each name (NAME.crt
// and .key), and one that signs itself (self.crt and .key), with openssl, in `folder`.
bool MakeCertificates(const QString& folder, const QStringList& signedNames, const QString& selfSignedName)
{
    QProcess openssl;
    openssl.setWorkingDirectory(folder);
    openssl.start(QStringLiteral("bash"), {QStringLiteral("-euc"), QStringLiteral(R"(
        ec='-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes'
        openssl req -x509 -days 2 $ec -keyout ca.key -out ca.crt -subj '/CN=Vidlatch test CA' \
          -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign
        for name in %1; do
          echo "subjectAltName=DNS:$name" > "$name.ext"
          openssl req $ec -keyout "$name.key" -out "$name.csr" -subj "/CN=$name"
          openssl x509 -req -in "$name.csr" -CA ca.crt -CAkey ca.key -CAcreateserial -days 2 -out "$name.crt" -extfile "$name.ext"
        done
        openssl req -x509 -days 2 $ec -keyout self.key -out self.crt -subj "/CN=%2" -addext "subjectAltName=DNS:%2")")
                                          .arg(signedNames.join(u' '), selfSignedName)});
    return openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0;
}

// Over TLS the fetch connects to the address it judged, and checks the
// server's certificate against the name asked, by a CA this machine trusts.
TEST(MovieFetch, OverTlsTheCertificateIsTheNames)
{
    const QString name = QStringLiteral("tls.vidsite.example");
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(MakeCertificates(folder.path(), {name, QStringLiteral("other.vidsite.example")}, name)) << "openssl could not make them";
    QSslConfiguration trusted = QSslConfiguration::defaultConfiguration();
    const QSslConfiguration before = trusted;
    trusted.addCaCertificates(folder.filePath(QStringLiteral("ca.crt")));
    QSslConfiguration::setDefaultConfiguration(trusted);

    struct Row {
        const char* what; QString certificate; const char* at; QByteArray answer;
        MovieProblem problem;  // None: answered
        bool reached;          // the request reached the server
    };
    const QByteArray ok = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
    const Row rows[] = {
        {"its name's certificate", name, "127.0.0.1", ok, MovieProblem::None, true},
        {"... over IPv6", name, "::1", ok, MovieProblem::None, true},
        {"another name's certificate", QStringLiteral("other.vidsite.example"), "127.0.0.1", ok, MovieProblem::Unreachable, false},
        {"a certificate that signs itself", QStringLiteral("self"), "127.0.0.1", ok, MovieProblem::Unreachable, false},
        {"sent on to http", name, "127.0.0.1",
         "HTTP/1.1 302 Found\r\nLocation: http://tls.vidsite.example/x\r\nContent-Length: 0\r\nConnection: close\r\n\r\n",
         MovieProblem::Refused, true},
    };
    for (const Row& row : rows) {
        TlsSite site(folder.path(), row.certificate, QHostAddress(QLatin1String(row.at)), row.answer);
        ASSERT_NE(site.port(), 0) << row.what;
        const QString origin = QStringLiteral("https://%1:%2").arg(name).arg(site.port());
        QNetworkAccessManager direct;
        direct.setProxy(QNetworkProxy::NoProxy);
        MovieFetch fetch(nullptr, &direct);
        fetch.setResolver([&row](const QString&, std::function<void(const QHostInfo&)> answer) {
            QHostInfo info;
            info.setAddresses({QHostAddress(QLatin1String(row.at))});
            QTimer::singleShot(0, [answer = std::move(answer), info] { answer(info); });
        });
        QSignalSpy answered(&fetch, &MovieFetch::answered), failed(&fetch, &MovieFetch::failed);
        fetch.Ask({QUrl(origin + QStringLiteral("/x.xml")), QUrl(origin), "GET", {}, {}, true});
        ASSERT_TRUE(QTest::qWaitFor([&] { return !answered.isEmpty() || !failed.isEmpty(); }, 30000)) << row.what;
        EXPECT_EQ(failed.isEmpty() ? MovieProblem::None : failed.at(0).at(0).value<MovieProblem>(), row.problem) << row.what;
        EXPECT_EQ(site.requests > 0, row.reached) << row.what;
    }
    QSslConfiguration::setDefaultConfiguration(before);
}

// The stall watch and the deadline judge what the site has sent, on clocks
// the test runs out once it has sent it, whatever the machine's speed:
// fewer than StallBytes between two looks is a stall; a site that keeps
// sending is cut by the deadline alone; a slow whole movie comes.
TEST(MovieFetch, ItsClocksJudgeWhatTheSiteSent)
{
    struct Row {
        const char* what; const char* kind;
        qint64 sent;    // what has come when the stall watch looks (0: the request has reached the site)
        bool deadline;  // ... then the deadline runs out
        MovieProblem problem; int status;  // None: fetched
    };
    const Row rows[] = {
        {"half a movie, then nothing", "stall", 1, false, MovieProblem::TimedOut, 200},
        {"a byte a second", "drip", 2, false, MovieProblem::TimedOut, 200},
        {"no answer at all", "silent", 0, false, MovieProblem::TimedOut, 0},
        {"a trickle that never ends", "trickle", MovieFetch::StallBytes, true, MovieProblem::TooSlow, 200},
        {"slow but within the limit", "slow", MovieFetch::StallBytes, false, MovieProblem::None, 0},
    };
    for (const Row& row : rows) {
        const QString address = QStringLiteral("static.vidsite.example/fail/%1.swf?vid=Tb7_wE3-pQs").arg(QLatin1String(row.kind));
        test::DemoSite::ClearLog();
        MovieFetch fetch;
        auto* stall = fetch.findChild<RuleClock*>(QStringLiteral("stall"));
        auto* deadline = fetch.findChild<RuleClock*>(QStringLiteral("deadline"));
        ASSERT_TRUE(stall && deadline);
        stall->Drive();
        deadline->Drive();
        qint64 received = 0;
        QObject::connect(&fetch, &MovieFetch::progress, [&received](qint64 bytes, qint64) { received = bytes; });
        QSignalSpy fetched(&fetch, &MovieFetch::fetched), failed(&fetch, &MovieFetch::failed);
        fetch.Start(QUrl(QStringLiteral("http://") + address));
        ASSERT_TRUE(test::WaitUntil([&] { return row.sent > 0 ? received >= row.sent : test::DemoSite::Log().contains(address); }, 30000))
            << row.what;
        EXPECT_TRUE(stall->RunOut()) << row.what;
        if (row.deadline) {
            ASSERT_TRUE(test::QueuedDelivered()) << row.what;
            EXPECT_TRUE(failed.isEmpty()) << row.what << ": the site kept sending, and was taken for stalled";
            EXPECT_TRUE(deadline->RunOut()) << row.what;
        }
        ASSERT_TRUE(test::WaitUntil([&] { return !fetched.isEmpty() || !failed.isEmpty(); }, 30000)) << row.what;
        const MovieProblem problem = failed.isEmpty() ? MovieProblem::None : failed.at(0).at(0).value<MovieProblem>();
        EXPECT_EQ(problem, row.problem) << row.what;
        EXPECT_EQ(failed.isEmpty() ? 0 : failed.at(0).at(1).toInt(), row.status) << row.what;
    }
}

} // namespace
} // namespace vidlatch::platform
