#pragma once

class QWebEngineProfile;

namespace vidlatch::platform {

class PlayerSchemeHandler;

// What the preview needs settled before the QApplication exists: its scheme.
void PreparePreviewProcess();

// The preview's own off-the-record profile, the only one that serves the
// Flash player's files and the movies the program fetched: pages in the
// browsers never see them.
QWebEngineProfile* PreviewProfile();
PlayerSchemeHandler& PreviewPlayerScheme();

} // namespace vidlatch::platform
