#include "path_geometry.h"

#include <cmath>

namespace Gdiplus {

void emitPath(cairo_t* context, const GpPath& path)
{
    const std::size_t count = path.points.size();
    for (std::size_t i = 0; i < count; ++i) {
        const PointF& p = path.points[i];
        const BYTE type = path.types[i] & PathPointTypeMask;
        if (type == PathPointTypeStart) {
            cairo_move_to(context, double(p.X), double(p.Y));
        } else if (type == PathPointTypeBezier && i + 2 < count) {
            const PointF& c2 = path.points[i + 1];
            const PointF& end = path.points[i + 2];
            cairo_curve_to(context, double(p.X), double(p.Y), double(c2.X), double(c2.Y), double(end.X), double(end.Y));
            i += 2;
        } else {
            cairo_line_to(context, double(p.X), double(p.Y));
        }
        if (path.types[i] & PathPointTypeCloseSubpath)
            cairo_close_path(context);
    }
}

} // namespace Gdiplus
