#include "CharacterClass.h"

#include <algorithm>
#include <iterator>

namespace vidlatch::text {
namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// Cc, Cf, Zl and Zp of Unicode 15, in order.
constexpr Range ControlOrFormat[] = {
    {0x0000, 0x001F},   {0x007F, 0x009F},   {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},
    {0x06DD, 0x06DD},   {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},
    {0x200B, 0x200F},   {0x2028, 0x202E},   {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},
    {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3},
    {0x1D173, 0x1D17A}, {0xE0001, 0xE0001}, {0xE0020, 0xE007F},
};

constexpr bool Ordered()
{
    for (std::size_t i = 0; i + 1 < std::size(ControlOrFormat); ++i) {
        if (ControlOrFormat[i].first > ControlOrFormat[i].last || ControlOrFormat[i].last >= ControlOrFormat[i + 1].first)
            return false;
    }
    return true;
}
static_assert(Ordered(), "the ranges are in order and apart");

} // namespace

bool IsControlOrFormat(char32_t codePoint)
{
    const Range* const after = std::upper_bound(std::begin(ControlOrFormat), std::end(ControlOrFormat), codePoint,
                                                [](char32_t c, const Range& r) { return c < r.first; });
    return after != std::begin(ControlOrFormat) && codePoint <= std::prev(after)->last;
}

} // namespace vidlatch::text
