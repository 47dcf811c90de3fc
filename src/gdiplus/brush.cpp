#include "gdiplus_brush.h"
#include "gdiplus_image.h"
#include "gdiplus_matrix.h"
#include "gdiplus_path.h"
#include "native_objects.h"
#include "path_geometry.h"

#include <algorithm>

namespace Gdiplus {

namespace {

void addStop(cairo_pattern_t* pattern, double offset, ARGB color)
{
    const Color c(color);
    cairo_pattern_add_color_stop_rgba(pattern, offset, c.GetR() / 255.0, c.GetG() / 255.0, c.GetB() / 255.0,
                                      c.GetA() / 255.0);
}

void setCorner(cairo_pattern_t* mesh, unsigned int corner, ARGB color)
{
    const Color c(color);
    cairo_mesh_pattern_set_corner_color_rgba(mesh, corner, c.GetR() / 255.0, c.GetG() / 255.0, c.GetB() / 255.0,
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
    cairo_pattern_t* pattern = cairo_pattern_create_linear(start.X, start.Y, end.X, end.Y);
    addStop(pattern, 0, startColor);
    addStop(pattern, 1, endColor);
    cairo_pattern_set_extend(pattern, wrapMode == WrapModeClamp ? CAIRO_EXTEND_PAD : tiling(wrapMode));
    return pattern;
}

cairo_pattern_t* GpPathGradient::createPattern() const
{
    const bool oneSurroundColor =
        std::all_of(surroundColors.begin(), surroundColors.end(), [&](ARGB c) { return c == surroundColors[0]; });
    if (ellipse && oneSurroundColor) {
        // Along every ray from the centre the colour goes linearly from the
        // centre colour to the surround colour at the ellipse: a radial
        // gradient over the unit circle, mapped onto the ellipse.
        cairo_pattern_t* pattern = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
        addStop(pattern, 0, centerColor);
        addStop(pattern, 1, surroundColors[0]);
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_NONE);
        return placed(pattern, *ellipse);
    }
    if (boundary.size() < 3)
        return nullptr;
    // Any other outline: one Gouraud triangle from the centre to each edge,
    // which is the same linear interpolation along the rays.
    cairo_pattern_t* mesh = cairo_pattern_create_mesh();
    const std::size_t count = boundary.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t next = (i + 1) % count;
        cairo_mesh_pattern_begin_patch(mesh);
        cairo_mesh_pattern_move_to(mesh, center.X, center.Y);
        cairo_mesh_pattern_line_to(mesh, boundary[i].X, boundary[i].Y);
        cairo_mesh_pattern_line_to(mesh, boundary[next].X, boundary[next].Y);
        setCorner(mesh, 0, centerColor);
        setCorner(mesh, 1, surroundColors[std::min(i, surroundColors.size() - 1)]);
        setCorner(mesh, 2, surroundColors[std::min(next, surroundColors.size() - 1)]);
        cairo_mesh_pattern_end_patch(mesh);
    }
    return mesh;
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

Status Brush::GetLastStatus() const
{
    const Status status = lastResult;
    lastResult = Ok;
    return status;
}

Status Brush::SetStatus(Status status) const
{
    if (status != Ok)
        lastResult = status;
    return status;
}

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
    std::vector<PointF> outline = flattenedOutline(source);
    if (outline.size() < 3) {
        lastResult = OutOfMemory;
        return;
    }
    auto* brush = new GpPathGradient;
    brush->ellipse = source.ellipse;
    brush->center = source.ellipse ? PointF(REAL(source.ellipse->x0), REAL(source.ellipse->y0)) : centroid(outline);
    brush->boundary = std::move(outline);
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
    auto* brush = static_cast<GpPathGradient*>(nativeBrush);
    if (std::size_t(*count) > brush->boundary.size() && !brush->ellipse)
        return SetStatus(InvalidParameter);
    brush->surroundColors.clear();
    for (INT i = 0; i < *count; ++i)
        brush->surroundColors.push_back(colors[i].GetValue());
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
