#include "bmp_image.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace Gdiplus {

namespace {

std::uint32_t read32(const BYTE* p) { return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24; }
std::uint16_t read16(const BYTE* p) { return std::uint16_t(p[0] | (p[1] << 8)); }

constexpr size_t fileHeaderSize = 14;
constexpr std::uint32_t uncompressed = 0;
constexpr std::uint32_t bitFields = 3;
constexpr std::int64_t largestSide = 1 << 15;

} // namespace

cairo_surface_t* decodeBmp(const BYTE* data, size_t size)
{
    if (size < fileHeaderSize + 40 || data[0] != 'B' || data[1] != 'M')
        return nullptr;
    const std::uint32_t pixelOffset = read32(data + 10);
    const BYTE* info = data + fileHeaderSize;
    const std::uint32_t infoSize = read32(info);
    if (infoSize < 40 || infoSize > size - fileHeaderSize)
        return nullptr;
    const std::int64_t width = std::int32_t(read32(info + 4));
    const std::int64_t signedHeight = std::int32_t(read32(info + 8));
    const int bitsPerPixel = read16(info + 14);
    const std::uint32_t compression = read32(info + 16);
    // A negative height stores the rows top-down; otherwise bottom-up.
    const bool topDown = signedHeight < 0;
    const std::int64_t height = std::llabs(signedHeight);
    if (width <= 0 || height <= 0 || width > largestSide || height > largestSide ||
        (bitsPerPixel != 24 && bitsPerPixel != 32) ||
        !(compression == uncompressed || (compression == bitFields && bitsPerPixel == 32)))
        return nullptr;
    const std::int64_t stride = (width * bitsPerPixel + 31) / 32 * 4;
    if (pixelOffset > size || std::int64_t(size - pixelOffset) < stride * height)
        return nullptr;

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(width), int(height));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    BYTE* target = cairo_image_surface_get_data(surface);
    const int targetStride = cairo_image_surface_get_stride(surface);
    const int bytes = bitsPerPixel / 8;
    for (std::int64_t y = 0; y < height; ++y) {
        const BYTE* row = data + pixelOffset + (topDown ? y : height - 1 - y) * stride;
        for (std::int64_t x = 0; x < width; ++x) {
            const BYTE* p = row + x * bytes;
            const std::uint32_t pixel = 0xFF000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
            std::memcpy(target + y * targetStride + x * 4, &pixel, 4);
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

} // namespace Gdiplus
