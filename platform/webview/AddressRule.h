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
    Other,        // data:, blob:, javascript:, file:, mailto:, smb: and every other scheme
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

// Whether a browsing page may ask for `url`, as a frame or any part of a page
// (script, picture, style, font, media, WebSocket, worker, prefetch, icon):
// only the site's hosts are reached, and content the engine holds already
// (data:, blob:, about:) takes nothing out.
[[nodiscard]] bool MayRequest(const QUrl& url);

// What a browser's main frame may show: the site's pages and the blank page.
// (The program's own empty page is the browser's to allow, once.)
[[nodiscard]] inline bool MayShowInMainFrame(const QUrl& url)
{
    const AddressKind kind = KindOfAddress(url);
    return kind == AddressKind::Site || kind == AddressKind::Blank;
}

// A web page, on the site or elsewhere: the only addresses the user's own
// browser is ever given.
[[nodiscard]] inline bool IsWebAddress(const QUrl& url)
{
    const AddressKind kind = KindOfAddress(url);
    return kind == AddressKind::Site || kind == AddressKind::Elsewhere;
}

} // namespace vidlatch::platform
