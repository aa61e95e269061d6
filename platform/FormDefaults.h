#pragma once

#include <QString>

namespace vidlatch::platform {

// Every window's default font: AR PL UMing CN at 12 pixels, drawn without
// anti-aliasing, which gives the character cells the layouts assume.
inline constexpr char DefaultFontFamily[] = "AR PL UMing CN";
inline constexpr int DefaultFontPixels = 12;

// What must be settled before the QApplication exists: the scheme that
// serves the Flash preview's player, no shader cache on disk and no session
// bus launched where none runs (the program writes no files and leaves no
// process behind), and how the heap hands memory back.
void PrepareApplication();

// Sets the default font, and the texts in the user's language: English
// where it comes first, Simplified Chinese otherwise. A missing font family
// falls back to the nearest one Qt finds.
void ApplyFormDefaults();

} // namespace vidlatch::platform
