#pragma once

#include <QPoint>
#include <QRect>

#include <cmath>

namespace vidlatch::platform {

// Layouts are kept in twips as designed; 15 twips are one device-independent
// pixel, so Qt scales them on high-DPI screens.
inline constexpr int TwipsPerPixel = 15;

constexpr int Px(int twips) { return twips / TwipsPerPixel; }
// A place given in fractional twips, to the nearest pixel.
inline QPoint TwipsPoint(double left, double top)
{
    return QPoint(static_cast<int>(std::lround(left / TwipsPerPixel)), static_cast<int>(std::lround(top / TwipsPerPixel)));
}
constexpr QRect TwipsRect(int left, int top, int width, int height)
{
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

} // namespace vidlatch::platform
