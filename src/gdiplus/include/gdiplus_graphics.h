#pragma once
#include "gdiplus_native.h"

namespace Gdiplus {

class Brush;
class Font;
class GraphicsPath;
class Image;
class Matrix;
class Pen;
class Region;
class StringFormat;

class Graphics : public LastStatus {
public:
    Graphics(Image* image);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    static Graphics* FromImage(Image* image);

    GraphicsState Save() const;
    Status Restore(GraphicsState state);
    Status Flush(FlushIntention intention = FlushIntentionFlush);

    Status ResetTransform();
    Status SetTransform(const Matrix* matrix);
    Status GetTransform(Matrix* matrix) const;
    Status MultiplyTransform(const Matrix* matrix, MatrixOrder order = MatrixOrderPrepend);
    Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
    Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);
    Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);

    Status SetSmoothingMode(SmoothingMode mode);
    SmoothingMode GetSmoothingMode() const;
    Status SetCompositingMode(CompositingMode mode);
    CompositingMode GetCompositingMode() const;
    Status SetPixelOffsetMode(PixelOffsetMode mode);
    PixelOffsetMode GetPixelOffsetMode() const;
    Status SetTextRenderingHint(TextRenderingHint hint);
    // The page transform follows the world transform: a scale for the whole
    // drawing that views resetting their world transform keep.
    Status SetPageUnit(Unit unit);
    Unit GetPageUnit() const;
    Status SetPageScale(REAL scale);
    REAL GetPageScale() const;

    Status Clear(const Color& color);
    Status FillPath(const Brush* brush, const GraphicsPath* path);
    Status DrawPath(const Pen* pen, const GraphicsPath* path);
    Status DrawLine(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
    Status DrawLine(const Pen* pen, const PointF& point1, const PointF& point2);
    Status DrawLines(const Pen* pen, const PointF* points, INT count);
    Status FillPolygon(const Brush* brush, const PointF* points, INT count, FillMode fillMode = FillModeAlternate);
    Status FillRectangle(const Brush* brush, REAL x, REAL y, REAL width, REAL height);
    Status FillRectangle(const Brush* brush, const RectF& rect);
    Status FillEllipse(const Brush* brush, REAL x, REAL y, REAL width, REAL height);
    Status FillEllipse(const Brush* brush, INT x, INT y, INT width, INT height);
    Status DrawImage(Image* image, REAL x, REAL y);
    Status DrawImage(Image* image, INT x, INT y);
    Status DrawImage(Image* image, REAL x, REAL y, REAL width, REAL height);
    Status DrawImage(Image* image, INT x, INT y, INT width, INT height);

    // A layout rectangle of size 0 places the text at its corner: the string
    // format's alignments then say which side of the point the text lies on.
    Status DrawString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                      const StringFormat* stringFormat, const Brush* brush);
    Status DrawString(const WCHAR* string, INT length, const Font* font, const PointF& origin,
                      const StringFormat* stringFormat, const Brush* brush);
    Status MeasureString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                         const StringFormat* stringFormat, RectF* boundingBox, INT* codepointsFitted = nullptr,
                         INT* linesFilled = nullptr) const;
    Status MeasureString(const WCHAR* string, INT length, const Font* font, const PointF& origin,
                         const StringFormat* stringFormat, RectF* boundingBox) const;

    Status SetClip(const Rect& rect, CombineMode combineMode = CombineModeReplace);
    Status SetClip(const RectF& rect, CombineMode combineMode = CombineModeReplace);
    Status SetClip(const Region* region, CombineMode combineMode = CombineModeReplace);
    Status IntersectClip(const Rect& rect);
    Status IntersectClip(const RectF& rect);
    Status GetClip(Region* region) const;
    Status ResetClip();


protected:

    static GpBrush* native(const Brush* brush);
    static GpPen* native(const Pen* pen);
    static GpPath* native(const GraphicsPath* path);
    static GpImage* native(const Image* image);
    static GpFont* native(const Font* font);
    static GpStringFormat* native(const StringFormat* format);
    static GpMatrix* native(const Matrix* matrix);
    static GpRegion* native(const Region* region);

    GpGraphics* nativeGraphics = nullptr;

};

} // namespace Gdiplus
