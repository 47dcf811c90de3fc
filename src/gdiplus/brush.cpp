#include "gdiplus_brush.h"
#include "gdiplus_image.h"
#include "gdiplus_matrix.h"
#include "gdiplus_path.h"
#include "native_objects.h"

#include <algorithm>

namespace Gdiplus {

namespace {

void addStop(cairo_pattern_t* pattern, double offset, ARGB color)
{
    const Color c(color);
    cairo_pattern_add_color_stop_rgba(pattern, offset, c.GetR() / 255.0, c.GetG() / 255.0, c.GetB() / 255.0,
                                      c.GetA() / 255.0);
}

cairo_extend_t tiling(WrapMode mode)
{
    switch (mode) {
    case WrapModeTile:
        return CAIRO_EXTEND_REPEAT;
    case WrapModeClamp:
        return CAIRO_EXTEND_NONE;
    default:
        // cairo mirrors both ways or neither.
        return CAIRO_EXTEND_REFLECT;
    }
}

// The pattern matrix maps user space to pattern space: the inverse of where
// the pattern is placed. Null when the placement cannot be inverted.
cairo_pattern_t* placed(cairo_pattern_t* pattern, const cairo_matrix_t& placement)
{
    cairo_matrix_t inverse = placement;
    if (cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS) {
        cairo_pattern_destroy(pattern);
        return nullptr;
    }
    cairo_pattern_set_matrix(pattern, &inverse);
    return pattern;
}

} // namespace

cairo_pattern_t* GpSolidFill::createPattern() const
{
    const Color c(color);
    return cairo_pattern_create_rgba(c.GetR() / 255.0, c.GetG() / 255.0, c.GetB() / 255.0, c.GetA() / 255.0);
}

cairo_pattern_t* GpLineGradient::createPattern() const
{
    cairo_pattern_t* pattern = cairo_pattern_create_linear(double(start.X), double(start.Y), double(end.X), double(end.Y));
    addStop(pattern, 0, startColor);
    addStop(pattern, 1, endColor);
    cairo_pattern_set_extend(pattern, wrapMode == WrapModeClamp ? CAIRO_EXTEND_PAD : tiling(wrapMode));
    return pattern;
}

cairo_pattern_t* GpPathGradient::createPattern() const
{
    // Along every ray from the centre the colour goes linearly from the
    // centre colour to the surround colour at the ellipse: a radial gradient
    // over the unit circle, mapped onto the ellipse.
    cairo_pattern_t* pattern = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    addStop(pattern, 0, centerColor);
    addStop(pattern, 1, surroundColor);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_NONE);
    return placed(pattern, ellipse);
}

GpTexture::~GpTexture()
{
    if (surface)
        cairo_surface_destroy(surface);
}

cairo_pattern_t* GpTexture::createPattern() const
{
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
    cairo_pattern_set_extend(pattern, tiling(wrapMode));
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
    return placed(pattern, transform);
}

Brush::~Brush() { delete nativeBrush; }

SolidBrush::SolidBrush(const Color& color) { SetNativeBrush(new GpSolidFill(color.GetValue())); }

Status SolidBrush::SetColor(const Color& color)
{
    static_cast<GpSolidFill*>(nativeBrush)->color = color.GetValue();
    return Ok;
}

LinearGradientBrush::LinearGradientBrush(const PointF& point1, const PointF& point2, const Color& color1,
                                         const Color& color2)
{
    // GDI+ cannot make a gradient without a direction.
    if (point1.X == point2.X && point1.Y == point2.Y) {
        lastResult = OutOfMemory;
        return;
    }
    auto* brush = new GpLineGradient;
    brush->start = point1;
    brush->end = point2;
    brush->startColor = color1.GetValue();
    brush->endColor = color2.GetValue();
    SetNativeBrush(brush);
}

PathGradientBrush::PathGradientBrush(const GraphicsPath* path)
{
    if (!path) {
        lastResult = InvalidParameter;
        return;
    }
    const GpPath& source = *path->nativePath;
    // The views' gradients are over ellipses (a knob's shadow); any other
    // outline is left to the system's GDI+.
    if (!source.ellipse) {
        lastResult = NotImplemented;
        return;
    }
    auto* brush = new GpPathGradient;
    brush->ellipse = *source.ellipse;
    SetNativeBrush(brush);
}

Status PathGradientBrush::SetCenterColor(const Color& color)
{
    if (!nativeBrush)
        return SetStatus(InvalidParameter);
    static_cast<GpPathGradient*>(nativeBrush)->centerColor = color.GetValue();
    return Ok;
}

Status PathGradientBrush::SetSurroundColors(const Color* colors, INT* count)
{
    if (!nativeBrush || !colors || !count || *count <= 0)
        return SetStatus(InvalidParameter);
    // One colour all round: the gradient the layer draws.
    for (INT i = 1; i < *count; ++i)
        if (colors[i].GetValue() != colors[0].GetValue())
            return SetStatus(NotImplemented);
    static_cast<GpPathGradient*>(nativeBrush)->surroundColor = colors[0].GetValue();
    return Ok;
}

TextureBrush::TextureBrush(Image* image, WrapMode wrapMode)
{
    if (!image || !image->nativeImage || wrapMode < WrapModeTile || wrapMode > WrapModeClamp) {
        lastResult = InvalidParameter;
        return;
    }
    auto* brush = new GpTexture;
    brush->surface = cairo_surface_reference(image->nativeImage->surface);
    brush->wrapMode = wrapMode;
    cairo_matrix_init_identity(&brush->transform);
    SetNativeBrush(brush);
}

Status TextureBrush::SetTransform(const Matrix* matrix)
{
    if (!nativeBrush || !matrix)
        return SetStatus(InvalidParameter);
    cairo_matrix_t inverse = matrix->nativeMatrix->value;
    if (cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS)
        return SetStatus(InvalidParameter);
    static_cast<GpTexture*>(nativeBrush)->transform = matrix->nativeMatrix->value;
    return Ok;
}

} // namespace Gdiplus
