#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vidlatch::cli {

// What one pass over a line's bytes finds, a block at a time.
struct LineScan {
    bool ascii = true;  // every byte below 0x80
    // Offset of the first C0 control character (U+0000 to U+001F) or DEL: no
    // line may carry one, since it would reach a terminal or a script as it is.
    std::size_t control = std::string_view::npos;
};
[[nodiscard]] LineScan ScanLine(std::string_view bytes);

// The column, in characters counted from 1, of the byte at `offset` of UTF-8
// text.
[[nodiscard]] std::size_t ColumnAt(std::string_view utf8, std::size_t offset);

// Replaces `out` with the UTF-16 form of `bytes`. Returns false, leaving `out`
// unspecified, when the bytes are not well-formed UTF-8 (overlong forms,
// encoded surrogates and code points past U+10FFFF included).
[[nodiscard]] bool DecodeUtf8(std::string_view bytes, std::u16string& out);

// Appends the UTF-8 form of `text`; a lone surrogate becomes U+FFFD, since
// UTF-8 cannot carry it.
void AppendUtf8(std::u16string_view text, std::string& out);

// Appends `text` as a JSON string literal, quotes included. The result is valid
// UTF-8 whatever the input: a lone surrogate is written as its \uXXXX escape.
void AppendJsonString(std::u16string_view text, std::string& out);

// The same for ASCII text, each byte one character: the same bytes out as its
// UTF-16 form gives.
void AppendJsonString(std::string_view ascii, std::string& out);

} // namespace vidlatch::cli
