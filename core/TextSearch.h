#pragma once

#include "CodeUnits.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vidlatch::text {

inline constexpr std::size_t npos = std::u16string_view::npos;

namespace detail {

#if defined(__SSE2__)
// One 16-byte block of code units: 16 bytes or 8 UTF-16 units. Masks carry a
// bit per byte; only each unit's first bit is kept, and `Shift` turns a bit's
// place into a unit position.
template <CodeUnit Unit>
struct Block {
    static constexpr std::size_t Units = 16 / sizeof(Unit);
    static constexpr unsigned UnitBits = sizeof(Unit) == 1 ? 0xFFFFu : 0x5555u;
    static constexpr int Shift = sizeof(Unit) == 1 ? 0 : 1;

    static __m128i Splat(Unit unit)
    {
        if constexpr (sizeof(Unit) == 1)
            return _mm_set1_epi8(static_cast<char>(unit));
        else
            return _mm_set1_epi16(static_cast<short>(unit));
    }

    static unsigned Matches(const Unit* at, __m128i wanted)
    {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i equal = sizeof(Unit) == 1 ? _mm_cmpeq_epi8(units, wanted) : _mm_cmpeq_epi16(units, wanted);
        return static_cast<unsigned>(_mm_movemask_epi8(equal)) & UnitBits;
    }

    static std::size_t FirstUnit(unsigned mask) { return static_cast<std::size_t>(__builtin_ctz(mask)) >> Shift; }

