#include "gdiplus_brush.h"
#include "gdiplus_image.h"
#include "gdiplus_matrix.h"
#include "gdiplus_path.h"

#include <vector>

namespace Gdiplus {

using namespace DllExports;

Brush::~Brush()
{
    if (nativeBrush)
        GdipDeleteBrush(nativeBrush);
}

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

SolidBrush::SolidBrush(const Color& color)
{
    GpSolidFill* brush = nullptr;
    lastResult = GdipCreateSolidFill(color.GetValue(), &brush);
    SetNativeBrush(reinterpret_cast<GpBrush*>(brush));
}

Status SolidBrush::SetColor(const Color& color)
{
    return SetStatus(GdipSetSolidFillColor(reinterpret_cast<GpSolidFill*>(nativeBrush), color.GetValue()));
}

LinearGradientBrush::LinearGradientBrush(const PointF& point1, const PointF& point2, const Color& color1,
                                         const Color& color2)
{
    GpLineGradient* brush = nullptr;
    lastResult = GdipCreateLineBrush(&point1, &point2, color1.GetValue(), color2.GetValue(), WrapModeTile, &brush);
    SetNativeBrush(reinterpret_cast<GpBrush*>(brush));
}

PathGradientBrush::PathGradientBrush(const GraphicsPath* path)
{
    GpPathGradient* brush = nullptr;
    lastResult = GdipCreatePathGradientFromPath(path ? path->nativePath : nullptr, &brush);
    // libgdiplus averages every point of the path, the one that closes the
    // figure onto its start included, so an ellipse's centre comes out off
    // centre; GDI+ uses the centroid of the outline.
    INT count = 0;
    if (lastResult == Ok && path && GdipGetPointCount(path->nativePath, &count) == Ok && count > 1) {
        std::vector<PointF> points(static_cast<std::size_t>(count));
        if (GdipGetPathPoints(path->nativePath, points.data(), count) == Ok) {
            if (points.front().X == points.back().X && points.front().Y == points.back().Y)
                points.pop_back();
            PointF centre(0, 0);
            for (const PointF& point : points) {
                centre.X += point.X / REAL(points.size());
                centre.Y += point.Y / REAL(points.size());
            }
            GdipSetPathGradientCenterPoint(brush, &centre);
        }
    }
    SetNativeBrush(reinterpret_cast<GpBrush*>(brush));
}

Status PathGradientBrush::SetCenterColor(const Color& color)
{
    return SetStatus(GdipSetPathGradientCenterColor(reinterpret_cast<GpPathGradient*>(nativeBrush), color.GetValue()));
}

Status PathGradientBrush::SetSurroundColors(const Color* colors, INT* count)
{
    if (!colors || !count || *count <= 0)
        return SetStatus(InvalidParameter);
    std::vector<ARGB> values(static_cast<size_t>(*count));
    for (INT i = 0; i < *count; ++i)
        values[static_cast<size_t>(i)] = colors[i].GetValue();
    return SetStatus(
        GdipSetPathGradientSurroundColorsWithCount(reinterpret_cast<GpPathGradient*>(nativeBrush), values.data(), count));
}

TextureBrush::TextureBrush(Image* image, WrapMode wrapMode)
{
    GpTexture* brush = nullptr;
    lastResult = GdipCreateTexture(image ? image->nativeImage : nullptr, wrapMode, &brush);
    SetNativeBrush(reinterpret_cast<GpBrush*>(brush));
}

Status TextureBrush::SetTransform(const Matrix* matrix)
{
    return SetStatus(GdipSetTextureTransform(reinterpret_cast<GpTexture*>(nativeBrush),
                                             matrix ? matrix->nativeMatrix : nullptr));
}

} // namespace Gdiplus
