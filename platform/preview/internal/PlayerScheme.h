#pragma once

#include "MovieFetch.h"
#include "PageAsks.h"
#include "SchemeNames.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlSchemeHandler>

namespace vidlatch::platform {

// Registers PlayerScheme (SchemeNames.h). Must run before the QApplication is made.
void RegisterPlayerScheme();

class PlayerSchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    explicit PlayerSchemeHandler(QString playerFolder, QObject* parent = nullptr);
    void requestStarted(QWebEngineUrlRequestJob* job) override;

    // The page document that `owner` (one preview) builds now: the key
    // returned is its own, which its asks and its movies' addresses carry;
    // those of the documents before are good no more. Its asks keep cookies
    // of their own.
    [[nodiscard]] QString AdmitPage(const void* owner);
    // A new movie in the owner's page, or its sentence: the asks of the
    // movie before end, and the new movie's start with no cookies, under
    // the key returned (the page's asks carry it from now on). Its own
    // origin leads where it did when the movie came (`cameFromHere`: to
    // this machine or its network), or its asks there are refused.
    [[nodiscard]] QString NewMovie(const void* owner, bool cameFromHere);
    // Holds `movie` for one request of the address returned, by the owner's
    // page; a movie not taken is dropped by Withdraw or when the next one is
    // offered under the same `owner` (one preview, one movie at a time).
    [[nodiscard]] QString Offer(const void* owner, QByteArray movie);
    void Withdraw(const void* owner);
    // The owner is gone: its page's key and asks with it.
    void Forget(const void* owner);

    // How the asks' fetches look names up, from now on (the system
    // resolver's, unless a test says).
    void setResolver(MovieFetch::Resolver resolver) { resolver_ = std::move(resolver); }

private:
    struct Admitted {
        QString key;
        QString token;     // of the movie offered, if one is
        QByteArray movie;
        PageAsks* asks = nullptr;  // the handler's, until the page is forgotten
    };
    PageAsks* AskingPage(const QString& askKey);
    void ServeMovie(QWebEngineUrlRequestJob* job, const QString& token);
    void ServeAsk(QWebEngineUrlRequestJob* job);
    QString folder_;
    QHash<const void*, Admitted> admitted_;
    MovieFetch::Resolver resolver_;
};

} // namespace vidlatch::platform
