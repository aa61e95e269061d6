#pragma once

class QWebEngineProfile;

namespace vidlatch::platform {

// The off-the-record profile of every browsing web view: no cookies, cache or
// history reach the disk, page downloads are refused, and no request reaches
// anything but the video site and the forum (MayRequest): not another site,
// nor the program's own files (its Qt resources, the preview's player).
QWebEngineProfile* BrowserProfile();

// A new off-the-record profile: in memory only, no spell checking, downloads
// refused. The browsers' profile and the preview's start from it.
QWebEngineProfile* NewOffTheRecordProfile();

} // namespace vidlatch::platform
