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
            cairo_move_to(context, p.X, p.Y);
        } else if (type == PathPointTypeBezier && i + 2 < count) {
            const PointF& c2 = path.points[i + 1];
            const PointF& end = path.points[i + 2];
            cairo_curve_to(context, p.X, p.Y, c2.X, c2.Y, end.X, end.Y);
            i += 2;
        } else {
            cairo_line_to(context, p.X, p.Y);
        }
        if (path.types[i] & PathPointTypeCloseSubpath)
            cairo_close_path(context);
    }
}

std::vector<PointF> flattenedOutline(const GpPath& path)
{
    constexpr int stepsPerCurve = 16;
    std::vector<PointF> outline;
    const std::size_t count = path.points.size();
    for (std::size_t i = 0; i < count; ++i) {
        const BYTE type = path.types[i] & PathPointTypeMask;
        if (type == PathPointTypeBezier && i + 2 < count && !outline.empty()) {
            const PointF p0 = outline.back(), p1 = path.points[i], p2 = path.points[i + 1], p3 = path.points[i + 2];
            for (int step = 1; step <= stepsPerCurve; ++step) {
                const double t = double(step) / stepsPerCurve, u = 1 - t;
                const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
                outline.emplace_back(REAL(a * double(p0.X) + b * double(p1.X) + c * double(p2.X) + d * double(p3.X)),
                                     REAL(a * double(p0.Y) + b * double(p1.Y) + c * double(p2.Y) + d * double(p3.Y)));
            }
            i += 2;
        } else {
            outline.push_back(path.points[i]);
        }
    }
    return outline;
}

PointF centroid(const std::vector<PointF>& polygon)
{
    double area = 0, cx = 0, cy = 0, sumX = 0, sumY = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const PointF& a = polygon[i];
        const PointF& b = polygon[(i + 1) % polygon.size()];
        const double cross = double(a.X) * double(b.Y) - double(b.X) * double(a.Y);
        area += cross;
        cx += (double(a.X) + double(b.X)) * cross;
        cy += (double(a.Y) + double(b.Y)) * cross;
        sumX += double(a.X);
        sumY += double(a.Y);
    }
    if (std::abs(area) < 1e-9 || polygon.empty())
        return polygon.empty() ? PointF() : PointF(REAL(sumX / double(polygon.size())), REAL(sumY / double(polygon.size())));
    return PointF(REAL(cx / (3 * area)), REAL(cy / (3 * area)));
}

} // namespace Gdiplus
