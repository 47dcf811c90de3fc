#pragma once
// What Windows does through COM streams, done the libgdiplus way. Used only
// by the platform layer.

#include "gdiplus.h"

namespace Gdiplus::Linux {

// Decodes an image (PNG, BMP, ...) from memory; null when libgdiplus cannot
// decode the bytes. The caller owns the result.
Image* LoadImageFromMemory(const BYTE* data, size_t size);

} // namespace Gdiplus::Linux
