#include "tools/render/bitmap_png.h"

#include <gdiplus.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "png_writer.h"

namespace tarvel::render {

bool writeBitmapPng(Gdiplus::Bitmap& bitmap, const std::string& path)
{
    const INT width = static_cast<INT>(bitmap.GetWidth());
    const INT height = static_cast<INT>(bitmap.GetHeight());
    const Gdiplus::Rect whole(0, 0, width, height);
    Gdiplus::BitmapData locked{};
    // Read as straight (not premultiplied) ARGB, the form PNG stores.
    if (bitmap.LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &locked) != Gdiplus::Ok)
        return false;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (INT y = 0; y < height; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(locked.Scan0) + static_cast<std::ptrdiff_t>(y) * locked.Stride;
        std::uint8_t* out = rgba.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4;
        for (INT x = 0; x < width; ++x, row += 4, out += 4) {
            // Little-endian ARGB words: blue, green, red, alpha in memory.
            out[0] = row[2];
            out[1] = row[1];
            out[2] = row[0];
            out[3] = row[3];
        }
    }
    bitmap.UnlockBits(&locked);
    return png::writeRgba(path, width, height, rgba);
}

} // namespace tarvel::render
