#pragma once
// Arcs as GDI+ draws them: cubic Bézier segments of at most 90 degrees.

#include "gdiplus_types.h"

#include <vector>

namespace Gdiplus {

// The arc of the ellipse inscribed in (x, y, width, height) from startAngle
// through sweepAngle (degrees, clockwise on screen; |sweep| at most 360).
// Angles are geometric, as in GDI+: the direction from the centre to the
// point, not the ellipse's parameter. The result is the start point followed
// by three points per segment.
std::vector<PointF> arcBeziers(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);

} // namespace Gdiplus
