#pragma once

class QUrl;

namespace vidlatch::platform {

// Addresses longer than this are no page a site gives: a page that makes one
// only wants to fill the program's memory (every page shown keeps its
// address in the history, the field and the watch).
inline constexpr int MaxAddressLength = 64 * 1024;

// What an address in a browsing page is to the program.
enum class AddressKind {
    Site,         // http and https to the video site's hosts or the program's forum: what the browsers are for
    Elsewhere,    // http and https to any other host: the user's own browser shows those
    Blank,        // about:blank
    PrivateFile,  // the program's own files: its Qt resources, the preview's player
    TooLong,      // longer than MaxAddressLength: refused, whatever its scheme
    Other,        // data:, javascript:, file: and every other scheme
};

[[nodiscard]] AddressKind KindOfAddress(const QUrl& url);

// No browsing page may load, frame or navigate to one of these.
[[nodiscard]] inline bool IsPrivateFile(const QUrl& url) { return KindOfAddress(url) == AddressKind::PrivateFile; }

// No page of the browsers may load one of these, nor frame one.
[[nodiscard]] inline bool IsRefusedAddress(const QUrl& url)
{
    const AddressKind kind = KindOfAddress(url);
    return kind == AddressKind::PrivateFile || kind == AddressKind::TooLong;
}

// A web page, on the site or elsewhere.
[[nodiscard]] inline bool IsWebAddress(const QUrl& url)
{
    const AddressKind kind = KindOfAddress(url);
    return kind == AddressKind::Site || kind == AddressKind::Elsewhere;
}

// Whether a page may have `url` opened as a new window in the other
// browser: pages of the site only. A page must not put content of its own
// (data:), script (javascript:) or the program's and the machine's files into
// the other browser under the other's address; a blank page, or none, has
// nothing to show without its opener (the engine reports window.open() with
// no address as the blank page, on some versions).
[[nodiscard]] inline bool IsOpenableAddress(const QUrl& url) { return KindOfAddress(url) == AddressKind::Site; }

} // namespace vidlatch::platform
