#pragma once

class QWebEngineProfile;

namespace vidlatch::platform {

// The one off-the-record profile of every web view of the program: no
// cookies, cache or history reach the disk, and page downloads are refused.
QWebEngineProfile* BrowserProfile();

} // namespace vidlatch::platform
