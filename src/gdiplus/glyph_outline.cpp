// Glyph outlines as cairo paths, for text under a scaled or rotated
// transform, where a mask rendered for whole device pixels would not fit.
#include "freetype_face.h"

#include FT_OUTLINE_H

namespace Gdiplus {

namespace {

struct OutlineTarget {
    cairo_t* context;
    double x, y;
    FT_Vector last;
};

void point(const OutlineTarget& target, const FT_Vector* v, double& x, double& y)
{
    x = target.x + double(v->x) / 64.0;
    y = target.y - double(v->y) / 64.0;
}

int moveTo(const FT_Vector* to, void* user)
{
    auto& target = *static_cast<OutlineTarget*>(user);
    double x, y;
    point(target, to, x, y);
    cairo_close_path(target.context);
    cairo_move_to(target.context, x, y);
    target.last = *to;
    return 0;
}

int lineTo(const FT_Vector* to, void* user)
{
    auto& target = *static_cast<OutlineTarget*>(user);
    double x, y;
    point(target, to, x, y);
    cairo_line_to(target.context, x, y);
    target.last = *to;
    return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    // A quadratic segment as the cubic that traces it.
    auto& target = *static_cast<OutlineTarget*>(user);
    double x0, y0, xc, yc, x3, y3;
    point(target, &target.last, x0, y0);
    point(target, control, xc, yc);
    point(target, to, x3, y3);
    cairo_curve_to(target.context, x0 + 2.0 / 3.0 * (xc - x0), y0 + 2.0 / 3.0 * (yc - y0),
                   x3 + 2.0 / 3.0 * (xc - x3), y3 + 2.0 / 3.0 * (yc - y3), x3, y3);
    target.last = *to;
    return 0;
}

int cubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user)
{
    auto& target = *static_cast<OutlineTarget*>(user);
    double x1, y1, x2, y2, x3, y3;
    point(target, control1, x1, y1);
    point(target, control2, x2, y2);
    point(target, to, x3, y3);
    cairo_curve_to(target.context, x1, y1, x2, y2, x3, y3);
    target.last = *to;
    return 0;
}

} // namespace

void FontFace::addGlyphOutline(cairo_t* context, unsigned int glyph, double emPixels, double x, double y) const
{
    const std::lock_guard lock(resource->mutex);
    if (!load(glyph, emPixels, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) ||
        resource->face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return;
    const FT_Outline_Funcs functions{moveTo, lineTo, conicTo, cubicTo, 0, 0};
    OutlineTarget target{context, x, y, {0, 0}};
    cairo_new_sub_path(context);
    FT_Outline_Decompose(&resource->face->glyph->outline, &functions, &target);
    cairo_close_path(context);
}

} // namespace Gdiplus
