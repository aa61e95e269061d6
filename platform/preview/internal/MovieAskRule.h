#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace vidlatch::platform {

// What a movie's page may ask the program to fetch for it, read from the
// address of the player scheme's "net" that the page asks: the program then
// builds the request itself, from these and nothing else.
struct MovieAsk {
    QUrl address;            // http or https
    QByteArray method;       // GET or POST
    QByteArray contentType;  // of the body: empty, or one line of printable ASCII
    QByteArray body;         // POST only, at most MaxAskBodyBytes
};

// A body larger than this is no variables a movie sends.
inline constexpr qsizetype MaxAskBodyBytes = qsizetype{1} << 20;
// An address longer than this is no variables a movie sends by GET: the
// browsers the Flash player ran in took far less, and each ask's address is
// held in the page, in the program and on its way.
inline constexpr qsizetype MaxAskAddressLength = qsizetype{64} << 10;
// A media type longer than this is none.
inline constexpr qsizetype MaxAskTypeBytes = 256;

// Why an ask is refused (None: it is not). Nothing is cleaned: an ask with
// anything wrong is refused whole.
enum class AskRefusal {
    None,
    NotThisPage,  // without the key of the page document it was given to
    Address,      // not an http or https address, or longer than MaxAskAddressLength
    Method,       // not GET or POST
    MediaType,    // more than one line, a control character, or too long
    Body,         // not base64, over MaxAskBodyBytes, or with a GET
};

struct AskReading {
    AskRefusal refusal = AskRefusal::None;
    MovieAsk ask;  // where not refused
};

// Reads the ask in `request` ("net/?key=&url=&method=&type=&body="), made by
// the page whose key is `pageKey`.
[[nodiscard]] AskReading ReadMovieAsk(const QUrl& request, const QString& pageKey);

} // namespace vidlatch::platform
