#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace vidlatch::ui {

// The core speaks UTF-16 code units, as QString does: no conversion changes a unit.
inline QString Q(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string U16(const QString& text)
{
    return text.toStdU16String();
}

} // namespace vidlatch::ui
