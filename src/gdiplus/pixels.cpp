#include "pixels.h"

#include <cstring>

namespace Gdiplus::pixels {

void store(std::uint32_t premultiplied, PixelFormat format, BYTE* out)
{
    std::uint32_t word = premultiplied;
    if (format == PixelFormat32bppARGB)
        word = unpremultiply(premultiplied);
    else if (format == PixelFormat32bppRGB || format == PixelFormat24bppRGB)
        word = unpremultiply(premultiplied) | 0xFF000000u;
    if (format == PixelFormat24bppRGB) {
        out[0] = BYTE(word);
        out[1] = BYTE(word >> 8);
        out[2] = BYTE(word >> 16);
        return;
    }
    // GDI+'s byte order is blue, green, red, alpha: the word's on the
    // little-endian machines we build for (x86-64 and AArch64).
    std::memcpy(out, &word, 4);
}

std::uint32_t load(const BYTE* in, PixelFormat format)
{
    if (format == PixelFormat24bppRGB)
        return 0xFF000000u | (std::uint32_t(in[2]) << 16) | (std::uint32_t(in[1]) << 8) | in[0];
    std::uint32_t word;
    std::memcpy(&word, in, 4);
    if (format == PixelFormat32bppARGB)
        return premultiply(word);
    if (format == PixelFormat32bppRGB)
        return word | 0xFF000000u;
    return word;
}

} // namespace Gdiplus::pixels
