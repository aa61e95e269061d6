#include "JudgedConnection.h"

#include "MovieRedirectRule.h"

#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <utility>

namespace vidlatch::platform {

JudgedConnection::JudgedConnection(QNetworkAccessManager* network, QObject* parent)
    : QObject(parent), network_(network), resolver_([this](const QString& host, std::function<void(const QHostInfo&)> answer) {
          QHostInfo::lookupHost(host, this, std::move(answer));
      })
{
}

void JudgedConnection::setCookieJar(QNetworkCookieJar* jar)
{
    jar_ = jar;
}

JudgedConnection::Rule JudgedConnection::NotedOnly()
{
    return {[](const std::optional<QList<QHostAddress>>&) { return true; }, false};
}

void JudgedConnection::Close()
{
    ++attempt_;
    untried_.clear();
}

void JudgedConnection::Open(Request request, Rule rule)
{
    Close();
    request_ = std::move(request);
    if (!network_) {
        // Said once the caller has its answer in hand, as any failure is.
        QMetaObject::invokeMethod(this, [this, attempt = attempt_] {
            if (attempt == attempt_)
                emit unreachable();
        }, Qt::QueuedConnection);
        return;
    }
    QNetworkProxyFactory* proxies = network_->proxyFactory();
    const bool proxied = (proxies ? proxies->queryProxy(QNetworkProxyQuery(request_.to)).value(0) : network_->proxy()).type() !=
                         QNetworkProxy::NoProxy;
    if (proxied && !rule.throughProxy) {
        // Nothing to judge, and the proxy connects: no look-up to wait for.
        landedHere_ = LandsHere(request_.to, std::nullopt);
        return Send(std::nullopt);
    }
    // An answer may come when the connection is long gone: it then does nothing.
    resolver_(request_.to.host(), [this, self = QPointer<JudgedConnection>(this), attempt = attempt_, proxied,
                                   judge = std::move(rule.judge)](const QHostInfo& answer) {
        if (!self || attempt != attempt_)
            return;  // closed meanwhile
        std::optional<QList<QHostAddress>> resolved;
        if (answer.error() == QHostInfo::NoError && !answer.addresses().isEmpty())
            resolved = answer.addresses();
        else if (!proxied)
            return emit unreachable();
        if (!judge(resolved))
            return emit refused();
        if (!network_)
            return emit unreachable();  // its page went while it looked up
        landedHere_ = LandsHere(request_.to, resolved);
        // Through a proxy the proxy connects, by name: the user's choice.
        untried_ = proxied ? QList<QHostAddress>() : *resolved;
        Send(proxied ? std::nullopt : std::optional<QHostAddress>(untried_.takeFirst()));
    });
}

namespace {

// What the Host header says of `url`: its name (or address), and its port where it has one.
QByteArray HostHeader(const QUrl& url)
{
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (url.port() != -1)
        host += ':' + QByteArray::number(url.port());
    return host;
}

// The request never reached a server at that address: another may answer.
bool NeverConnected(QNetworkReply::NetworkError error)
{
    return error == QNetworkReply::ConnectionRefusedError || error == QNetworkReply::HostNotFoundError ||
           error == QNetworkReply::UnknownNetworkError || error == QNetworkReply::TemporaryNetworkFailureError ||
           error == QNetworkReply::NetworkSessionFailedError;
}

} // namespace

void JudgedConnection::Send(const std::optional<QHostAddress>& at)
{
    QNetworkRequest request(request_.to);
    if (at) {
        // To the address judged, for the name asked.
        QUrl address = request_.to;
        address.setHost(at->toString());
        request.setUrl(address);
        request.setRawHeader("Host", HostHeader(request_.to));
        request.setPeerVerifyName(request_.to.host(QUrl::FullyDecoded));
        request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);  // its :authority would be the address
    }
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    if (jar_) {
        const QList<QNetworkCookie> cookies = jar_->cookiesForUrl(request_.to);
        if (!cookies.isEmpty())
            request.setHeader(QNetworkRequest::CookieHeader, QVariant::fromValue(cookies));
    }
    if (!request_.accept.isEmpty())
        request.setRawHeader("Accept", request_.accept);
    if (!request_.contentType.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, request_.contentType);
    // Each redirect is the caller's to judge, and to connect where it was judged.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // What a compressed answer inflates to is the caller's to hold to its
    // limit, and to call too large, as it is: Qt's own check would end it
    // sooner as an error of the connection.
    request.setDecompressedSafetyCheckThreshold(-1);
    emit sent(network_->sendCustomRequest(request, request_.method, request_.body));
}

bool JudgedConnection::TryNext(QNetworkReply* reply)
{
    if (untried_.isEmpty() || !network_ || reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 0 ||
        !NeverConnected(reply->error()))
        return false;
    Send(untried_.takeFirst());
    return true;
}

void JudgedConnection::KeepCookies(QNetworkReply* reply)
{
    if (jar_)
        jar_->setCookiesFromUrl(reply->header(QNetworkRequest::SetCookieHeader).value<QList<QNetworkCookie>>(), request_.to);
}

} // namespace vidlatch::platform
