#include "MovieAskRule.h"

#include <QUrlQuery>

#include <algorithm>

namespace vidlatch::platform {
namespace {

bool IsOneLineOfText(const QByteArray& text)
{
    return text.size() <= MaxAskTypeBytes &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
}

} // namespace

AskReading ReadMovieAsk(const QUrl& request, const QString& pageKey)
{
    const QUrlQuery query(request);
    const auto value = [&](const char* name) { return query.queryItemValue(QLatin1String(name), QUrl::FullyDecoded); };
    if (pageKey.isEmpty() || value("key") != pageKey)
        return {AskRefusal::NotThisPage, {}};
    MovieAsk ask;
    const QString address = value("url");
    if (address.size() > MaxAskAddressLength)
        return {AskRefusal::Address, {}};
    ask.address = QUrl(address, QUrl::StrictMode);
    if (!ask.address.isValid() || (ask.address.scheme() != QLatin1String("http") && ask.address.scheme() != QLatin1String("https")))
        return {AskRefusal::Address, {}};
    ask.method = value("method").toLatin1();
    if (ask.method != "GET" && ask.method != "POST")
        return {AskRefusal::Method, {}};
    const QString type = value("type");
    ask.contentType = type.toLatin1();
    if (type.size() != ask.contentType.size() || !IsOneLineOfText(ask.contentType))
        return {AskRefusal::MediaType, {}};
    // Judged before it is decoded: base64 is a third longer than its bytes.
    const QString body = value("body");
    if (body.size() > (MaxAskBodyBytes + 2) / 3 * 4)
        return {AskRefusal::Body, {}};
    QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(body.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() > MaxAskBodyBytes || (ask.method == "GET" && !decoded.decoded.isEmpty()))
        return {AskRefusal::Body, {}};
    ask.body = std::move(decoded.decoded);
    return {AskRefusal::None, std::move(ask)};
}

} // namespace vidlatch::platform
