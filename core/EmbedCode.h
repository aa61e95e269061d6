#pragma once

#include "CodeUnits.h"
#include "ProgramText.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vidlatch {

// What a player address is pasted as: alone, or as the code that puts the
// player into a blog (HTML), a forum post (BBCode) or a Markdown text.
enum class EmbedForm {
    Address,
    Html,
    BbCode,
    Markdown,  // the last: the count below follows it
};
inline constexpr std::size_t EmbedFormCount = static_cast<std::size_t>(EmbedForm::Markdown) + 1;

struct EmbedSize {
    int width;
    int height;
};
inline constexpr EmbedSize DefaultEmbedSize{480, 400};
// Each side runs from 1 to this many pixels; no page shows a player larger.
inline constexpr int MaxEmbedSide = 4096;

struct EmbedFormInfo {
    EmbedForm form;
    std::string_view name;        // as vidlatch-cli's --format takes it
    std::u16string_view command;  // the main window's menu item
};

// Every form, in the order the menus show them.
inline constexpr std::array<EmbedFormInfo, EmbedFormCount> EmbedForms{{
    {EmbedForm::Address, "address", VIDLATCH_TEXT("Vidlatch", "复制播放地址")},
    {EmbedForm::Html, "html", VIDLATCH_TEXT("Vidlatch", "复制 HTML 代码（博客）")},
    {EmbedForm::BbCode, "bbcode", VIDLATCH_TEXT("Vidlatch", "复制 BBCode 代码（论坛）")},
    {EmbedForm::Markdown, "markdown", VIDLATCH_TEXT("Vidlatch", "复制 Markdown 链接")},
}};

// The form of that name, or none.
[[nodiscard]] std::optional<EmbedForm> EmbedFormNamed(std::string_view name);

// Whether `side` is a width or height the forms take.
[[nodiscard]] constexpr bool IsEmbedSide(int side) { return side >= 1 && side <= MaxEmbedSide; }

// Writes `playerAddress` in `form` into `code`: HTML and BBCode at `size`
// (HTML at DefaultEmbedSize without one; BBCode then names no size).
// Whatever the code's units, the result is one line that nothing in it can
// break out of. False, with `code` empty, when the address is no player
// address BuildPlayerAddress gives or a side is out of range.
template <CodeUnit Unit>
[[nodiscard]] bool EmbedCode(TextView<Unit> playerAddress, EmbedForm form, std::optional<EmbedSize> size,
                             Text<Unit>& code);

// The same; empty when refused.
[[nodiscard]] std::u16string EmbedCode(std::u16string_view playerAddress, EmbedForm form,
                                       std::optional<EmbedSize> size = std::nullopt);

} // namespace vidlatch
