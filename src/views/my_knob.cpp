#include "views/my_knob.h"

#include "framework/resource_cache.h"
#include "foundation/scrambled_text.h"
#include "toolkit/cdrawcontext.h"
#include "views/pointer_glow.h"

#include <cmath>
#include <numbers>

namespace vantle::vst {

namespace {

constexpr double degreesPerRadian = 180.0 / std::numbers::pi;

// Every knob starts with nine white marks from the minimum to the maximum.
std::vector<MyKnob::TickMark> defaultTicks() { return std::vector<MyKnob::TickMark>(9, {2, 34, 40, 0xFFFFFFFF}); }

} // namespace

MyKnob::TickMark MyKnob::TickMarkProperty::convert(const picojson::value& json, const TickMark& current)
{
    TickMark mark = current;
    for (const auto& [key, member] : json.get<picojson::object>()) {
        if (key == VANTLE_TEXT("thickness"))
            mark.thickness = member.get<double>();
        else if (key == VANTLE_TEXT("innerRadius"))
            mark.innerRadius = member.get<double>();
        else if (key == VANTLE_TEXT("outerRadius"))
            mark.outerRadius = member.get<double>();
        else if (key == VANTLE_TEXT("color"))
            mark.color = ColorProperty::convert(member, Gdiplus::Color(mark.color)).GetValue();
    }
    return mark;
}

MyKnob::MyKnob(const VSTGUI::CPoint& c, VSTGUI::IControlListener* knobListener, std::int32_t knobTag,
               ResourceCache* resources, std::int32_t stepCount)
    : CKnob(VSTGUI::CRect(c.x - 8, c.y - 8, c.x + 8, c.y + 8), knobListener, knobTag, nullptr, nullptr,
            VSTGUI::CPoint(0, 0)),
      resourceCache(resources), steps(stepCount)
{
    if (steps != 0)
        setWheelInc(1.0f / float(steps));

    const auto add = [this](auto& property, auto initial, const std::string& name, bool geometry) {
        if (geometry)
            property.addListener([this] { updateGeometry(); });
        else
            property.addListener([this] { invalid(); });
        property.set(initial);
        propertiesByName[name] = &property;
    };
    add(startAngle, -120.0, VANTLE_TEXT("startAngle"), true);
    add(endAngle, 120.0, VANTLE_TEXT("endAngle"), true);
    add(ticks, defaultTicks(), VANTLE_TEXT("ticks"), false);
    add(shadowRadius, 40.0, VANTLE_TEXT("shadowRadius"), false);
    add(shadowColor, Gdiplus::Color(0xFF000000), VANTLE_TEXT("shadowColor"), false);
    add(shadowEdgeColor, Gdiplus::Color(0x00000000), VANTLE_TEXT("shadowEdgeColor"), false);
    add(faceRadius, 28.0, VANTLE_TEXT("faceRadius"), false);
    add(faceTint, Gdiplus::Color(0x20FFFFFF), VANTLE_TEXT("faceTint"), false);
    add(pointerInner, 15.0, VANTLE_TEXT("pointerInner"), false);
    add(pointerOuter, 24.0, VANTLE_TEXT("pointerOuter"), false);
    add(glowRadius, 3.0, VANTLE_TEXT("glowRadius"), false);
    add(glowGain, 1.0, VANTLE_TEXT("glowGain"), false);
    add(glowPasses, std::int32_t(3), VANTLE_TEXT("glowPasses"), false);
    add(pointerColor, Gdiplus::Color(0xFF59DBDF), VANTLE_TEXT("pointerColor"), false);
    add(pointerOutline, Gdiplus::Color(0x50000000), VANTLE_TEXT("pointerOutline"), false);
    add(mouseRadius, 40.0, VANTLE_TEXT("mouseRadius"), true);
    add(viewRadius, 40.0, VANTLE_TEXT("viewRadius"), true);
    add(center, c, VANTLE_TEXT("center"), true);
    add(faceImage, VANTLE_TEXT("knob_face.png"), VANTLE_TEXT("faceImage"), false);
}

MyKnob::~MyKnob() = default;

void MyKnob::updateGeometry()
{
    setStartAngle(float((startAngle.get() - 90) * std::numbers::pi / 180));
    setRangeAngle(float((endAngle.get() - startAngle.get()) * std::numbers::pi / 180));
    pointerLayer.reset();
    const VSTGUI::CPoint& c = center.get();
    const double mouse = mouseRadius.get();
    setMouseableArea(VSTGUI::CRect(c.x - mouse, c.y - mouse, c.x + mouse, c.y + mouse));
    const double view = viewRadius.get();
    invalid();
    setViewSize(VSTGUI::CRect(c.x - view, c.y - view, c.x + view, c.y + view), true);
}

void MyKnob::setValue(float newValue)
{
    if (steps != 0) {
        const float scaled = float(steps) * newValue;
        newValue = float(std::floor(double(scaled) + 0.5) / steps);
    }
    CKnob::setValue(newValue);
}

void MyKnob::setProperty(const std::string& name, const picojson::value& json)
{
    setDrawableProperty(*this, propertiesByName, name, json);
}

void MyKnob::draw(VSTGUI::CDrawContext* context)
{
    drawBackground(context, getOffset());
    auto* gdiplus = dynamic_cast<VSTGUI::GdiplusDrawContext*>(context);
    if (gdiplus && gdiplus->getGraphics()) {
        // Painted in the transform the frame has set (its scale, if any).
        Gdiplus::Graphics& graphics = *gdiplus->getGraphics();
        const Gdiplus::GraphicsState state = graphics.Save();
        paint(graphics);
        graphics.Restore(state);
    }
    setDirty(false);
}

void MyKnob::paint(Gdiplus::Graphics& graphics)
{
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
    paintTicks(graphics);
    paintShadow(graphics);
    paintFace(graphics);
    // On a scaled display the layer is drawn at the display's resolution,
    // so the pointer stays as sharp as everything else.
    const float scale = graphics.GetPageUnit() == Gdiplus::UnitPixel ? graphics.GetPageScale() : 1.0f;
    if (!pointerLayer || scale != pointerLayerScale)
        buildPointerLayer(scale);
    paintPointer(graphics);
}

void MyKnob::paintTicks(Gdiplus::Graphics& graphics) const
{
    const VSTGUI::CPoint& c = center.get();
    const std::vector<TickMark>& marks = ticks.get();
    const std::size_t count = marks.size();
    for (std::size_t k = 0; k < count; ++k) {
        // A single mark has no spread to share: it marks the minimum.
        const double position = count > 1 ? double(k) / double(count - 1) : 0.0;
        const auto theta = float(position * double(getRangeAngle()) + double(getStartAngle()));
        const float s = std::sin(theta);
        const float co = std::cos(theta);
        const TickMark& mark = marks[k];
        Gdiplus::Pen pen(Gdiplus::Color(mark.color), float(mark.thickness));
        graphics.DrawLine(&pen, float(c.x + double(co) * mark.innerRadius), float(c.y + double(s) * mark.innerRadius),
                          float(c.x + double(co) * mark.outerRadius), float(c.y + double(s) * mark.outerRadius));
    }
}

void MyKnob::paintShadow(Gdiplus::Graphics& graphics) const
{
    const VSTGUI::CPoint& c = center.get();
    const double r = shadowRadius.get();
    Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
    path.AddEllipse(float(c.x - r), float(c.y - r), float(2 * r), float(2 * r));
    Gdiplus::Matrix dropped;
    dropped.Translate(5, 5);
    path.Transform(&dropped);
    Gdiplus::PathGradientBrush brush(&path);
    brush.SetCenterColor(shadowColor.get());
    Gdiplus::Color edge = shadowEdgeColor.get();
    INT colours = 1;
    brush.SetSurroundColors(&edge, &colours);
    graphics.FillPath(&brush, &path);
}

void MyKnob::paintFace(Gdiplus::Graphics& graphics) const
{
    const VSTGUI::CPoint& c = center.get();
    const double radius = faceRadius.get();
    std::shared_ptr<Gdiplus::Bitmap> image;
    try {
        image = resourceCache ? resourceCache->getImage(faceImage.get()) : nullptr;
    } catch (...) {
        // An image that cannot be decoded leaves the face to the tint.
    }
    if (image && image->GetWidth() > 0 && image->GetHeight() > 0) {
        const int d = int(2 * radius);
        const int x0 = int(c.x - radius);
        const int y0 = int(c.y - radius);
        Gdiplus::TextureBrush texture(image.get(), Gdiplus::WrapModeClamp);
        const Gdiplus::Matrix placement(float(d) / float(image->GetWidth()), 0, 0,
                                        float(d) / float(image->GetHeight()), float(x0), float(y0));
        texture.SetTransform(&placement);
        graphics.FillEllipse(&texture, x0, y0, d, d);
    }
    Gdiplus::GraphicsPath tint;
    tint.AddEllipse(float(c.x - radius), float(c.y - radius), float(2 * radius), float(2 * radius));
    Gdiplus::SolidBrush tintBrush(faceTint.get());
    graphics.FillPath(&tintBrush, &tint);
}

void MyKnob::paintPointer(Gdiplus::Graphics& graphics)
{
    if (!pointerLayer)
        return;
    const VSTGUI::CRect& size = getViewSize();
    const VSTGUI::CPoint m = size.getCenter();
    const auto angle = float(getValueNormalized() * getRangeAngle() + getStartAngle());
    Gdiplus::Matrix turn;
    turn.Translate(float(m.x), float(m.y));
    turn.Rotate(float(double(angle) * degreesPerRadian));
    turn.Translate(float(-m.x), float(-m.y));
    graphics.MultiplyTransform(&turn, Gdiplus::MatrixOrderPrepend);
    graphics.DrawImage(pointerLayer.get(), float(size.left), float(size.top),
                       float(pointerLayer->GetWidth()) / pointerLayerScale,
                       float(pointerLayer->GetHeight()) / pointerLayerScale);
}

void MyKnob::buildPointerLayer(float scale)
{
    const VSTGUI::CRect& size = getViewSize();
    const int width = int(size.getWidth() * double(scale));
    const int height = int(size.getHeight() * double(scale));
    if (width <= 0 || height <= 0)
        return;
    Gdiplus::Bitmap sharp(width, height, PixelFormat32bppPARGB);
    {
        Gdiplus::Graphics graphics(&sharp);
        graphics.SetPageUnit(Gdiplus::UnitPixel);
        graphics.SetPageScale(scale);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
        const double qx = size.getWidth() / 2;
        const double qy = size.getHeight() / 2;
        const double ix = qx + pointerInner.get();
        const double ox = qx + pointerOuter.get();
        const auto length = float(std::abs(ox - ix));
        const float direction = std::atan2(0.0f, float(ox - ix)) * float(degreesPerRadian);
        // A bar 4 pixels thick with round ends, from (0, 0) to (length, 0).
        Gdiplus::GraphicsPath bar(Gdiplus::FillModeWinding);
        bar.AddArc(-2.0f, -2.0f, 4.0f, 4.0f, 90.0f, 180.0f);
        bar.AddArc(length - 2.0f, -2.0f, 4.0f, 4.0f, 270.0f, 180.0f);
        bar.CloseFigure();
        Gdiplus::Matrix place;
        place.Translate(float(ix), float(qy));
        place.Rotate(direction);
        bar.Transform(&place);
        Gdiplus::SolidBrush fill(pointerColor.get());
        graphics.FillPath(&fill, &bar);
        Gdiplus::Pen outline(pointerOutline.get(), 1.0f);
        graphics.DrawPath(&outline, &bar);
    }
    const std::unique_ptr<Gdiplus::Bitmap> glow =
        makeGlow(sharp, int(glowRadius.get() * double(scale)), float(glowGain.get()), glowPasses.get());

    auto layer = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB);
    if (layer->GetLastStatus() != Gdiplus::Ok)
        return;
    {
        Gdiplus::Graphics graphics(layer.get());
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        graphics.Clear(Gdiplus::Color(0));
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
        graphics.DrawImage(&sharp, 0, 0, width, height);
        if (glow)
            graphics.DrawImage(glow.get(), 0, 0, width, height);
    }
    pointerLayer = std::move(layer);
    pointerLayerScale = scale;
}

} // namespace vantle::vst
