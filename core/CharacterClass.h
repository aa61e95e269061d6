#pragma once

#include "CodeUnits.h"

#include <cstddef>
#include <type_traits>

namespace vidlatch::text {

struct CodePoint {
    char32_t value;
    std::size_t units;  // how many code units it takes
};

// The code point that starts at `at` (before the end): a surrogate pair is
// one, a lone surrogate stands for itself, and a byte is one unit of its own.
template <CodeUnit Unit>
[[nodiscard]] constexpr CodePoint CodePointAt(TextView<Unit> text, std::size_t at)
{
    const auto unit = static_cast<char32_t>(static_cast<std::make_unsigned_t<Unit>>(text[at]));
    if constexpr (sizeof(Unit) == 2) {
        if (unit >= 0xD800 && unit <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF)
            return {0x10000 + ((unit - 0xD800) << 10) + (text[at + 1] - 0xDC00u), 2};
    }
    return {unit, 1};
}

// Whether `codePoint` is in Unicode's general category Cc, Cf, Zl or Zp
// (Unicode 15): a control, a line or paragraph separator, or a format
// character that shows nothing itself but hides, joins or reorders the text
// around it (direction marks and overrides, zero-width spaces, the BOM).
[[nodiscard]] bool IsControlOrFormat(char32_t codePoint);

} // namespace vidlatch::text
