#include "Utf8.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vidlatch::cli {
namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendCodePoint(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void AppendHexEscape(char16_t unit, std::string& out)
{
    static constexpr char Hex[] = "0123456789abcdef";
    out.append("\\u");
    for (int shift = 12; shift >= 0; shift -= 4)
        out.push_back(Hex[(unit >> shift) & 0xF]);
}

// One character of a JSON string literal.
void AppendJsonCharacter(char32_t cp, bool lone, std::string& out)
{
    switch (cp) {
    case U'"': out.append("\\\""); return;
    case U'\\': out.append("\\\\"); return;
    case U'\n': out.append("\\n"); return;
    case U'\r': out.append("\\r"); return;
    case U'\t': out.append("\\t"); return;
    case U'\b': out.append("\\b"); return;
    case U'\f': out.append("\\f"); return;
    default: break;
    }
    if (lone || cp < 0x20)
        AppendHexEscape(static_cast<char16_t>(cp), out);
    else
        AppendCodePoint(cp, out);
}

// Walks UTF-16 text as code points; a lone surrogate comes out as itself with
// `lone` set.
template <typename Visit>
void ForEachCodePoint(std::u16string_view text, Visit visit)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            const char32_t cp = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            visit(cp, false);
            ++i;
        } else {
            visit(char32_t(unit), IsHighSurrogate(unit) || IsLowSurrogate(unit));
        }
    }
}

} // namespace

bool DecodeUtf8(std::string_view bytes, std::u16string& out)
{
    out.resize(bytes.size());  // UTF-16 never needs more units than UTF-8 has bytes
    char16_t* write = out.data();
    const auto* read = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = read + bytes.size();

    while (read < end) {
        // Runs of ASCII take the short way, sixteen bytes at a time where it can.
#if defined(__SSE2__)
        while (end - read >= 16) {
            const __m128i bytes16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(read));
            if (_mm_movemask_epi8(bytes16) != 0)
                break;
            const __m128i zero = _mm_setzero_si128();
            _mm_storeu_si128(reinterpret_cast<__m128i*>(write), _mm_unpacklo_epi8(bytes16, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(write + 8), _mm_unpackhi_epi8(bytes16, zero));
            read += 16;
            write += 16;
        }
#endif
        while (read < end && *read < 0x80)
            *write++ = *read++;
        if (read == end)
            break;
        const unsigned char lead = *read;
        int length;
        char32_t cp;
        char32_t lowest;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2; cp = lead & 0x1F; lowest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3; cp = lead & 0x0F; lowest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4; cp = lead & 0x07; lowest = 0x10000;
        } else {
            return false;
        }
        if (end - read < length)
            return false;
        for (int k = 1; k < length; ++k) {
            const unsigned char next = read[k];
            if ((next & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (cp < lowest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        read += length;
        if (cp < 0x10000) {
            *write++ = static_cast<char16_t>(cp);
        } else {
            cp -= 0x10000;
            *write++ = static_cast<char16_t>(0xD800 + (cp >> 10));
            *write++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        }
    }
    out.resize(static_cast<std::size_t>(write - out.data()));
    return true;
}

void AppendUtf8(std::u16string_view text, std::string& out)
{
    // Addresses are nearly always ASCII: narrow that run first.
    const std::size_t start = out.size();
    out.resize(start + text.size());
    char* write = out.data() + start;
    const char16_t* read = text.data();
    const char16_t* const end = read + text.size();
#if defined(__SSE2__)
    const __m128i nonAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    while (end - read >= 16) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(read));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(read + 8));
        const __m128i outside = _mm_and_si128(_mm_or_si128(low, high), nonAscii);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(outside, _mm_setzero_si128())) != 0xFFFF)
            break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(write), _mm_packus_epi16(low, high));
        read += 16;
        write += 16;
    }
#endif
    while (read < end && *read < 0x80)
        *write++ = static_cast<char>(*read++);
    out.resize(static_cast<std::size_t>(write - out.data()));
    text = std::u16string_view(read, static_cast<std::size_t>(end - read));
    ForEachCodePoint(text, [&out](char32_t cp, bool lone) {
        AppendCodePoint(lone ? U'\uFFFD' : cp, out);
    });
}

void AppendJsonString(std::u16string_view text, std::string& out)
{
    out.push_back('"');
    ForEachCodePoint(text, [&out](char32_t cp, bool lone) { AppendJsonCharacter(cp, lone, out); });
    out.push_back('"');
}

void AppendJsonString(std::string_view ascii, std::string& out)
{
    out.push_back('"');
    // Addresses rarely hold anything to escape: plain runs are copied whole.
    std::size_t plain = 0;
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        const char c = ascii[i];
        if (c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20) {
            out.append(ascii.substr(plain, i - plain));
            AppendJsonCharacter(static_cast<unsigned char>(c), false, out);
            plain = i + 1;
        }
    }
    out.append(ascii.substr(plain));
    out.push_back('"');
}

LineScan ScanLine(std::string_view bytes)
{
    LineScan scan;
    const auto* const data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t at = 0;
#if defined(__SSE2__)
    if (size >= 16) {
        // Printable ASCII, nearly every line, costs one test a block: a signed
        // compare counts bytes from 0x80 up as below the space too, so a single
        // mask shows both. Only a block that shows something is looked into.
        const __m128i space = _mm_set1_epi8(0x20);
        const __m128i del = _mm_set1_epi8(0x7F);
        const auto look = [&](std::size_t block) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + block));
            const unsigned shown =
                unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmplt_epi8(v, space), _mm_cmpeq_epi8(v, del))));
            if (shown == 0)
                return false;
            const unsigned high = unsigned(_mm_movemask_epi8(v));
            scan.ascii = scan.ascii && high == 0;
            if (const unsigned control = shown & ~high; control != 0 && scan.control == std::string_view::npos)
                scan.control = block + static_cast<std::size_t>(std::countr_zero(control));
            return !scan.ascii && scan.control != std::string_view::npos;  // nothing left to learn
        };
        for (; size - at > 16; at += 16) {
            if (look(at))
                return scan;
        }
        // The ragged end is one last block that overlaps the one before; a
        // control in the overlap would have been found there first.
        look(size - 16);
        return scan;
    }
#endif
    for (; at < size; ++at) {
        const unsigned char byte = data[at];
        if (byte >= 0x80)
            scan.ascii = false;
        else if ((byte < 0x20 || byte == 0x7F) && scan.control == std::string_view::npos)
            scan.control = at;
    }
    return scan;
}

std::size_t ColumnAt(std::string_view utf8, std::size_t offset)
{
    // Every character starts with a byte that is not a continuation byte.
    return 1 + static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.begin() + offset, [](char c) {
               return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
           }));
}

} // namespace vidlatch::cli
