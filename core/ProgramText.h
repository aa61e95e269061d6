#pragma once

#include <string>
#include <string_view>

// Marks a text the user reads, for the translation catalogs: lupdate knows
// this name as one of Qt's. The text itself stays as written (the default
// language); every such text shares the context "Vidlatch", so that a window
// can look up any line the core hands it.
#define VIDLATCH_TEXT(context, text) u"" text

namespace vidlatch {

// `text` with each line put through `translate` (std::u16string from
// std::u16string_view; empty when it has no translation, and then the line
// stays). Lines end at "\r\n" or at a lone "\r", and the breaks are kept as
// they were: notices are laid out by their line breaks.
template <typename Translate>
[[nodiscard]] std::u16string TranslateLines(std::u16string_view text, Translate&& translate)
{
    std::u16string result;
    result.reserve(text.size());
    while (true) {
        const std::size_t end = text.find(u'\r');
        const std::u16string_view line = text.substr(0, end);
        const std::u16string translated = line.empty() ? std::u16string() : translate(line);
        result.append(translated.empty() ? line : std::u16string_view(translated));
        if (end == std::u16string_view::npos)
            return result;
        const std::size_t breakLength = text.substr(end, 2) == u"\r\n" ? 2 : 1;
        result.append(text.substr(end, breakLength));
        text.remove_prefix(end + breakLength);
    }
}

} // namespace vidlatch
