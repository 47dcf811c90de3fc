#include "gdiplus_brush.h"
#include "gdiplus_font.h"
#include "gdiplus_graphics.h"
#include "gdiplus_image.h"
#include "gdiplus_matrix.h"
#include "gdiplus_path.h"
#include "gdiplus_pen.h"
#include "gdiplus_region.h"
#include "gdiplus_string_format.h"

#include <algorithm>
#include <cmath>

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
    if (SetStatus(GdipSaveGraphics(nativeGraphics, &state)) == Ok)
        savedPages.push_back({state, pageUnit, pageScale});
    return state;
}

Status Graphics::Restore(GraphicsState state)
{
    const Status status = SetStatus(GdipRestoreGraphics(nativeGraphics, state));
    while (!savedPages.empty()) {
        const SavedPage saved = savedPages.back();
        savedPages.pop_back();
        if (saved.state == state) {
            pageUnit = saved.unit;
            pageScale = saved.scale;
            break;
        }
    }
    return status;
}

Status Graphics::Flush(FlushIntention intention) { return SetStatus(GdipFlush(nativeGraphics, intention)); }

REAL Graphics::effectivePageScale() const
{
    return pageUnit == UnitPixel || pageUnit == UnitDisplay ? pageScale : 1.0f;
}

// Runs change on the world transform as the caller sees it (without the
// page scale) and hands libgdiplus the result with the page scale appended.
Status Graphics::withLogicalTransform(Status (*change)(GpMatrix*, const void*), const void* argument)
{
    GpMatrix* matrix = nullptr;
    Status status = GdipCreateMatrix(&matrix);
    if (status != Ok)
        return SetStatus(status);
    const REAL scale = effectivePageScale();
    status = GdipGetWorldTransform(nativeGraphics, matrix);
    if (status == Ok && scale != 1.0f)
        status = GdipScaleMatrix(matrix, 1.0f / scale, 1.0f / scale, MatrixOrderAppend);
    if (status == Ok)
        status = change(matrix, argument);
    if (status == Ok && scale != 1.0f)
        status = GdipScaleMatrix(matrix, scale, scale, MatrixOrderAppend);
    if (status == Ok)
        status = GdipSetWorldTransform(nativeGraphics, matrix);
    GdipDeleteMatrix(matrix);
    return SetStatus(status);
}

Status Graphics::SetPageUnit(Unit unit)
{
    const REAL before = effectivePageScale();
    pageUnit = unit;
    const REAL after = effectivePageScale();
    if (after == before)
        return Ok;
    return SetStatus(GdipScaleWorldTransform(nativeGraphics, after / before, after / before, MatrixOrderAppend));
}

Unit Graphics::GetPageUnit() const { return pageUnit; }

Status Graphics::SetPageScale(REAL scale)
{
    if (!(scale > 0))
        return SetStatus(InvalidParameter);
    const REAL before = effectivePageScale();
    pageScale = scale;
    const REAL after = effectivePageScale();
    if (after == before)
        return Ok;
    return SetStatus(GdipScaleWorldTransform(nativeGraphics, after / before, after / before, MatrixOrderAppend));
}

REAL Graphics::GetPageScale() const { return pageScale; }

Status Graphics::ResetTransform()
{
    Status status = SetStatus(GdipResetWorldTransform(nativeGraphics));
    const REAL scale = effectivePageScale();
    if (status == Ok && scale != 1.0f)
        status = SetStatus(GdipScaleWorldTransform(nativeGraphics, scale, scale, MatrixOrderAppend));
    return status;
}

Status Graphics::SetTransform(const Matrix* matrix)
{
    REAL elements[6];
    Status status = GdipGetMatrixElements(native(matrix), elements);
    GpMatrix* scaled = nullptr;
    if (status == Ok)
        status = GdipCreateMatrix2(elements[0], elements[1], elements[2], elements[3], elements[4], elements[5], &scaled);
    const REAL scale = effectivePageScale();
    if (status == Ok && scale != 1.0f)
        status = GdipScaleMatrix(scaled, scale, scale, MatrixOrderAppend);
    if (status == Ok)
        status = GdipSetWorldTransform(nativeGraphics, scaled);
    if (scaled)
        GdipDeleteMatrix(scaled);
    return SetStatus(status);
}

Status Graphics::GetTransform(Matrix* matrix) const
{
    Status status = SetStatus(GdipGetWorldTransform(nativeGraphics, native(matrix)));
    const REAL scale = effectivePageScale();
    if (status == Ok && scale != 1.0f)
        status = SetStatus(GdipScaleMatrix(native(matrix), 1.0f / scale, 1.0f / scale, MatrixOrderAppend));
    return status;
}

// Prepended changes apply before the page scale either way; appended ones
// must go between the caller's transform and the page scale.
Status Graphics::MultiplyTransform(const Matrix* matrix, MatrixOrder order)
{
    if (order == MatrixOrderPrepend || effectivePageScale() == 1.0f)
        return SetStatus(GdipMultiplyWorldTransform(nativeGraphics, native(matrix), order));
    return withLogicalTransform(
        [](GpMatrix* logical, const void* other) {
            return GdipMultiplyMatrix(logical, const_cast<GpMatrix*>(static_cast<const GpMatrix*>(other)), MatrixOrderAppend);
        },
        native(matrix));
}

