#pragma once

namespace vidlatch::platform {

// What must be settled in the process before the QApplication exists: the
// scheme that serves the Flash preview's player, no shader cache on disk and
// no session bus launched where none runs (the program writes no files and
// leaves no process behind), how the heap hands memory back, and web pages
// open to screen readers.
void PrepareApplication();

} // namespace vidlatch::platform
