#include "Inet.h"

#include <QUrl>

#include <curl/curl.h>

#include <memory>
#include <string>

namespace vidlatch::platform {
namespace {

size_t KeepBody(char* data, size_t size, size_t count, void* userdata)
{
    auto* body = static_cast<std::string*>(userdata);
    const size_t bytes = size * count;
    const size_t room = static_cast<size_t>(Inet::MaxBody) - body->size();
    body->append(data, std::min(bytes, room));
    // Stop the transfer once the cap is reached: only the start is needed.
    return bytes <= room ? bytes : 0;
}

void EnsureCurlReady()
{
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)ready;
}

} // namespace

QString Inet::OpenURL(const QString& address)
{
    EnsureCurlReady();
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl || address.trimmed().isEmpty())
        return {};

    // The port named in the address wins; otherwise the control's remote port.
    const QUrl parsed = QUrl::fromUserInput(address);
    const bool namesPort = parsed.isValid() && parsed.port() != -1;
    const QByteArray url = address.toUtf8();

    std::string body;
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.constData());
    curl_easy_setopt(curl.get(), CURLOPT_DEFAULT_PROTOCOL, "http");
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    if (!namesPort)
        curl_easy_setopt(curl.get(), CURLOPT_PORT, static_cast<long>(RemotePort));
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, static_cast<long>(RequestTimeout));
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_USERAGENT, "Vidlatch/4.0");
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, KeepBody);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &body);

    const CURLcode result = curl_easy_perform(curl.get());
    const bool capped = result == CURLE_WRITE_ERROR && body.size() == static_cast<size_t>(MaxBody);
    if (result != CURLE_OK && !capped)
        return {};
    return QString::fromUtf8(body.data(), static_cast<qsizetype>(body.size()));
}

} // namespace vidlatch::platform
