#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <optional>

class QHostInfo;
class QNetworkAccessManager;
class QNetworkCookieJar;
class QNetworkReply;

namespace vidlatch::platform {

// One request of a fetch, sent only where its name was judged to lead: the
// name is looked up, every address it leads to judged, and the request sent
// to the first of them, then to the next where one does not connect, never
// to the name looked up again. Its Host header, the certificate it takes
// and its cookies are the name's. Through a proxy the proxy connects, by
// name. How the answer is read is the caller's.
class JudgedConnection : public QObject {
    Q_OBJECT

public:
    struct Request {
        QUrl to;
        QByteArray method = "GET";
        QByteArray body;
        QByteArray contentType;
        QByteArray accept;  // none: the network's
    };
    // Whether a request may go where the resolver says its name leads (none:
    // it knows no such name, and a proxy will resolve it).
    using Judge = std::function<bool(const std::optional<QList<QHostAddress>>&)>;
    struct Rule {
        Judge judge;
        // Whether it is judged where a proxy connects (false: where it leads
        // is only noted, and the proxy is not kept waiting for a look-up).
        bool throughProxy = true;
    };
    // The rule of an address whose way is only noted: the site's own.
    [[nodiscard]] static Rule NotedOnly();

    // How names are looked up (the system resolver's, unless a test says).
    using Resolver = std::function<void(const QString& host, std::function<void(const QHostInfo&)> answer)>;

    explicit JudgedConnection(QNetworkAccessManager* network, QObject* parent = nullptr);
    void setResolver(Resolver resolver) { resolver_ = std::move(resolver); }
    // The cookies the requests send and keep from now on (none where null):
    // those of the one they are made for, whatever the network holds by the
    // time they are answered.
    void setCookieJar(QNetworkCookieJar* jar);

    // Sends `request` where `rule` lets it go: `sent` with the reply, or
    // `refused` (it leads where it may not) or `unreachable`, these two
    // always after Open has returned. Abandons the request before.
    void Open(Request request, Rule rule);
    // `reply`, ended with an error, reached no server at its address: it is
    // sent to the next address judged, where there is one (then true).
    [[nodiscard]] bool TryNext(QNetworkReply* reply);
    // Keeps the cookies `reply` set, for the name it was sent for.
    void KeepCookies(QNetworkReply* reply);
    // Nothing of the request goes out from now on: a look-up answered later does nothing.
    void Close();

    // Whether the last address opened led to this machine or its network.
    bool landedHere() const { return landedHere_; }

signals:
    void sent(QNetworkReply* reply);
    void refused();
    void unreachable();

private:
    void Send(const std::optional<QHostAddress>& at);

    // A network shared with other requests may go first (a page's asks end
    // with their page): a request still looking its name up sends nothing.
    QPointer<QNetworkAccessManager> network_;
    QPointer<QNetworkCookieJar> jar_;
    Resolver resolver_;
    Request request_;
    QList<QHostAddress> untried_;  // the addresses judged that it may go on to
    bool landedHere_ = false;
    quint64 attempt_ = 0;  // an answer of an attempt closed since is not heeded
};

} // namespace vidlatch::platform
