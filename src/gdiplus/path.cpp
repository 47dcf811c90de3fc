#include "arcs.h"
#include "gdiplus_matrix.h"
#include "gdiplus_path.h"
#include "native_objects.h"

namespace Gdiplus {

namespace {

// Appends points to the current figure: the first one starts a figure when
// none is open, and otherwise joins the figure with a line.
void append(GpPath& path, const PointF* points, INT count, BYTE type)
{
    for (INT i = 0; i < count; ++i) {
        BYTE pointType = type;
        if (i == 0)
            pointType = path.startNewFigure ? BYTE(PathPointTypeStart) : BYTE(PathPointTypeLine);
        path.points.push_back(points[i]);
        path.types.push_back(pointType);
    }
    path.startNewFigure = false;
    path.ellipse.reset();
}

void closeFigure(GpPath& path)
{
    if (!path.types.empty())
        path.types.back() |= PathPointTypeCloseSubpath;
    path.startNewFigure = true;
}

} // namespace

GraphicsPath::GraphicsPath(FillMode fillMode)
{
    nativePath = new GpPath;
    nativePath->fillMode = fillMode;
}

GraphicsPath::~GraphicsPath() { delete nativePath; }

Status GraphicsPath::AddLine(REAL x1, REAL y1, REAL x2, REAL y2)
{
    const PointF points[] = {{x1, y1}, {x2, y2}};
    return AddLines(points, 2);
}

Status GraphicsPath::AddLines(const PointF* points, INT count)
{
    if (!points || count <= 0)
        return SetStatus(InvalidParameter);
    append(*nativePath, points, count, PathPointTypeLine);
    return Ok;
}

Status GraphicsPath::AddBeziers(const PointF* points, INT count)
{
    if (!points || count < 4 || (count - 1) % 3 != 0)
        return SetStatus(InvalidParameter);
    append(*nativePath, points, count, PathPointTypeBezier);
    return Ok;
}

Status GraphicsPath::AddRectangle(const RectF& rect)
{
    if (rect.Width <= 0 || rect.Height <= 0)
        return Ok;
    const PointF corners[] = {{rect.X, rect.Y},
                              {rect.X + rect.Width, rect.Y},
                              {rect.X + rect.Width, rect.Y + rect.Height},
                              {rect.X, rect.Y + rect.Height}};
    nativePath->startNewFigure = true;
    append(*nativePath, corners, 4, PathPointTypeLine);
    closeFigure(*nativePath);
    return Ok;
}

Status GraphicsPath::AddEllipse(REAL x, REAL y, REAL width, REAL height)
{
    if (width <= 0 || height <= 0)
        return SetStatus(InvalidParameter);
    const bool onlyShape = nativePath->points.empty();
    const std::vector<PointF> points = arcBeziers(x, y, width, height, 0, 360);
    nativePath->startNewFigure = true;
    append(*nativePath, points.data(), INT(points.size()), PathPointTypeBezier);
    closeFigure(*nativePath);
    if (onlyShape) {
        cairo_matrix_t unitCircle;
        cairo_matrix_init(&unitCircle, double(width) / 2.0, 0, 0, double(height) / 2.0, double(x) + double(width) / 2.0,
                          double(y) + double(height) / 2.0);
        nativePath->ellipse = unitCircle;
    }
    return Ok;
}

Status GraphicsPath::AddEllipse(const RectF& rect) { return AddEllipse(rect.X, rect.Y, rect.Width, rect.Height); }

Status GraphicsPath::AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
{
    if (width <= 0 || height <= 0)
        return SetStatus(InvalidParameter);
    const std::vector<PointF> points = arcBeziers(x, y, width, height, startAngle, sweepAngle);
    append(*nativePath, points.data(), INT(points.size()), PathPointTypeBezier);
    return Ok;
}

Status GraphicsPath::AddArc(const RectF& rect, REAL startAngle, REAL sweepAngle)
{
    return AddArc(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status GraphicsPath::StartFigure()
{
    nativePath->startNewFigure = true;
    return Ok;
}

Status GraphicsPath::CloseFigure()
{
    closeFigure(*nativePath);
    return Ok;
}

Status GraphicsPath::Transform(const Matrix* matrix)
{
    if (!matrix)
        return Ok;
    const cairo_matrix_t& m = matrix->nativeMatrix->value;
    for (PointF& point : nativePath->points) {
        double x = double(point.X), y = double(point.Y);
        cairo_matrix_transform_point(&m, &x, &y);
        point = PointF(REAL(x), REAL(y));
    }
    if (nativePath->ellipse) {
        cairo_matrix_t moved;
        cairo_matrix_multiply(&moved, &*nativePath->ellipse, &m);
        nativePath->ellipse = moved;
    }
    return Ok;
}

INT GraphicsPath::GetPointCount() const { return INT(nativePath->points.size()); }

} // namespace Gdiplus
