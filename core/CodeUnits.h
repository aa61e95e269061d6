#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>

namespace vidlatch {

// The core runs on UTF-16 code units, and on bytes for ASCII text: there every
// byte position is the UTF-16 position, so one rule gives the same answers.
// Bytes of any other text would be counted as units of their own.
template <typename Unit>
concept CodeUnit = std::same_as<Unit, char16_t> || std::same_as<Unit, char>;

template <CodeUnit Unit>
using TextView = std::basic_string_view<Unit>;

template <CodeUnit Unit>
using Text = std::basic_string<Unit>;

namespace detail {

template <const std::u16string_view& Source>
constexpr std::array<char, Source.size()> Narrow()
{
    std::array<char, Source.size()> bytes{};
    for (std::size_t i = 0; i < Source.size(); ++i) {
        // A throw is no constant expression: a constant outside ASCII fails
        // to compile instead of being cut.
        if (Source[i] >= 0x80)
            throw "the byte path takes ASCII constants only";
        bytes[i] = static_cast<char>(Source[i]);
    }
    return bytes;
}

template <const std::u16string_view& Source>
inline constexpr std::array<char, Source.size()> Narrowed = Narrow<Source>();

} // namespace detail

// An ASCII constant of the core in code units of `Unit`.
template <CodeUnit Unit, const std::u16string_view& Source>
inline constexpr TextView<Unit> In = [] {
    if constexpr (std::same_as<Unit, char16_t>)
        return Source;
    else
        return TextView<Unit>(detail::Narrowed<Source>.data(), Source.size());
}();

} // namespace vidlatch
