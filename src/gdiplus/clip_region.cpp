#include "clip_region.h"

#include <algorithm>
#include <cmath>

namespace Gdiplus {

namespace {

// The pixels whose centres lie in [from, to).
int firstPixel(double edge) { return int(std::ceil(edge - 0.5)); }

bool axisAlignedRectangle(const std::vector<PointF>& figure, cairo_rectangle_int_t& rect)
{
    if (figure.size() != 4)
        return false;
    for (std::size_t i = 0; i < 4; ++i) {
        const PointF& a = figure[i];
        const PointF& b = figure[(i + 1) % 4];
        if (a.X != b.X && a.Y != b.Y)
            return false;
    }
    double left = double(figure[0].X), right = left, top = double(figure[0].Y), bottom = top;
    for (const PointF& p : figure) {
        left = std::min(left, double(p.X));
        right = std::max(right, double(p.X));
        top = std::min(top, double(p.Y));
        bottom = std::max(bottom, double(p.Y));
    }
    rect.x = firstPixel(left);
    rect.y = firstPixel(top);
    rect.width = std::max(0, firstPixel(right) - rect.x);
    rect.height = std::max(0, firstPixel(bottom) - rect.y);
    return true;
}

// Any other outline is scan-converted without anti-aliasing (cairo samples
// pixel centres then) and read back row by row.
void addScanConverted(cairo_region_t* region, const std::vector<std::vector<PointF>>& figures,
                      const cairo_rectangle_int_t& bounds)
{
    if (bounds.width <= 0 || bounds.height <= 0)
        return;
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, bounds.width, bounds.height);
    cairo_t* context = cairo_create(mask);
    cairo_set_antialias(context, CAIRO_ANTIALIAS_NONE);
    cairo_set_fill_rule(context, CAIRO_FILL_RULE_WINDING);
    cairo_translate(context, -bounds.x, -bounds.y);
    for (const auto& figure : figures) {
        for (std::size_t i = 0; i < figure.size(); ++i)
            (i == 0 ? cairo_move_to : cairo_line_to)(context, double(figure[i].X), double(figure[i].Y));
        cairo_close_path(context);
    }
    cairo_fill(context);
    cairo_destroy(context);
    cairo_surface_flush(mask);
    const unsigned char* data = cairo_image_surface_get_data(mask);
    const int stride = cairo_image_surface_get_stride(mask);
    for (int y = 0; y < bounds.height; ++y) {
        const unsigned char* row = data + std::ptrdiff_t(y) * stride;
        for (int x = 0; x < bounds.width;) {
            if (!row[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < bounds.width && row[x])
                ++x;
            const cairo_rectangle_int_t run{bounds.x + start, bounds.y + y, x - start, 1};
            cairo_region_union_rectangle(region, &run);
        }
    }
    cairo_surface_destroy(mask);
}

} // namespace

PixelRegion rasterize(const std::vector<std::vector<PointF>>& figures, const cairo_rectangle_int_t& bounds)
{
    cairo_region_t* region = cairo_region_create();
    std::vector<std::vector<PointF>> others;
    for (const auto& figure : figures) {
        cairo_rectangle_int_t rect;
        if (axisAlignedRectangle(figure, rect))
            cairo_region_union_rectangle(region, &rect);
        else if (figure.size() >= 3)
            others.push_back(figure);
    }
    if (!others.empty())
        addScanConverted(region, others, bounds);
    return PixelRegion(region);
}

PixelRegion combine(const PixelRegion& current, const PixelRegion& shape, CombineMode mode,
                    const cairo_rectangle_int_t& bounds)
{
    const auto finite = [&](const PixelRegion& r) {
        return r.infinite() ? cairo_region_create_rectangle(&bounds) : cairo_region_copy(r.get());
    };
    switch (mode) {
    case CombineModeReplace:
        return shape;
    case CombineModeIntersect:
        if (current.infinite())
            return shape;
        if (shape.infinite())
            return current;
        break;
    default:
        break;
    }
    cairo_region_t* result = finite(current);
    cairo_region_t* other = finite(shape);
    if (mode == CombineModeIntersect)
        cairo_region_intersect(result, other);
    else
        cairo_region_subtract(result, other);
    cairo_region_destroy(other);
    return PixelRegion(result);
}

void applyClip(cairo_t* context, const PixelRegion& region)
{
    cairo_reset_clip(context);
    if (region.infinite())
        return;
    // Not inside cairo_save: restoring would drop the clip as well.
    cairo_matrix_t matrix;
    cairo_get_matrix(context, &matrix);
    const cairo_fill_rule_t fillRule = cairo_get_fill_rule(context);
    cairo_identity_matrix(context);
    cairo_new_path(context);
    const int count = cairo_region_num_rectangles(region.get());
    for (int i = 0; i < count; ++i) {
        cairo_rectangle_int_t rect;
        cairo_region_get_rectangle(region.get(), i, &rect);
        cairo_rectangle(context, rect.x, rect.y, rect.width, rect.height);
    }
    if (count == 0)
        cairo_rectangle(context, 0, 0, 0, 0);
    cairo_set_fill_rule(context, CAIRO_FILL_RULE_WINDING);
    cairo_clip(context);
    cairo_set_fill_rule(context, fillRule);
    cairo_set_matrix(context, &matrix);
}

} // namespace Gdiplus
