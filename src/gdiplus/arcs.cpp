#include "arcs.h"

#include <algorithm>
#include <cmath>

namespace Gdiplus {

std::vector<PointF> arcBeziers(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
{
    const double rx = double(width) / 2.0, ry = double(height) / 2.0;
    const double cx = double(x) + rx, cy = double(y) + ry;
    const double sweep = std::clamp(double(sweepAngle), -360.0, 360.0);
    const int segments = std::max(1, int(std::ceil(std::abs(sweep) / 90.0 - 1e-9)));
    const auto parameter = [&](double degrees) {
        const double a = degrees * M_PI / 180.0;
        return std::atan2(rx * std::sin(a), ry * std::cos(a));
    };
    const auto point = [&](double t) { return PointF(REAL(cx + rx * std::cos(t)), REAL(cy + ry * std::sin(t))); };

    std::vector<PointF> points;
    points.reserve(std::size_t(segments) * 3 + 1);
    double from = parameter(double(startAngle));
    points.push_back(point(from));
    for (int i = 1; i <= segments; ++i) {
        // Each segment spans less than half a turn, so its end is the nearest
        // parameter in the sweep's direction.
        double to = parameter(double(startAngle) + sweep * i / segments);
        double delta = std::remainder(to - from, 2 * M_PI);
        if (sweep > 0 && delta < 0)
            delta += 2 * M_PI;
        if (sweep < 0 && delta > 0)
            delta -= 2 * M_PI;
        to = from + delta;
        const double k = 4.0 / 3.0 * std::tan(delta / 4.0);
        points.emplace_back(REAL(cx + rx * (std::cos(from) - k * std::sin(from))),
                            REAL(cy + ry * (std::sin(from) + k * std::cos(from))));
        points.emplace_back(REAL(cx + rx * (std::cos(to) + k * std::sin(to))),
                            REAL(cy + ry * (std::sin(to) - k * std::cos(to))));
        points.push_back(point(to));
        from = to;
    }
    return points;
}

} // namespace Gdiplus
