#pragma once

#include "ProgramLanguage.h"

#include <QFont>
#include <QString>

namespace vidlatch::platform {

// Every window's default font, sized for the layouts' cells: 12 pixels for a
// Chinese character, 6 for an ASCII one, 12 for a line. Chinese: AR PL UMing
// at 12 pixels without anti-aliasing, in the face of the characters' region
// (CN; TW and HK for Traditional, whose shapes differ). English: DejaVu Sans,
// whose Latin letters UMing's are not, smoothed as the desktop has it; at 11
// pixels its letters take those 6-pixel cells and its lines fit in 12.
inline constexpr char DefaultFontFamily[] = "AR PL UMing CN";
inline constexpr char TaiwanFontFamily[] = "AR PL UMing TW";
inline constexpr char HongKongFontFamily[] = "AR PL UMing HK";
inline constexpr int DefaultFontPixels = 12;
inline constexpr char EnglishFontFamily[] = "DejaVu Sans";
inline constexpr int EnglishFontPixels = 11;
[[nodiscard]] QFont FormFont(ProgramLanguage language);

// Addresses in both languages: a monospace whose l, 1, I, O and 0 differ,
// so that a retyped address is read right. At 10 pixels its ASCII cells are
// the layouts' 6 pixels.
inline constexpr char AddressFontFamily[] = "DejaVu Sans Mono";
inline constexpr int AddressFontPixels = 10;
[[nodiscard]] QFont AddressFont(int pixels = AddressFontPixels);

// Sets the texts in the user's language (LanguageFor) and that language's
// default font. A missing font family falls back to the nearest one Qt finds.
void ApplyFormDefaults();

} // namespace vidlatch::platform