Status Graphics::TranslateTransform(REAL dx, REAL dy, MatrixOrder order)
{
    if (order == MatrixOrderPrepend || effectivePageScale() == 1.0f)
        return SetStatus(GdipTranslateWorldTransform(nativeGraphics, dx, dy, order));
    const REAL offset[2] = {dx, dy};
    return withLogicalTransform(
        [](GpMatrix* logical, const void* by) {
            const auto* d = static_cast<const REAL*>(by);
            return GdipTranslateMatrix(logical, d[0], d[1], MatrixOrderAppend);
        },
        offset);
}

Status Graphics::RotateTransform(REAL angle, MatrixOrder order)
{
    if (order == MatrixOrderPrepend || effectivePageScale() == 1.0f)
        return SetStatus(GdipRotateWorldTransform(nativeGraphics, angle, order));
    return withLogicalTransform(
        [](GpMatrix* logical, const void* by) {
            return GdipRotateMatrix(logical, *static_cast<const REAL*>(by), MatrixOrderAppend);
        },
        &angle);
}

Status Graphics::ScaleTransform(REAL sx, REAL sy, MatrixOrder order)
{
    if (order == MatrixOrderPrepend || effectivePageScale() == 1.0f)
        return SetStatus(GdipScaleWorldTransform(nativeGraphics, sx, sy, order));
    const REAL factors[2] = {sx, sy};
    return withLogicalTransform(
        [](GpMatrix* logical, const void* by) {
            const auto* f = static_cast<const REAL*>(by);
            return GdipScaleMatrix(logical, f[0], f[1], MatrixOrderAppend);
        },
        factors);
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
    // libgdiplus loses an image turned by 90 degrees or more on a scaled
    // page once a clip is set. Such a draw goes through a bitmap of its own
    // in device pixels, which is then placed without a transform.
    GpMatrix* world = nullptr;
    REAL m[6] = {1, 0, 0, 1, 0, 0};
    if (GdipCreateMatrix(&world) == Ok && GdipGetWorldTransform(nativeGraphics, world) == Ok)
        GdipGetMatrixElements(world, m);
    const bool turned = m[1] != 0 || m[2] != 0;
    if (!turned || effectivePageScale() == 1.0f || !(width > 0) || !(height > 0)) {
        if (world)
            GdipDeleteMatrix(world);
        return SetStatus(GdipDrawImageRect(nativeGraphics, native(image), x, y, width, height));
    }
    PointF corners[4] = {{x, y}, {x + width, y}, {x, y + height}, {x + width, y + height}};
    GdipTransformMatrixPoints(world, corners, 4);
    REAL left = corners[0].X, top = corners[0].Y, right = left, bottom = top;
    for (const PointF& corner : corners) {
        left = std::min(left, corner.X);
        top = std::min(top, corner.Y);
        right = std::max(right, corner.X);
        bottom = std::max(bottom, corner.Y);
    }
    const INT originX = INT(std::floor(left)), originY = INT(std::floor(top));
    const INT boxWidth = INT(std::ceil(right)) - originX, boxHeight = INT(std::ceil(bottom)) - originY;
    Status status = boxWidth > 0 && boxHeight > 0 && boxWidth <= 16384 && boxHeight <= 16384 ? Ok : InvalidParameter;
    GpBitmap* box = nullptr;
    if (status == Ok)
        status = GdipCreateBitmapFromScan0(boxWidth, boxHeight, 0, PixelFormat32bppPARGB, nullptr, &box);
    GpGraphics* boxGraphics = nullptr;
    if (status == Ok)
        status = GdipGetImageGraphicsContext(reinterpret_cast<GpImage*>(box), &boxGraphics);
    if (status == Ok) {
        PixelOffsetMode offsetMode = PixelOffsetModeDefault;
        GdipGetPixelOffsetMode(nativeGraphics, &offsetMode);
        GdipSetPixelOffsetMode(boxGraphics, offsetMode);
        GdipSetWorldTransform(boxGraphics, world);
        GdipTranslateWorldTransform(boxGraphics, REAL(-originX), REAL(-originY), MatrixOrderAppend);
        status = GdipDrawImageRect(boxGraphics, native(image), x, y, width, height);
        GdipDeleteGraphics(boxGraphics);
    }
    if (status == Ok) {
        GdipResetWorldTransform(nativeGraphics);
        status = GdipDrawImageRectI(nativeGraphics, reinterpret_cast<GpImage*>(box), originX, originY, boxWidth, boxHeight);
        GdipSetWorldTransform(nativeGraphics, world);
    }
    if (box)
        GdipDisposeImage(reinterpret_cast<GpImage*>(box));
    GdipDeleteMatrix(world);
    return SetStatus(status);
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
