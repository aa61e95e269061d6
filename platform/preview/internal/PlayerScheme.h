#pragma once

#include "SchemeNames.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QWebEngineUrlSchemeHandler>

class QNetworkAccessManager;

namespace vidlatch::platform {

// Registers PlayerScheme (SchemeNames.h). Must run before the QApplication is made.
void RegisterPlayerScheme();

class PlayerSchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    explicit PlayerSchemeHandler(QString playerFolder, QObject* parent = nullptr);
    void requestStarted(QWebEngineUrlRequestJob* job) override;

    // Holds `movie` for one request of the address returned; a movie not
    // taken is dropped by Withdraw or when the next one is offered under the
    // same `owner` (one preview, one movie at a time).
    QString Offer(const void* owner, QByteArray movie);
    void Withdraw(const void* owner);

private:
    struct Offered { QString token; QByteArray movie; };
    QString folder_;
    // What movies ask goes out on one network, made at the first request, its
    // connections kept between requests.
    QNetworkAccessManager* network_ = nullptr;
    QHash<const void*, Offered> offered_;
    quint64 lastToken_ = 0;
};

} // namespace vidlatch::platform
