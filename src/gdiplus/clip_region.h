#pragma once
// Clipping as GDI+ does it: a set of whole device pixels (a pixel belongs to
// a shape when its centre does), combined by the combine modes.

#include "native_objects.h"

#include <vector>

namespace Gdiplus {

// The device pixels inside the union of the figures (device coordinates),
// within bounds (shapes only matter where the surface is).
PixelRegion rasterize(const std::vector<std::vector<PointF>>& figures, const cairo_rectangle_int_t& bounds);

// current combined with shape by the mode: replace, intersect or exclude (the
// modes the layer offers); an infinite region stands for the bounds where a
// finite one is needed.
PixelRegion combine(const PixelRegion& current, const PixelRegion& shape, CombineMode mode,
                    const cairo_rectangle_int_t& bounds);

// Restricts later drawing on the context to the region.
void applyClip(cairo_t* context, const PixelRegion& region);

} // namespace Gdiplus
