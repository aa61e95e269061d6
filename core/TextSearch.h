#pragma once

#include <string>
#include <string_view>

namespace vidlatch::text {

inline constexpr std::size_t npos = std::u16string_view::npos;

// Position of the first `unit` at or after `from`, or npos.
std::size_t Find(std::u16string_view text, char16_t unit, std::size_t from = 0);

// Position of the first exact, case-sensitive match of `needle` at or after
// `from`, or npos. Same answers as std::u16string_view::find, found faster.
std::size_t Find(std::u16string_view text, std::u16string_view needle, std::size_t from = 0);

inline bool Contains(std::u16string_view text, std::u16string_view needle)
{
    return Find(text, needle) != npos;
}

// One left-to-right pass over non-overlapping matches; text brought together by
// a removal is not searched again ("vivid=d=" less "vid=" is "vid=").
std::u16string RemoveEvery(std::u16string_view text, std::u16string_view needle);

// The last `count` code units, or the whole text when it is shorter.
inline std::u16string_view LastUnits(std::u16string_view text, std::size_t count)
{
    return text.size() > count ? text.substr(text.size() - count) : text;
}

} // namespace vidlatch::text
