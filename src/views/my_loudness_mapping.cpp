#include "views/my_loudness_mapping.h"

#include "framework/resource_cache.h"
#include "foundation/scrambled_text.h"
#include "views/wide_text.h"

#include <string>

namespace vantle::vst {

namespace {

constexpr double levelPerCell = -6.0;

} // namespace

std::string MyLoudnessMapping::labelFontName() { return VANTLE_TEXT("Courier Prime Code.ttf"); }

MyLoudnessMapping::MyLoudnessMapping(const VSTGUI::CPoint& origin, ResourceCache* resources)
    : CView(VSTGUI::CRect(origin.x, origin.y, origin.x + 8, origin.y + 8)), resourceCache(resources)
{
    const auto add = [this](auto& property, auto defaultValue, const std::string& name) {
        property.addListener([this] { updateSize(); });
        property.set(defaultValue);
        propertiesByName[name] = &property;
    };
    add(cellSize, 20.0, VANTLE_TEXT("cellSize"));
    add(cellCount, std::int32_t(11), VANTLE_TEXT("cellCount"));
    add(position, origin, VANTLE_TEXT("position"));
}

float MyLoudnessMapping::extent() const { return float((double(cellCount.get()) - 1) * cellSize.get()); }

double MyLoudnessMapping::levelToX(double level) const
{
    return ((double(cellCount.get()) - 1) - level / levelPerCell) * cellSize.get();
}

double MyLoudnessMapping::levelToY(double level) const { return (level / levelPerCell) * cellSize.get(); }

void MyLoudnessMapping::updateSize()
{
    // Room on the left for the labels, around for the panel's border.
    const VSTGUI::CPoint& p = position.get();
    const auto e = static_cast<double>(extent());
    invalid();
    setViewSize(VSTGUI::CRect(p.x - 36, p.y - 24, p.x + e + 24, p.y + e + 24), true);
}

void MyLoudnessMapping::draw(VSTGUI::CDrawContext* context) { drawWithGdiplus(*this, *this, context); }

void MyLoudnessMapping::setProperty(const std::string& name, const picojson::value& value)
{
    setDrawableProperty(*this, propertiesByName, name, value);
}

void MyLoudnessMapping::paint(Gdiplus::Graphics& graphics)
{
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
    graphics.ResetTransform();
    graphics.TranslateTransform(float(position.get().x), float(position.get().y), Gdiplus::MatrixOrderPrepend);
    const float e = extent();
    paintPanel(graphics, e);
    paintGrid(graphics, e);
    paintCurve(graphics, e);
    paintCrossHair(graphics, e);
}

void MyLoudnessMapping::paintPanel(Gdiplus::Graphics& graphics, float e) const
{
    // A rectangle from (-28, -16) to (e + 16, e + 16) with corners of radius 8.
    Gdiplus::GraphicsPath panel(Gdiplus::FillModeWinding);
    panel.AddArc(-28.0f, -16.0f, 16.0f, 16.0f, 180.0f, 90.0f);
    panel.AddArc(e, -16.0f, 16.0f, 16.0f, 270.0f, 90.0f);
    panel.AddArc(e, e, 16.0f, 16.0f, 0.0f, 90.0f);
    panel.AddArc(-28.0f, e, 16.0f, 16.0f, 90.0f, 90.0f);
    panel.CloseFigure();
    Gdiplus::SolidBrush black(Gdiplus::Color(0xFF000000));
    graphics.FillPath(&black, &panel);
    Gdiplus::LinearGradientBrush sheen(Gdiplus::PointF(-40.0f, -40.0f), Gdiplus::PointF(-40.0f, e + 40.0f),
                                       Gdiplus::Color(0x28FFFFFF), Gdiplus::Color(0x0AFFFFFF));
    graphics.FillPath(&sheen, &panel);
    Gdiplus::Pen border(Gdiplus::Color(0x50FFFFFF), 1.0f);
    graphics.DrawPath(&border, &panel);
}

void MyLoudnessMapping::paintGrid(Gdiplus::Graphics& graphics, float e) const
{
    Gdiplus::Pen line(Gdiplus::Color(0x50C8FFFF), 1.0f);
    const std::shared_ptr<Gdiplus::FontFamily> family =
        resourceCache ? resourceCache->getFont(labelFontName()) : nullptr;
    const auto c = float(cellSize.get());
    for (std::int32_t i = 0; i < cellCount.get(); ++i) {
        const float g = float(i) * c;
        graphics.DrawLine(&line, 0.0f, g, e, g);
        graphics.DrawLine(&line, g, 0.0f, g, e);
        if (i % 2 != 0 || !family)
            continue;
        const WideString text = toWide(std::to_string(i * -6));
        const Gdiplus::Font font(family.get(), 8.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
        Gdiplus::SolidBrush brush(Gdiplus::Color(0xC8C8FFFF));
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentFar);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        graphics.DrawString(text.c_str(), INT(text.size()), &font,
                            Gdiplus::RectF(-4.0f, g, 0.0f, 0.0f), &format, &brush);
    }
}

void MyLoudnessMapping::paintCurve(Gdiplus::Graphics& graphics, float e) const
{
    std::vector<Gdiplus::PointF> curve;
    curve.reserve(curvePoints.size() + 2);
    for (const VSTGUI::CPoint& point : curvePoints)
        curve.emplace_back(float(levelToX(point.x)), float(levelToY(point.y)));

    Gdiplus::Region saved;
    graphics.GetClip(&saved);
    const double xL = levelToX(currentLevel);

    // Beyond the current level: translucent.
    graphics.IntersectClip(Gdiplus::Rect(int(xL), 0, int(double(e) - xL), int(e)));
    Gdiplus::Pen ahead(Gdiplus::Color(0xC859DBDF), 3.0f);
    graphics.DrawLines(&ahead, curve.data(), INT(curve.size()));
    graphics.SetClip(&saved, Gdiplus::CombineModeReplace);

    // Reached: opaque, with the area beneath it filled.
    graphics.IntersectClip(Gdiplus::Rect(0, 0, int(xL), int(e)));
    Gdiplus::Pen reached(Gdiplus::Color(0xFFB4FFC8), 3.0f);
    graphics.DrawLines(&reached, curve.data(), INT(curve.size()));
    curve.emplace_back(e + 8.0f, e);
    curve.emplace_back(-8.0f, e);
    Gdiplus::SolidBrush under(Gdiplus::Color(0x50B4FFC8));
    graphics.FillPolygon(&under, curve.data(), INT(curve.size()), Gdiplus::FillModeWinding);
    graphics.SetClip(&saved, Gdiplus::CombineModeReplace);
}

void MyLoudnessMapping::paintCrossHair(Gdiplus::Graphics& graphics, float e) const
{
    Gdiplus::Pen pen(Gdiplus::Color(0xFF59DBDF), 1.0f);
    const double xT = levelToX(targetLevel);
    const double yT = levelToY(targetLevel);
    graphics.DrawLine(&pen, float(xT), 0.0f, float(xT), e);
    graphics.DrawLine(&pen, 0.0f, float(yT), e, float(yT));
}

} // namespace vantle::vst
