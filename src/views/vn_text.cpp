#include "views/vn_text.h"

#include "framework/resource_cache.h"
#include "foundation/scrambled_text.h"

#include <algorithm>
#include <cmath>

namespace vantle::vst {

VNText::VNText(const VSTGUI::CPoint& anchor, ResourceCache* resources)
    : CView(VSTGUI::CRect(anchor.x, anchor.y, anchor.x + 8, anchor.y + 8)), resourceCache(resources)
{
    const auto add = [this](auto& property, auto defaultValue, const std::string& name) {
        property.addListener([this] { update(); });
        property.set(defaultValue);
        propertiesByName[name] = &property;
    };
    add(position, anchor, VANTLE_TEXT("position"));
    add(text, std::string(), VANTLE_TEXT("text"));
    add(font, VANTLE_TEXT("DejaVu Sans.ttf"), VANTLE_TEXT("font"));
    add(fontSize, std::int32_t(9), VANTLE_TEXT("fontSize"));
    add(color, Gdiplus::Color(0xFF000000), VANTLE_TEXT("color"));
    add(align, Gdiplus::StringAlignmentCenter, VANTLE_TEXT("align"));
    add(verticalAlign, Gdiplus::StringAlignmentCenter, VANTLE_TEXT("verticalAlign"));
    add(pitch, 0.0, VANTLE_TEXT("pitch"));
}

double VNText::alignmentFactor(Gdiplus::StringAlignment alignment)
{
    if (alignment == Gdiplus::StringAlignmentNear)
        return 0;
    if (alignment == Gdiplus::StringAlignmentCenter)
        return -0.5;
    return -1;
}

Gdiplus::RectF VNText::measure(const WideString& sample) const
{
    Gdiplus::RectF box;
    if (!currentFont || !currentFont->IsAvailable())
        return box;
    Gdiplus::Bitmap probe(1, 1, PixelFormat32bppPARGB);
    Gdiplus::Graphics graphics(&probe);
    graphics.MeasureString(sample.c_str(), static_cast<INT>(sample.size()), currentFont.get(),
                           Gdiplus::RectF(0, 0, 0, 0), nullptr, &box);
    return box;
}

void VNText::update()
{
    const float size = static_cast<float>(fontSize.get());
    std::shared_ptr<Gdiplus::FontFamily> family = resourceCache ? resourceCache->getFont(font.get()) : nullptr;
    if (family) {
        currentFont = std::make_unique<Gdiplus::Font>(family.get(), size, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
    } else {
        const WideString familyName = toWide(font.get());
        const Gdiplus::FontFamily installed(familyName.c_str());
        const Gdiplus::FontFamily* chosen = installed.IsAvailable() ? &installed : Gdiplus::FontFamily::GenericSansSerif();
        currentFont = std::make_unique<Gdiplus::Font>(chosen, size, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
    }
    format.reset();
    brush.reset();
    wideText = toWide(text.get());

    const Gdiplus::RectF box = measure(wideText);
    double w = double(box.Width);
    const double h = double(box.Height);
    if (pitch.get() != 0) {
        const double wa = double(measure(toWide("a")).Width);
        const double wab = double(measure(toWide("ab")).Width);
        w = wa + (double(text.get().size()) - 1) * (wab - wa);
        // Characters sit on their pitch slots, which may be wider apart than
        // the font's own advance: the box must cover the slots, or the frame
        // clips the outer characters away.
        if (!wideText.empty())
            w = std::max(w, wa + double(wideText.size() - 1) * std::abs(pitch.get()));
    }
    const double fh = alignmentFactor(align.get());
    const double fv = alignmentFactor(verticalAlign.get());
    const VSTGUI::CPoint& p = position.get();
    invalid();
    setViewSize(VSTGUI::CRect(p.x + w * fh, p.y + h * fv, p.x + w * (fh + 1), p.y + h * (fv + 1)), true);
}

void VNText::draw(VSTGUI::CDrawContext* context) { drawWithGdiplus(*this, *this, context); }

void VNText::setProperty(const std::string& name, const picojson::value& value)
{
    setDrawableProperty(*this, propertiesByName, name, value);
}

void VNText::paint(Gdiplus::Graphics& graphics)
{
    if (!format) {
        format = std::make_unique<Gdiplus::StringFormat>(0, LANG_NEUTRAL);
        format->SetAlignment(align.get());
        format->SetLineAlignment(verticalAlign.get());
    }
    if (!brush)
        brush = std::make_unique<Gdiplus::SolidBrush>(color.get());
    if (!currentFont || !currentFont->IsAvailable() || !format || !brush)
        return;
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
    const VSTGUI::CPoint& p = position.get();
    if (pitch.get() == 0) {
        graphics.DrawString(wideText.c_str(), static_cast<INT>(wideText.size()), currentFont.get(),
                            Gdiplus::RectF(float(p.x), float(p.y), 0, 0), format.get(), brush.get());
        return;
    }
    const double fh = alignmentFactor(align.get());
    const double n = double(wideText.size());
    for (std::size_t i = 0; i < wideText.size(); ++i) {
        const double x = p.x + ((n - 1) * fh + double(i)) * pitch.get();
        graphics.DrawString(&wideText[i], 1, currentFont.get(), Gdiplus::RectF(float(x), float(p.y), 0, 0),
                            format.get(), brush.get());
    }
}

} // namespace vantle::vst
