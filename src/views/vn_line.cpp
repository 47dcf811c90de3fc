#include "views/vn_line.h"

#include "foundation/scrambled_text.h"

#include <algorithm>
#include <vector>

namespace vantle::vst {

VNLine::VNLine(const VSTGUI::CPoint& origin) : CView(VSTGUI::CRect(origin.x, origin.y, origin.x + 8, origin.y + 8))
{
    const auto add = [this](auto& property, auto defaultValue, const std::string& name) {
        property.addListener([this] { updateSize(); });
        property.set(defaultValue);
        propertiesByName[name] = &property;
    };
    add(paths, std::vector<PathPrimitive>{}, VANTLE_TEXT("paths"));
    add(color, Gdiplus::Color(0xFF000000), VANTLE_TEXT("color"));
    add(width, 1.0, VANTLE_TEXT("width"));
}

void VNLine::updateSize()
{
    // The box always holds the frame origin, then every primitive's own box
    // ((0, 0) for a primitive without points).
    VSTGUI::CRect box(0, 0, 0, 0);
    for (const PathPrimitive& path : paths.get()) {
        VSTGUI::CRect own(0, 0, 0, 0);
        if (!path.points.empty()) {
            own = VSTGUI::CRect(path.points[0].x, path.points[0].y, path.points[0].x, path.points[0].y);
            for (const VSTGUI::CPoint& p : path.points) {
                own.left = std::min(own.left, p.x);
                own.top = std::min(own.top, p.y);
                own.right = std::max(own.right, p.x);
                own.bottom = std::max(own.bottom, p.y);
            }
        }
        box.left = std::min(box.left, own.left);
        box.top = std::min(box.top, own.top);
        box.right = std::max(box.right, own.right);
        box.bottom = std::max(box.bottom, own.bottom);
    }
    invalid();
    setViewSize(box.extend(8, 8), true);
}

void VNLine::draw(VSTGUI::CDrawContext* context) { drawWithGdiplus(*this, *this, context); }

void VNLine::setProperty(const std::string& name, const picojson::value& value)
{
    setDrawableProperty(*this, propertiesByName, name, value);
}

void VNLine::paint(Gdiplus::Graphics& graphics)
{
    Gdiplus::Pen pen(color.get(), float(width.get()));
    Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
    std::vector<Gdiplus::PointF> points;
    for (const PathPrimitive& primitive : paths.get()) {
        points.clear();
        for (const VSTGUI::CPoint& p : primitive.points)
            points.emplace_back(float(p.x), float(p.y));
        const int count = static_cast<int>(points.size());
        if (primitive.kind == PathPrimitive::bezierChain)
            path.AddBeziers(points.data(), count);
        else
            path.AddLines(points.data(), count);
    }
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
    graphics.DrawPath(&pen, &path);
}

} // namespace vantle::vst
