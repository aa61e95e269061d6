#pragma once

#include <functional>

class QObject;
class QUrl;

namespace vidlatch::platform {

// Hands a web page to the user's own browser, which the desktop runs, and
// tells whether the desktop took it: `told(opened)` runs on `context`'s
// thread once the desktop has answered, and never once `context` is gone.
// Only http and https addresses are handed over; any other is refused at
// once. (QDesktopServices::openUrl says only that the desktop's opener has
// started: here its exit status says whether it found a browser.)
void OpenInUsersBrowser(const QUrl& url, QObject* context, std::function<void(bool opened)> told);

} // namespace vidlatch::platform
