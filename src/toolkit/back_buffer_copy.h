#pragma once
// What both window backends do with an invalidated area of the frame's back
// buffer on its way to the window: keep the whole pixels that lie inside the
// window, and copy rows of B, G, R, A bytes as they are (the frame's
// background is opaque, so premultiplied and plain colours agree).

#include "toolkit/crect.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace VSTGUI {

struct PixelArea {
    int left, top, right, bottom;

    bool empty() const { return right <= left || bottom <= top; }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// The area's whole pixels inside a window of width by height; empty when
// none is.
inline PixelArea pixelsInside(const CRect& area, int width, int height)
{
    return {std::max(0, int(area.left)), std::max(0, int(area.top)), std::min(int(area.right), width),
            std::min(int(area.bottom), height)};
}

// The area's rows from one 32-bit image to another, each with its own row
// length in bytes; the area must lie inside both.
inline void copyRows(const std::uint8_t* from, int fromStride, std::uint8_t* to, int toStride, const PixelArea& area)
{
    if (area.empty())
        return;
    for (int y = area.top; y < area.bottom; ++y)
        std::memcpy(to + std::ptrdiff_t(y) * toStride + std::ptrdiff_t(area.left) * 4,
                    from + std::ptrdiff_t(y) * fromStride + std::ptrdiff_t(area.left) * 4,
                    std::size_t(area.width()) * 4);
}

} // namespace VSTGUI
