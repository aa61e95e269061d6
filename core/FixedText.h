#pragma once

#include <cstddef>
#include <string_view>

namespace vidlatch {

// Compile-time UTF-16 text built from pieces, so that each host name is written
// once and every address made from it follows when it changes.
template <std::size_t Capacity>
struct FixedText {
    char16_t data[Capacity]{};
    std::size_t size = 0;

    constexpr operator std::u16string_view() const { return {data, size}; }
    constexpr std::u16string_view view() const { return {data, size}; }
};

template <std::size_t Capacity = 256, typename... Pieces>
constexpr FixedText<Capacity> Concat(const Pieces&... pieces)
{
    FixedText<Capacity> text;
    auto append = [&text](std::u16string_view piece) {
        for (char16_t unit : piece) {
            // Writing past Capacity is not a constant expression, so an
            // oversized constant fails to compile instead of being cut.
            text.data[text.size++] = unit;
        }
    };
    (append(std::u16string_view(pieces)), ...);
    return text;
}

} // namespace vidlatch
