#include "views/vn_rect.h"

#include "foundation/scrambled_text.h"

namespace vantle::vst {

VNRect::VNRect() : CView(VSTGUI::CRect(0, 0, 8, 8))
{
    const auto add = [this](auto& property, auto defaultValue, const std::string& name) {
        property.addListener([this] { updateSize(); });
        property.set(defaultValue);
        propertiesByName[name] = &property;
    };
    add(rect, VSTGUI::CRect(0, 0, 8, 8), VANTLE_TEXT("rect"));
    add(topColor, Gdiplus::Color(0xFF3C3C3C), VANTLE_TEXT("topColor"));
    add(bottomColor, Gdiplus::Color(0xFF282828), VANTLE_TEXT("bottomColor"));
}

void VNRect::updateSize()
{
    invalid();
    VSTGUI::CRect area = rect.get();
    setViewSize(area.extend(4, 4), true);
}

void VNRect::draw(VSTGUI::CDrawContext* context) { drawWithGdiplus(*this, *this, context); }

void VNRect::setProperty(const std::string& name, const picojson::value& value)
{
    setDrawableProperty(*this, propertiesByName, name, value);
}

void VNRect::paint(Gdiplus::Graphics& graphics)
{
    const VSTGUI::CRect& r = rect.get();
    Gdiplus::LinearGradientBrush brush(Gdiplus::PointF(float(r.left), float(r.top)),
                                       Gdiplus::PointF(float(r.left), float(r.bottom)), topColor.get(),
                                       bottomColor.get());
    Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
    path.AddRectangle(Gdiplus::RectF(float(r.left), float(r.top), float(r.right - r.left), float(r.bottom - r.top)));
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
    graphics.FillPath(&brush, &path);
}

} // namespace vantle::vst
