#pragma once
// What Windows does through COM streams, done from memory directly. Used
// only by the platform layer.

#include "gdiplus.h"

namespace Gdiplus::Linux {

// Decodes a PNG image or an uncompressed 24- or 32-bit BMP image from
// memory; null when the bytes are neither. The caller owns the result.
Image* LoadImageFromMemory(const BYTE* data, size_t size);

} // namespace Gdiplus::Linux
