#include "gdiplus_matrix.h"
#include "gdiplus_path.h"

namespace Gdiplus {

using namespace DllExports;

GraphicsPath::GraphicsPath(FillMode fillMode) { lastResult = GdipCreatePath(fillMode, &nativePath); }

GraphicsPath::~GraphicsPath()
{
    if (nativePath)
        GdipDeletePath(nativePath);
}

Status GraphicsPath::AddLine(REAL x1, REAL y1, REAL x2, REAL y2)
{
    return SetStatus(GdipAddPathLine(nativePath, x1, y1, x2, y2));
}

Status GraphicsPath::AddLines(const PointF* points, INT count)
{
    return SetStatus(GdipAddPathLine2(nativePath, points, count));
}

Status GraphicsPath::AddBeziers(const PointF* points, INT count)
{
    return SetStatus(GdipAddPathBeziers(nativePath, points, count));
}

Status GraphicsPath::AddRectangle(const RectF& rect)
{
    return SetStatus(GdipAddPathRectangle(nativePath, rect.X, rect.Y, rect.Width, rect.Height));
}

Status GraphicsPath::AddEllipse(REAL x, REAL y, REAL width, REAL height)
{
    return SetStatus(GdipAddPathEllipse(nativePath, x, y, width, height));
}

Status GraphicsPath::AddEllipse(const RectF& rect) { return AddEllipse(rect.X, rect.Y, rect.Width, rect.Height); }

Status GraphicsPath::AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
{
    return SetStatus(GdipAddPathArc(nativePath, x, y, width, height, startAngle, sweepAngle));
}

Status GraphicsPath::AddArc(const RectF& rect, REAL startAngle, REAL sweepAngle)
{
    return AddArc(rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status GraphicsPath::StartFigure() { return SetStatus(GdipStartPathFigure(nativePath)); }

Status GraphicsPath::CloseFigure() { return SetStatus(GdipClosePathFigure(nativePath)); }

Status GraphicsPath::Transform(const Matrix* matrix)
{
    if (!matrix)
        return Ok;
    return SetStatus(GdipTransformPath(nativePath, matrix->nativeMatrix));
}

INT GraphicsPath::GetPointCount() const
{
    INT count = 0;
    SetStatus(GdipGetPointCount(nativePath, &count));
    return count;
}

Status GraphicsPath::GetLastStatus() const
{
    const Status status = lastResult;
    lastResult = Ok;
    return status;
}

Status GraphicsPath::SetStatus(Status status) const
{
    if (status != Ok)
        lastResult = status;
    return status;
}

} // namespace Gdiplus
