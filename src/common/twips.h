#pragma once

#include <QRect>

// The window designs give positions and sizes in twips (1/1440 inch). At the
// 96 dpi of the designs 15 twips make one pixel; Qt scales pixels further on
// high-density screens. Every twips value goes through here.
namespace Twips {

inline constexpr int PerPixel = 15;

// Nearest whole pixel.
constexpr int toPixels(int twips)
{
    return (twips + PerPixel / 2) / PerPixel;
}

inline QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace Twips
