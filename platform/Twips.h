#pragma once

#include <QRect>

namespace vidlatch::platform {

// Layouts are kept in twips as designed; 15 twips are one device-independent
// pixel, so Qt scales them on high-DPI screens.
inline constexpr int TwipsPerPixel = 15;

constexpr int Px(int twips) { return twips / TwipsPerPixel; }
constexpr QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

} // namespace vidlatch::platform
