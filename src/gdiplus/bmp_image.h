#pragma once
// Uncompressed 24- and 32-bit Windows bitmaps (BMP files), decoded from
// memory into an opaque cairo image surface.

#include "gdiplus_types.h"

#include <cairo.h>

namespace Gdiplus {

// Null unless the bytes are a complete BMP file of that kind.
cairo_surface_t* decodeBmp(const BYTE* data, size_t size);

} // namespace Gdiplus
