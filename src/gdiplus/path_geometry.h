#pragma once
// A path's points and types turned into cairo path operations and into
// plain polygons.

#include "native_objects.h"

#include <vector>

namespace Gdiplus {

// Adds the path's figures to the context's current path, in user space.
void emitPath(cairo_t* context, const GpPath& path);

// The path's points with its Bézier segments flattened, all figures in turn.
std::vector<PointF> flattenedOutline(const GpPath& path);

// The polygon's centre of area (of its points when it has no area).
PointF centroid(const std::vector<PointF>& polygon);

} // namespace Gdiplus
