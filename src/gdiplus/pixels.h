#pragma once
// Pixels as the layer keeps them (cairo's premultiplied native-endian ARGB
// words) and as GDI+ hands them out in its pixel formats.

#include "gdiplus_types.h"

#include <cstdint>

namespace Gdiplus::pixels {

inline std::uint32_t premultiply(ARGB color)
{
    const std::uint32_t a = color >> 24;
    const auto scale = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (scale((color >> 16) & 0xFF) << 16) | (scale((color >> 8) & 0xFF) << 8) | scale(color & 0xFF);
}

inline ARGB unpremultiply(std::uint32_t pixel)
{
    const std::uint32_t a = pixel >> 24;
    if (a == 0)
        return 0;
    if (a == 255)
        return pixel;
    const auto scale = [a](std::uint32_t c) {
        const std::uint32_t value = (c * 255 + a / 2) / a;
        return value > 255 ? 255u : value;
    };
    return (a << 24) | (scale((pixel >> 16) & 0xFF) << 16) | (scale((pixel >> 8) & 0xFF) << 8) | scale(pixel & 0xFF);
}

// Bytes per pixel of the formats the layer reads and writes; 0 for others.
inline int bytesPerPixel(PixelFormat format)
{
    switch (format) {
    case PixelFormat32bppARGB:
    case PixelFormat32bppPARGB:
    case PixelFormat32bppRGB:
        return 4;
    case PixelFormat24bppRGB:
        return 3;
    default:
        return 0;
    }
}

// One pixel of a kept (premultiplied) word written in a GDI+ format, and read
// back from it.
void store(std::uint32_t premultiplied, PixelFormat format, BYTE* out);
std::uint32_t load(const BYTE* in, PixelFormat format);

} // namespace Gdiplus::pixels
