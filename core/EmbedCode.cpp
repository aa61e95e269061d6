#include "EmbedCode.h"

#include "BuildPlayerAddress.h"
#include "CharacterClass.h"
#include "SiteConstants.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace vidlatch {
namespace {

// How the address is written inside a form.
enum class Target { Raw, HtmlAttribute, Link };

struct Entity {
    char unit;
    std::string_view text;
};
constexpr Entity HtmlEntities[] = {
    {'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}, {'\'', "&#39;"},
};

// What no URL holds unencoded, what ends a BBCode tag or a Markdown link, and
// the "&" that Markdown would read as the start of an entity.
constexpr std::string_view LinkUnsafe = " \"<>[]()\\`{}|^&";
// In a link the prefix goes as it is: only the code needs encoding.
static_assert(site::PlayerAddressPrefix.find_first_of(u" \"<>[]()\\`{}|^") == std::u16string_view::npos);

constexpr std::string_view HexDigits = "0123456789ABCDEF";

template <CodeUnit Unit>
void Append(Text<Unit>& out, std::string_view ascii)
{
    for (char c : ascii)
        out.push_back(static_cast<Unit>(c));
}

template <CodeUnit Unit>
void AppendNumber(Text<Unit>& out, int number)
{
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    Append(out, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

template <CodeUnit Unit>
constexpr bool IsAscii(Unit unit)
{
    return static_cast<char16_t>(unit) < 0x80;
}

template <CodeUnit Unit>
void AppendPercentByte(Text<Unit>& out, unsigned byte)
{
    out.push_back('%');
    out.push_back(static_cast<Unit>(HexDigits[byte >> 4]));
    out.push_back(static_cast<Unit>(HexDigits[byte & 0xF]));
}

// The code point's UTF-8 bytes, as a URL carries them; a byte of the byte
// path is its own.
template <CodeUnit Unit>
void AppendPercent(Text<Unit>& out, char32_t c)
{
    if (sizeof(Unit) == 1 || c < 0x80) {
        AppendPercentByte(out, static_cast<unsigned>(c) & 0xFF);
        return;
    }
    const int trailing = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    constexpr unsigned Lead[] = {0, 0xC0, 0xE0, 0xF0};
    AppendPercentByte(out, Lead[trailing] | static_cast<unsigned>(c >> (6 * trailing)));
    for (int i = trailing - 1; i >= 0; --i)
        AppendPercentByte(out, 0x80 | (static_cast<unsigned>(c >> (6 * i)) & 0x3F));
}

// A control, a line or paragraph separator or an invisible format character
// would split the line, hide part of it or reorder it on the page where the
// form is pasted (and no URL holds one raw): each is percent-encoded in every
// form that wraps the address. Calls `plain` with each other unit.
template <CodeUnit Unit, typename Plain>
void ForEachUnitEncoding(Text<Unit>& out, TextView<Unit> text, Plain plain)
{
    for (std::size_t at = 0; at < text.size();) {
        const text::CodePoint c = text::CodePointAt(text, at);
        if (text::IsControlOrFormat(c.value)) {
            AppendPercent(out, c.value);
        } else {
            for (std::size_t i = 0; i < c.units; ++i)
                plain(text[at + i]);
        }
        at += c.units;
    }
}

template <CodeUnit Unit>
void AppendEscaped(Text<Unit>& out, TextView<Unit> text, Target target)
{
    ForEachUnitEncoding(out, text, [&out, target](Unit unit) {
        const bool linkUnsafe = IsAscii(unit) && LinkUnsafe.find(static_cast<char>(unit)) != LinkUnsafe.npos;
        const auto entity = std::find_if(std::begin(HtmlEntities), std::end(HtmlEntities),
                                         [unit](const Entity& e) { return e.unit == unit; });
        if (target == Target::Link && linkUnsafe)
            AppendPercent(out, static_cast<char32_t>(unit));
        else if (target == Target::HtmlAttribute && entity != std::end(HtmlEntities))
            Append(out, entity->text);
        else
            out.push_back(unit);
    });
}

template <CodeUnit Unit>
void AppendAddress(Text<Unit>& out, TextView<Unit> address, Target target)
{
    const std::size_t code = target == Target::Link ? address.size() - VideoCodeLength : 0;
    out.append(address.substr(0, code));
    if (target == Target::Raw)
        out.append(address);
    else
        AppendEscaped(out, address.substr(code), target);
}

// Link text of Markdown: every ASCII punctuation mark backslash-escaped, so
// that the code can neither close the text nor start markup; what the address
// percent-encodes is written as the address writes it.
template <CodeUnit Unit>
void AppendLinkText(Text<Unit>& out, TextView<Unit> text)
{
    ForEachUnitEncoding(out, text, [&out](Unit unit) {
        const auto c = static_cast<char16_t>(unit);
        const bool punctuation = (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) ||
                                 (c >= 0x5B && c <= 0x60) || (c >= 0x7B && c <= 0x7E);
        if (punctuation)
            out.push_back('\\');
        out.push_back(unit);
    });
}

template <CodeUnit Unit>
using Writer = void (*)(TextView<Unit> address, TextView<Unit> code, std::optional<EmbedSize> size, Text<Unit>& out);

template <CodeUnit Unit>
void WriteAddress(TextView<Unit> address, TextView<Unit>, std::optional<EmbedSize>, Text<Unit>& out)
{
    AppendAddress(out, address, Target::Raw);
}

template <CodeUnit Unit>
void WriteHtml(TextView<Unit> address, TextView<Unit>, std::optional<EmbedSize> size, Text<Unit>& out)
{
    const EmbedSize shown = size.value_or(DefaultEmbedSize);
    Append(out, "<embed src=\"");
    AppendAddress(out, address, Target::HtmlAttribute);
    Append(out, "\" type=\"application/x-shockwave-flash\" width=\"");
    AppendNumber(out, shown.width);
    Append(out, "\" height=\"");
    AppendNumber(out, shown.height);
    // The movie may not call into the page it is pasted on.
    Append(out, "\" allowfullscreen=\"true\" allowscriptaccess=\"never\">");
}

template <CodeUnit Unit>
void WriteBbCode(TextView<Unit> address, TextView<Unit>, std::optional<EmbedSize> size, Text<Unit>& out)
{
    Append(out, "[flash");
    if (size) {
        out.push_back('=');
        AppendNumber(out, size->width);
        out.push_back(',');
        AppendNumber(out, size->height);
    }
    out.push_back(']');
    AppendAddress(out, address, Target::Link);
    Append(out, "[/flash]");
}

template <CodeUnit Unit>
void WriteMarkdown(TextView<Unit> address, TextView<Unit> code, std::optional<EmbedSize>, Text<Unit>& out)
{
    out.push_back('[');
    out.append(In<Unit, site::BrandName>);
    out.push_back(' ');
    AppendLinkText(out, code);
    Append(out, "](");
    AppendAddress(out, address, Target::Link);
    out.push_back(')');
}

// In the order of EmbedForm.
template <CodeUnit Unit>
constexpr std::array<Writer<Unit>, EmbedFormCount> Writers{
    &WriteAddress<Unit>, &WriteHtml<Unit>, &WriteBbCode<Unit>, &WriteMarkdown<Unit>,
};

constexpr bool FormsInOrder()
{
    for (std::size_t i = 0; i < EmbedForms.size(); ++i) {
        if (EmbedForms[i].form != static_cast<EmbedForm>(i))
            return false;
    }
    return true;
}
static_assert(FormsInOrder(), "EmbedForms and Writers follow the order of EmbedForm");

} // namespace

std::optional<EmbedForm> EmbedFormNamed(std::string_view name)
{
    for (const EmbedFormInfo& info : EmbedForms) {
        if (info.name == name)
            return info.form;
    }
    return std::nullopt;
}

template <CodeUnit Unit>
bool EmbedCode(TextView<Unit> playerAddress, EmbedForm form, std::optional<EmbedSize> size, Text<Unit>& code)
{
    code.clear();
    const TextView<Unit> prefix = In<Unit, site::PlayerAddressPrefix>;
    const auto index = static_cast<std::size_t>(form);
    if (playerAddress.size() != prefix.size() + VideoCodeLength || !playerAddress.starts_with(prefix) ||
        index >= EmbedFormCount || (size && !(IsEmbedSide(size->width) && IsEmbedSide(size->height))))
        return false;
    Writers<Unit>[index](playerAddress, playerAddress.substr(prefix.size()), size, code);
    return true;
}

template bool EmbedCode<char>(TextView<char>, EmbedForm, std::optional<EmbedSize>, Text<char>&);
template bool EmbedCode<char16_t>(TextView<char16_t>, EmbedForm, std::optional<EmbedSize>, Text<char16_t>&);

std::u16string EmbedCode(std::u16string_view playerAddress, EmbedForm form, std::optional<EmbedSize> size)
{
    std::u16string code;
    (void)EmbedCode<char16_t>(playerAddress, form, size, code);
    return code;
}

} // namespace vidlatch
