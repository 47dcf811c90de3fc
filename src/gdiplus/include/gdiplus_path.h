#pragma once
#include "gdiplus_native.h"

namespace Gdiplus {

class Matrix;

class GraphicsPath : public LastStatus {
public:
    GraphicsPath(FillMode fillMode = FillModeAlternate);
    ~GraphicsPath();
    GraphicsPath(const GraphicsPath&) = delete;
    GraphicsPath& operator=(const GraphicsPath&) = delete;

    Status AddLine(REAL x1, REAL y1, REAL x2, REAL y2);
    Status AddLines(const PointF* points, INT count);
    Status AddBeziers(const PointF* points, INT count);
    Status AddRectangle(const RectF& rect);
    Status AddEllipse(REAL x, REAL y, REAL width, REAL height);
    Status AddEllipse(const RectF& rect);
    Status AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
    Status AddArc(const RectF& rect, REAL startAngle, REAL sweepAngle);
    Status StartFigure();
    Status CloseFigure();
    Status Transform(const Matrix* matrix);
    INT GetPointCount() const;

protected:
    friend class Graphics;
    friend class PathGradientBrush;

    GpPath* nativePath = nullptr;
};

} // namespace Gdiplus
