#include "gdiplus_brush.h"
#include "gdiplus_font.h"
#include "gdiplus_graphics.h"
#include "gdiplus_image.h"
#include "gdiplus_matrix.h"
#include "gdiplus_path.h"
#include "gdiplus_pen.h"
#include "gdiplus_region.h"
#include "gdiplus_string_format.h"

namespace Gdiplus {

using namespace DllExports;

GpBrush* Graphics::native(const Brush* brush) { return brush ? brush->nativeBrush : nullptr; }
GpPen* Graphics::native(const Pen* pen) { return pen ? pen->nativePen : nullptr; }
GpPath* Graphics::native(const GraphicsPath* path) { return path ? path->nativePath : nullptr; }
GpImage* Graphics::native(const Image* image) { return image ? image->nativeImage : nullptr; }
GpFont* Graphics::native(const Font* font) { return font ? font->nativeFont : nullptr; }
GpStringFormat* Graphics::native(const StringFormat* format) { return format ? format->nativeFormat : nullptr; }
GpMatrix* Graphics::native(const Matrix* matrix) { return matrix ? matrix->nativeMatrix : nullptr; }
GpRegion* Graphics::native(const Region* region) { return region ? region->nativeRegion : nullptr; }

Graphics::Graphics(Image* image)
{
    lastResult = image ? GdipGetImageGraphicsContext(native(image), &nativeGraphics) : InvalidParameter;
}

Graphics::~Graphics()
{
    if (nativeGraphics)
        GdipDeleteGraphics(nativeGraphics);
}

Graphics* Graphics::FromImage(Image* image) { return new Graphics(image); }

GraphicsState Graphics::Save() const
{
    GraphicsState state = 0;
    SetStatus(GdipSaveGraphics(nativeGraphics, &state));
    return state;
}

Status Graphics::Restore(GraphicsState state) { return SetStatus(GdipRestoreGraphics(nativeGraphics, state)); }

Status Graphics::Flush(FlushIntention intention) { return SetStatus(GdipFlush(nativeGraphics, intention)); }

Status Graphics::ResetTransform() { return SetStatus(GdipResetWorldTransform(nativeGraphics)); }

Status Graphics::SetTransform(const Matrix* matrix)
{
    return SetStatus(GdipSetWorldTransform(nativeGraphics, native(matrix)));
}

Status Graphics::GetTransform(Matrix* matrix) const
{
    return SetStatus(GdipGetWorldTransform(nativeGraphics, native(matrix)));
}

Status Graphics::MultiplyTransform(const Matrix* matrix, MatrixOrder order)
{
    return SetStatus(GdipMultiplyWorldTransform(nativeGraphics, native(matrix), order));
}

Status Graphics::TranslateTransform(REAL dx, REAL dy, MatrixOrder order)
{
    return SetStatus(GdipTranslateWorldTransform(nativeGraphics, dx, dy, order));
}

Status Graphics::RotateTransform(REAL angle, MatrixOrder order)
{
    return SetStatus(GdipRotateWorldTransform(nativeGraphics, angle, order));
}

Status Graphics::ScaleTransform(REAL sx, REAL sy, MatrixOrder order)
{
    return SetStatus(GdipScaleWorldTransform(nativeGraphics, sx, sy, order));
}

Status Graphics::SetSmoothingMode(SmoothingMode mode) { return SetStatus(GdipSetSmoothingMode(nativeGraphics, mode)); }

SmoothingMode Graphics::GetSmoothingMode() const
{
    SmoothingMode mode = SmoothingModeInvalid;
    SetStatus(GdipGetSmoothingMode(nativeGraphics, &mode));
    return mode;
}

Status Graphics::SetCompositingMode(CompositingMode mode)
{
    return SetStatus(GdipSetCompositingMode(nativeGraphics, mode));
}

CompositingMode Graphics::GetCompositingMode() const
{
    CompositingMode mode = CompositingModeSourceOver;
    SetStatus(GdipGetCompositingMode(nativeGraphics, &mode));
    return mode;
}

Status Graphics::SetPixelOffsetMode(PixelOffsetMode mode)
{
    return SetStatus(GdipSetPixelOffsetMode(nativeGraphics, mode));
}

PixelOffsetMode Graphics::GetPixelOffsetMode() const
{
    PixelOffsetMode mode = PixelOffsetModeInvalid;
    SetStatus(GdipGetPixelOffsetMode(nativeGraphics, &mode));
    return mode;
}

Status Graphics::SetTextRenderingHint(TextRenderingHint hint)
{
    return SetStatus(GdipSetTextRenderingHint(nativeGraphics, hint));
}

Status Graphics::Clear(const Color& color) { return SetStatus(GdipGraphicsClear(nativeGraphics, color.GetValue())); }

Status Graphics::FillPath(const Brush* brush, const GraphicsPath* path)
{
    return SetStatus(GdipFillPath(nativeGraphics, native(brush), native(path)));
}

Status Graphics::DrawPath(const Pen* pen, const GraphicsPath* path)
{
    return SetStatus(GdipDrawPath(nativeGraphics, native(pen), native(path)));
}

Status Graphics::DrawLine(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2)
{
    return SetStatus(GdipDrawLine(nativeGraphics, native(pen), x1, y1, x2, y2));
}

Status Graphics::DrawLine(const Pen* pen, const PointF& point1, const PointF& point2)
{
    return DrawLine(pen, point1.X, point1.Y, point2.X, point2.Y);
}

Status Graphics::DrawLines(const Pen* pen, const PointF* points, INT count)
{
    return SetStatus(GdipDrawLines(nativeGraphics, native(pen), points, count));
}

Status Graphics::FillPolygon(const Brush* brush, const PointF* points, INT count, FillMode fillMode)
{
    return SetStatus(GdipFillPolygon(nativeGraphics, native(brush), points, count, fillMode));
}

Status Graphics::FillRectangle(const Brush* brush, REAL x, REAL y, REAL width, REAL height)
{
    return SetStatus(GdipFillRectangle(nativeGraphics, native(brush), x, y, width, height));
}

Status Graphics::FillRectangle(const Brush* brush, const RectF& rect)
{
    return FillRectangle(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

Status Graphics::FillEllipse(const Brush* brush, REAL x, REAL y, REAL width, REAL height)
{
    return SetStatus(GdipFillEllipse(nativeGraphics, native(brush), x, y, width, height));
}

Status Graphics::FillEllipse(const Brush* brush, INT x, INT y, INT width, INT height)
{
    return SetStatus(GdipFillEllipseI(nativeGraphics, native(brush), x, y, width, height));
}

Status Graphics::DrawImage(Image* image, REAL x, REAL y)
{
    return SetStatus(GdipDrawImage(nativeGraphics, native(image), x, y));
}

Status Graphics::DrawImage(Image* image, INT x, INT y)
{
    return SetStatus(GdipDrawImageI(nativeGraphics, native(image), x, y));
}

Status Graphics::DrawImage(Image* image, REAL x, REAL y, REAL width, REAL height)
{
    return SetStatus(GdipDrawImageRect(nativeGraphics, native(image), x, y, width, height));
}

Status Graphics::DrawImage(Image* image, INT x, INT y, INT width, INT height)
{
    return SetStatus(GdipDrawImageRectI(nativeGraphics, native(image), x, y, width, height));
}

Status Graphics::DrawString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                            const StringFormat* stringFormat, const Brush* brush)
{
    return SetStatus(GdipDrawString(nativeGraphics, string, length, native(font), &layoutRect,
                                    native(stringFormat), native(brush)));
}

Status Graphics::DrawString(const WCHAR* string, INT length, const Font* font, const PointF& origin,
                            const StringFormat* stringFormat, const Brush* brush)
{
    return DrawString(string, length, font, RectF(origin.X, origin.Y, 0, 0), stringFormat, brush);
}

Status Graphics::MeasureString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                               const StringFormat* stringFormat, RectF* boundingBox, INT* codepointsFitted,
                               INT* linesFilled) const
{
    // libgdiplus measures an unbounded layout (size 0) as 0 by 0 unless a
    // format is given; Windows then measures with the default format.
    const bool unbounded = layoutRect.Width == 0 && layoutRect.Height == 0;
    if (unbounded && !stringFormat) {
        const StringFormat defaultFormat;
        return SetStatus(GdipMeasureString(nativeGraphics, string, length, native(font), &layoutRect,
                                           native(&defaultFormat), boundingBox, codepointsFitted,
                                           linesFilled));
    }
    return SetStatus(GdipMeasureString(nativeGraphics, string, length, native(font), &layoutRect,
                                       native(stringFormat), boundingBox, codepointsFitted, linesFilled));
}

Status Graphics::MeasureString(const WCHAR* string, INT length, const Font* font, const PointF& origin,
                               const StringFormat* stringFormat, RectF* boundingBox) const
{
    return MeasureString(string, length, font, RectF(origin.X, origin.Y, 0, 0), stringFormat, boundingBox);
}

Status Graphics::SetClip(const Rect& rect, CombineMode combineMode)
{
    return SetStatus(GdipSetClipRectI(nativeGraphics, rect.X, rect.Y, rect.Width, rect.Height, combineMode));
}

Status Graphics::SetClip(const RectF& rect, CombineMode combineMode)
{
    return SetStatus(GdipSetClipRect(nativeGraphics, rect.X, rect.Y, rect.Width, rect.Height, combineMode));
}

Status Graphics::SetClip(const Region* region, CombineMode combineMode)
{
    return SetStatus(GdipSetClipRegion(nativeGraphics, native(region), combineMode));
}

Status Graphics::IntersectClip(const Rect& rect) { return SetClip(rect, CombineModeIntersect); }

Status Graphics::IntersectClip(const RectF& rect) { return SetClip(rect, CombineModeIntersect); }

Status Graphics::GetClip(Region* region) const
{
    return SetStatus(GdipGetClip(nativeGraphics, native(region)));
}

Status Graphics::ResetClip() { return SetStatus(GdipResetClip(nativeGraphics)); }

Status Graphics::GetLastStatus() const
{
    const Status status = lastResult;
    lastResult = Ok;
    return status;
}

Status Graphics::SetStatus(Status status) const
{
    if (status != Ok)
        lastResult = status;
    return status;
}

} // namespace Gdiplus
