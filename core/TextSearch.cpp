#include "TextSearch.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vidlatch::text {

std::size_t Find(std::u16string_view text, char16_t unit, std::size_t from)
{
    if (from >= text.size())
        return npos;
    const char16_t* const begin = text.data();
    const char16_t* p = begin + from;
    const char16_t* const end = begin + text.size();
#if defined(__SSE2__)
    // Eight code units at a time: addresses are scanned several times each.
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(unit));
    for (; end - p >= 8; p += 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(chunk, wanted));
        if (mask != 0)
            return static_cast<std::size_t>(p - begin) + (__builtin_ctz(static_cast<unsigned>(mask)) >> 1);
    }
#endif
    for (; p < end; ++p) {
        if (*p == unit)
            return static_cast<std::size_t>(p - begin);
    }
    return npos;
}

std::size_t Find(std::u16string_view text, std::u16string_view needle, std::size_t from)
{
    if (needle.empty())
        return from <= text.size() ? from : npos;
    if (needle.size() > text.size())
        return npos;
    const std::size_t last = text.size() - needle.size();  // last possible start
    const std::u16string_view rest = needle.substr(1);
    for (std::size_t at = Find(text, needle[0], from); at != npos && at <= last;
         at = Find(text, needle[0], at + 1)) {
        if (std::memcmp(text.data() + at + 1, rest.data(), rest.size() * sizeof(char16_t)) == 0)
            return at;
    }
    return npos;
}

std::u16string RemoveEvery(std::u16string_view text, std::u16string_view needle)
{
    std::u16string rest;
    if (needle.empty()) {
        rest.assign(text);
        return rest;
    }
    rest.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t hit = Find(text, needle); hit != npos; hit = Find(text, needle, from)) {
        rest.append(text.substr(from, hit - from));
        from = hit + needle.size();
    }
    rest.append(text.substr(from));
    return rest;
}

} // namespace vidlatch::text
