#pragma once

#include "ProgramText.h"

#include <string>
#include <string_view>

namespace vidlatch {

// Message-box styles: icon and buttons of a notice, as the box takes them.
enum class NoticeStyle : int {
    Warning = 48,      // exclamation, OK
    Information = 64,  // information, OK
    Question = 67,     // information, Yes / No / Cancel
};

// Every notice box of the program carries this title.
inline constexpr std::u16string_view NoticeTitle = VIDLATCH_TEXT("Vidlatch", "QuorinVelmo提示");

struct Notice {
    std::u16string text;
    NoticeStyle style;

    bool operator==(const Notice&) const = default;
};

} // namespace vidlatch
