#pragma once

class QWebEnginePage;

namespace vidlatch::platform {

// Refuses at once, never leaving it pending, every permission `page` asks
// for: location, notifications, camera, microphone, the screen, the mouse
// pointer and whatever the engine adds. Qt 6.8 replaced the request's API;
// the version built against chooses the one used.
void RefuseEveryPermission(QWebEnginePage& page);

} // namespace vidlatch::platform