    // Clears the bits of the units before `skip` in a block.
    static unsigned From(unsigned mask, std::size_t skip) { return mask & (~0u << (skip << Shift)); }
};
#endif

// Whether `count` units at `a` and `b` are the same. Needles are a few units
// long: a call to memcmp costs more than comparing them in place.
template <CodeUnit Unit>
[[gnu::always_inline]] inline bool SameUnits(const Unit* a, const Unit* b, std::size_t count)
{
    const std::size_t bytes = count * sizeof(Unit);
    const auto* x = reinterpret_cast<const unsigned char*>(a);
    const auto* y = reinterpret_cast<const unsigned char*>(b);
    // Two loads that overlap cover every length between one load and two.
    const auto sameWords = [&](auto word) {
        using Word = decltype(word);
        Word x0, y0, x1, y1;
        std::memcpy(&x0, x, sizeof(Word));
        std::memcpy(&y0, y, sizeof(Word));
        std::memcpy(&x1, x + bytes - sizeof(Word), sizeof(Word));
        std::memcpy(&y1, y + bytes - sizeof(Word), sizeof(Word));
        return ((x0 ^ y0) | (x1 ^ y1)) == 0;
    };
#if defined(__SSE2__)
    if (bytes >= 16 && bytes <= 32) {
        const auto load = [](const unsigned char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
        const __m128i equal = _mm_and_si128(_mm_cmpeq_epi8(load(x), load(y)),
                                            _mm_cmpeq_epi8(load(x + bytes - 16), load(y + bytes - 16)));
        return _mm_movemask_epi8(equal) == 0xFFFF;
    }
#endif
    if (bytes >= 16)
        return std::memcmp(x, y, bytes) == 0;
    if (bytes >= 8)
        return sameWords(std::uint64_t{});
    if (bytes >= 4)
        return sameWords(std::uint32_t{});
    if (bytes >= 2)
        return sameWords(std::uint16_t{});
    return bytes == 0 || *x == *y;
}

} // namespace detail

// Position of the `nth` `unit` (counting from 0) at or after `from`, or npos.
template <CodeUnit Unit>
[[nodiscard, gnu::always_inline]] inline std::size_t FindNth(TextView<Unit> text, std::type_identity_t<Unit> unit,
                                                             std::size_t nth, std::size_t from = 0)
{
    if (from >= text.size())
        return npos;
    const Unit* const t = text.data();
    std::size_t at = from;
#if defined(__SSE2__)
    // Addresses are scanned several times each: a block at a time, and the
    // ragged end as one last block that overlaps the one before.
    using B = detail::Block<Unit>;
    if (text.size() >= B::Units) {
        const __m128i wanted = B::Splat(unit);
        const auto nthIn = [&nth](std::size_t start, unsigned mask) {
            for (; mask != 0; mask &= mask - 1) {
                if (nth-- == 0)
                    return start + B::FirstUnit(mask);
            }
            return npos;
        };
        for (; at + B::Units <= text.size(); at += B::Units) {
            if (const std::size_t hit = nthIn(at, B::Matches(t + at, wanted)); hit != npos)
                return hit;
        }
        if (at == text.size())
            return npos;
        const std::size_t start = text.size() - B::Units;
        return nthIn(start, B::From(B::Matches(t + start, wanted), at - start));
    }
#endif
    for (; at < text.size(); ++at) {
        if (t[at] == unit && nth-- == 0)
            return at;
    }
    return npos;
}

// Position of the first `unit` at or after `from`, or npos.
template <CodeUnit Unit>
[[nodiscard, gnu::always_inline]] inline std::size_t Find(TextView<Unit> text, std::type_identity_t<Unit> unit,
                                                          std::size_t from = 0)
{
    return FindNth<Unit>(text, unit, 0, from);
}

// Position of the first exact, case-sensitive match of `needle` at or after
// `from`, or npos. Same answers as std::basic_string_view::find, found faster.
template <CodeUnit Unit>
[[nodiscard, gnu::always_inline]] inline std::size_t Find(TextView<Unit> text,
                                                          std::type_identity_t<TextView<Unit>> needle,
                                                          std::size_t from = 0)
{
    const std::size_t n = needle.size();
    if (n == 0)
        return from <= text.size() ? from : npos;
    if (n == 1)
        return Find<Unit>(text, needle[0], from);
    if (from >= text.size() || n > text.size() - from)
        return npos;
    const std::size_t last = text.size() - n;  // the last possible start
    const Unit* const t = text.data();
    // First and last unit already agree; the rest is compared here.
    const auto middleAgrees = [&](std::size_t at) {
        return detail::SameUnits(t + at + 1, needle.data() + 1, n - 2);
    };
    std::size_t at = from;
#if defined(__SSE2__)
    // A block of starts whose first and last units both match is checked
    // further; one pass over the text whatever the needle.
    using B = detail::Block<Unit>;
    if (last + 1 >= B::Units) {
        const __m128i first = B::Splat(needle[0]);
        const __m128i lastUnit = B::Splat(needle[n - 1]);
        const auto candidates = [&](std::size_t start) {
            return B::Matches(t + start, first) & B::Matches(t + start + n - 1, lastUnit);
        };
        const auto firstAgreeing = [&](std::size_t start, unsigned mask) {
            for (; mask != 0; mask &= mask - 1) {
                const std::size_t hit = start + B::FirstUnit(mask);
                if (middleAgrees(hit))
                    return hit;
            }
            return npos;
        };
        for (; at + B::Units <= last + 1; at += B::Units) {
            if (const std::size_t hit = firstAgreeing(at, candidates(at)); hit != npos)
                return hit;
        }
        if (at > last)
            return npos;
        const std::size_t start = last + 1 - B::Units;
        return firstAgreeing(start, B::From(candidates(start), at - start));
    }
#endif
    for (; at <= last; ++at) {
        if (t[at] == needle[0] && t[at + n - 1] == needle[n - 1] && middleAgrees(at))
            return at;
    }
    return npos;
}

template <CodeUnit Unit>
[[nodiscard, gnu::always_inline]] inline bool Contains(TextView<Unit> text, std::type_identity_t<TextView<Unit>> needle)
{
    return Find<Unit>(text, needle) != npos;
}

// Replaces `rest` with `text` less every match of `needle`, in one
// left-to-right pass over non-overlapping matches: text brought together by a
// removal is not searched again ("vivid=d=" less "vid=" is "vid="). `rest`
// keeps its capacity, so a reused one allocates nothing.
template <CodeUnit Unit>
[[gnu::always_inline]] inline void RemoveEvery(TextView<Unit> text, std::type_identity_t<TextView<Unit>> needle, Text<Unit>& rest)
{
    rest.clear();
    if (needle.empty()) {
        rest.assign(text);
        return;
    }
    std::size_t from = 0;
    for (std::size_t hit = Find<Unit>(text, needle, from); hit != npos; hit = Find<Unit>(text, needle, from)) {
        rest.append(text.substr(from, hit - from));
        from = hit + needle.size();
    }
    rest.append(text.substr(from));
}

// Whether `unit` has Unicode's White_Space property. Bytes are ASCII, where
// that is tab, line feed, vertical tab, form feed, carriage return and space.
template <CodeUnit Unit>
[[nodiscard]] constexpr bool IsWhiteSpace(Unit unit)
{
    const auto u = static_cast<std::uint16_t>(static_cast<std::make_unsigned_t<Unit>>(unit));
    if (u <= 0x20)
        return u == 0x20 || (u >= 0x09 && u <= 0x0D);
    if constexpr (std::same_as<Unit, char>) {
        return false;
    } else {
        return u == 0x85 || u == 0xA0 || u == 0x1680 || (u >= 0x2000 && u <= 0x200A) || u == 0x2028 ||
               u == 0x2029 || u == 0x202F || u == 0x205F || u == 0x3000;
    }
}

// The last `count` code units, or the whole text when it is shorter.
template <CodeUnit Unit>
[[nodiscard]] TextView<Unit> LastUnits(TextView<Unit> text, std::size_t count)
{
    return text.size() > count ? text.substr(text.size() - count) : text;
}

} // namespace vidlatch::text
